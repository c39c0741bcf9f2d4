// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "unisettings.h"

#include "basecontrolv1.h"
#include "baseroomv1.h"
#include "controlkinds.h"
#include "echeckboxwidget.h"
#include "ecombowidget.h"
#include "editorkinds.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "enumericwidget.h"
#include "etextedit.h"
#include "toolkitstyle.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <limits>

namespace {
enum EditorType { EdText, EdNumber, EdList, EdCheck };

struct FieldSpec
{
    UniSettings::Field field;
    int labelRow;
    int column;
    int textId;
    EditorType type;
    double minimum;
    double maximum;
};

constexpr double kIntMin = std::numeric_limits<qint32>::min();
constexpr double kIntMax = std::numeric_limits<qint32>::max();

// Label rows and columns of the content block's grid (see the constructor): five columns of
// fields, the check boxes beside them, the camera's PTZ paths in a band below.
const FieldSpec kFields[] = {
    {UniSettings::Name, 1, 1, 61220, EdText, 0, 0},
    {UniSettings::Text, 3, 1, 61221, EdText, 0, 0},
    {UniSettings::Width, 5, 1, 61222, EdNumber, 0, 1000},
    {UniSettings::Height, 7, 1, 61223, EdNumber, 0, 1000},
    {UniSettings::Image, 9, 1, 61224, EdText, 0, 0},
    {UniSettings::FontType, 11, 1, 61225, EdList, 0, 0},
    {UniSettings::ImageOff, 1, 2, 61226, EdText, 0, 0},
    {UniSettings::ImageOn, 3, 2, 61227, EdText, 0, 0},
    {UniSettings::Address, 5, 2, 61228, EdText, 0, 0},
    {UniSettings::ByteNumber, 7, 2, 61229, EdText, 0, 0},
    {UniSettings::BitNumber, 9, 2, 61230, EdNumber, 0, 7},
    {UniSettings::ImageScene, 11, 2, 61231, EdText, 0, 0},
    {UniSettings::Minimum, 1, 3, 61232, EdNumber, kIntMin, kIntMax},
    {UniSettings::Maximum, 3, 3, 61233, EdNumber, kIntMin, kIntMax},
    {UniSettings::MaxVal, 5, 3, 61234, EdNumber, kIntMin, kIntMax},
    {UniSettings::Value, 7, 3, 61235, EdNumber, kIntMin, kIntMax},
    {UniSettings::Step, 9, 3, 61236, EdNumber, 0.1, 1000},
    {UniSettings::SystemType, 11, 3, 61237, EdList, 0, 0},
    {UniSettings::DataType, 1, 4, 61238, EdList, 0, 0},
    {UniSettings::Precision, 3, 4, 61239, EdNumber, 0, 5},
    {UniSettings::FontName, 5, 4, 61240, EdList, 0, 0},
    {UniSettings::FontSize, 7, 4, 61241, EdNumber, 1, 72},
    {UniSettings::FontColor, 9, 4, 61242, EdText, 0, 0},
    {UniSettings::Number, 11, 4, 61243, EdNumber, 1, 255},
    {UniSettings::Dimmer, 2, 6, 61244, EdCheck, 0, 0},
    {UniSettings::ReadOnly, 4, 6, 61245, EdCheck, 0, 0},
    {UniSettings::Editable, 6, 6, 61246, EdCheck, 0, 0},
    {UniSettings::TextRect, 8, 6, 61247, EdCheck, 0, 0},
    {UniSettings::Fone, 10, 6, 61248, EdCheck, 0, 0},
    {UniSettings::Scenes, 12, 6, 61249, EdCheck, 0, 0},
    {UniSettings::CameraAddress, 1, 5, 61407, EdText, 0, 0},
    {UniSettings::CameraPort, 3, 5, 61408, EdText, 0, 0},
    {UniSettings::StreamPath, 5, 5, 61409, EdText, 0, 0},
    {UniSettings::Login, 7, 5, 61410, EdText, 0, 0},
    {UniSettings::Password, 9, 5, 61411, EdText, 0, 0},
    {UniSettings::CityCode, 11, 5, 61412, EdText, 0, 0},
    {UniSettings::PtzLeft, 14, 1, 61413, EdText, 0, 0},
    {UniSettings::PtzRight, 14, 2, 61414, EdText, 0, 0},
    {UniSettings::PtzUp, 14, 3, 61415, EdText, 0, 0},
    {UniSettings::PtzDown, 14, 4, 61416, EdText, 0, 0},
    {UniSettings::PtzHome, 14, 5, 61417, EdText, 0, 0},
    {UniSettings::PtzZoomIn, 16, 1, 61418, EdText, 0, 0},
    {UniSettings::PtzZoomOut, 16, 2, 61419, EdText, 0, 0},
};
// The content grid: a margin, five field columns, the check boxes, the close icon.
constexpr qreal kMargin = 10;
constexpr qreal kFieldColumn = 118;
constexpr qreal kCheckColumn = 120;
constexpr qreal kCloseColumn = 40;
constexpr qreal kTitleRow = 36;
constexpr qreal kLabelRow = 16;
constexpr qreal kEditorRow = 28;
constexpr qreal kGapRow = 8;
constexpr qreal kButtonRow = 40;
constexpr qreal kSpacing = 6;

const QStringList kFontTypes{QStringLiteral("normal"), QStringLiteral("bold")};
const QStringList kSystemTypes{QStringLiteral("secure"), QStringLiteral("settings"),
                               QStringLiteral("alerts"), QStringLiteral("connection"),
                               QStringLiteral("info"),   QStringLiteral("exit"),
                               QStringLiteral("subst"),  QStringLiteral("heat"),
                               QStringLiteral("light"),  QStringLiteral("scenes"),
                               QStringLiteral("history")};
const QStringList kDataTypes{QStringLiteral("BYTE"), QStringLiteral("WORD"),
                             QStringLiteral("DINT")};
const QStringList kFontNames{QStringLiteral("Arial"),     QStringLiteral("Times"),
                             QStringLiteral("Serif"),     QStringLiteral("Helvetica"),
                             QStringLiteral("SansSerif"), QStringLiteral("Courier New")};
// What a person reads in the system type list, entry for entry (the file keeps the ids above).
const int kSystemTypeTextIds[] = {61551, 61552, 61553, 61554, 61555, 61556,
                                  61557, 61558, 61559, 61560, 61561};
static_assert(sizeof(kSystemTypeTextIds) / sizeof(int) == 11, "one name per system type");
// The name field's caption for kinds that keep a file name there (a system button).
constexpr int kFileNameTextId = 61550;
constexpr int kBold = 75;
constexpr int kNormal = 50;
} // namespace

struct UniSettingsPrivate
{
    EGraphicsWidget *editors[UniSettings::FieldCount] = {};
    ELabelWidget *labels[UniSettings::FieldCount] = {};
    EditorType types[UniSettings::FieldCount] = {};
    int textIds[UniSettings::FieldCount] = {};
    // The caption shown above each editor: its own text, or one that fits the item loaded.
    int shownTextIds[UniSettings::FieldCount] = {};
    QGraphicsWidget *content = nullptr;
    EIconWidget *close = nullptr;
    EIconWidget *save = nullptr;
    EIconWidget *cancel = nullptr;
    ELabelWidget *saveCaption = nullptr;
    BaseRoomV1 *page = nullptr;
    BaseControlV1 *control = nullptr;
    // What each enabled editor showed after loading: only editors that differ are written back.
    QVariant shown[UniSettings::FieldCount];
    std::function<void(const QVariant &)> setters[UniSettings::FieldCount];
    std::function<QVariant()> getters[UniSettings::FieldCount];
    std::function<QVariant()> keepers[UniSettings::FieldCount];
    std::function<void(const QVariant &)> restorers[UniSettings::FieldCount];
    std::function<void()> lastUndo;
    std::function<void()> lastRedo;
};

UniSettings::UniSettings(QGraphicsItem *parent)
    : EGraphicsWidget(parent), d(std::make_unique<UniSettingsPrivate>())
{
    auto *grid = new EGridLayout;
    grid->setColumnSizes({kMargin, kFieldColumn, kFieldColumn, kFieldColumn, kFieldColumn,
                          kFieldColumn, kCheckColumn, kCloseColumn});
    grid->setHorizontalSpacing(kSpacing);
    // Title row, six label and editor pairs, a gap, two pairs of PTZ paths, a gap, the buttons.
    QList<qreal> rows{kTitleRow};
    for (int pair = 0; pair < 6; ++pair)
        rows << kLabelRow << kEditorRow;
    rows << kGapRow;
    for (int pair = 0; pair < 2; ++pair)
        rows << kLabelRow << kEditorRow;
    rows << kGapRow << kButtonRow;
    grid->setRowSizes(rows);
    d->content = new QGraphicsWidget(this);
    d->content->setLayout(grid);
    d->content->resize(kContentWidth, kContentHeight);

    for (const FieldSpec &f : kFields) {
        EGraphicsWidget *editor = nullptr;
        switch (f.type) {
        case EdText: {
            auto *e = new ETextEdit;
            e->setSingleLine(true);
            e->setFrameVisible(true);
            editor = e;
            break;
        }
        case EdNumber: {
            auto *e = new ENumericWidget;
            e->setRange(f.minimum, f.maximum);
            if (f.field == Step) {
                e->setStep(0.1);
                e->setDecimals(1);
            } else {
                e->setStep(1);
                e->setDecimals(0);
            }
            editor = e;
            break;
        }
        case EdList: {
            auto *e = new EComboWidget;
            e->setItems(f.field == FontType     ? kFontTypes
                        : f.field == SystemType ? kSystemTypes
                        : f.field == DataType   ? kDataTypes
                                                : kFontNames);
            editor = e;
            break;
        }
        case EdCheck: {
            auto *e = new ECheckboxWidget;
            // Light on the dark panel, as the other captions (the toolkit's ink is for paper).
            e->setColortext(Qt::white);
            editor = e;
            break;
        }
        }
        editor->setObjectName(QStringLiteral("setting%1").arg(int(f.field)));
        d->editors[f.field] = editor;
        d->types[f.field] = f.type;
        d->textIds[f.field] = f.textId;
        d->shownTextIds[f.field] = f.textId;
        if (f.type == EdCheck) {
            grid->addWidget(editor, f.labelRow, f.column);
        } else {
            auto *label = new ELabelWidget;
            label->setColortext(Qt::white);
            label->setFont(EStyle::font(EStyle::kCaptionFontPx));
            d->labels[f.field] = label;
            grid->addWidget(label, f.labelRow, f.column);
            grid->addWidget(editor, f.labelRow + 1, f.column);
        }
    }
    d->close = new EIconWidget;
    d->close->setImageSource(QStringLiteral(":/resources/close.png"));
    d->save = new EIconWidget;
    d->save->setImageSource(QStringLiteral(":/resources/check.png"));
    d->cancel = new EIconWidget;
    d->cancel->setImageSource(QStringLiteral(":/resources/no.png"));
    for (EIconWidget *b : {d->save, d->cancel}) {
        b->setFrameVisible(true);
        b->setCaptionBeside(true);
    }
    const int buttonRow = rows.size() - 1;
    grid->addWidget(d->close, 0, 7);
    grid->addWidget(d->save, buttonRow, 2, 1, 1);
    grid->addWidget(d->cancel, buttonRow, 3, 1, 1);
    connect(d->close, &EBaseWidget::clicked, this, &UniSettings::closeControls);
    connect(d->cancel, &EBaseWidget::clicked, this, &UniSettings::closeControls);
    connect(d->save, &EBaseWidget::clicked, this, &UniSettings::saveControls);
    // The maximum keeps its full range whatever the data type shows: narrowing it to the type's
    // range rewrote a stored maximum on any save and kept a person from entering a larger one.
    applyTexts();
    clear();
    // Placed now rather than at the next turn of the event loop: the panel is filled and shown
    // in the same turn that creates it.
    grid->activate();
    hide();
}

UniSettings::~UniSettings() = default;

EGraphicsWidget *UniSettings::editor(Field field) const
{
    return field >= 0 && field < FieldCount ? d->editors[field] : nullptr;
}

bool UniSettings::isFieldEnabled(Field field) const
{
    EGraphicsWidget *e = editor(field);
    return e && e->isEnabled();
}

EGraphicsWidget *UniSettings::label(Field field) const
{
    return field >= 0 && field < FieldCount ? d->labels[field] : nullptr;
}

QRectF UniSettings::contentRect() const
{
    return d->content->mapRectToParent(d->content->rect());
}

void UniSettings::geometryUpdated()
{
    if (QGraphicsLayout *grid = d->content->layout())
        grid->activate();
    // Centred; scaled down only where the screen is smaller than the block.
    const qreal scale =
        qMin<qreal>(1, qMin(size().width() / kContentWidth, size().height() / kContentHeight));
    d->content->setScale(scale > 0 ? scale : 1);
    const QSizeF block = d->content->size() * d->content->scale();
    d->content->setPos((size().width() - block.width()) / 2,
                       (size().height() - block.height()) / 2);
}

EBaseWidget *UniSettings::saveButton() const
{
    return d->save;
}

EBaseWidget *UniSettings::cancelButton() const
{
    return d->cancel;
}

bool UniSettings::hasTarget() const
{
    return d->page || d->control;
}

QVariant UniSettings::fieldValue(Field field) const
{
    EGraphicsWidget *e = editor(field);
    if (!e)
        return QVariant();
    switch (d->types[field]) {
    case EdText:
        return static_cast<ETextEdit *>(e)->text();
    case EdNumber:
        return static_cast<ENumericWidget *>(e)->value();
    case EdList:
        return static_cast<EComboWidget *>(e)->currentIndex();
    case EdCheck:
        return static_cast<EBaseWidget *>(e)->isChecked();
    }
    return QVariant();
}

void UniSettings::setFieldValue(Field field, const QVariant &value)
{
    EGraphicsWidget *e = editor(field);
    if (!e)
        return;
    switch (d->types[field]) {
    case EdText:
        static_cast<ETextEdit *>(e)->setText(value.toString());
        break;
    case EdNumber:
        static_cast<ENumericWidget *>(e)->setValue(value.toDouble());
        break;
    case EdList:
        static_cast<EComboWidget *>(e)->setCurrentIndex(value.toInt());
        break;
    case EdCheck:
        static_cast<EBaseWidget *>(e)->setChecked(value.toBool());
        break;
    }
}

void UniSettings::clear()
{
    d->page = nullptr;
    d->control = nullptr;
    for (int f = 0; f < FieldCount; ++f) {
        EGraphicsWidget *e = d->editors[f];
        switch (d->types[f]) {
        case EdText:
            static_cast<ETextEdit *>(e)->setText(QString());
            break;
        case EdNumber:
            static_cast<ENumericWidget *>(e)->setValue(0);
            break;
        case EdList:
            static_cast<EComboWidget *>(e)->setCurrentIndex(0);
            break;
        case EdCheck:
            static_cast<EBaseWidget *>(e)->setChecked(false);
            break;
        }
        e->setEnabled(false);
        if (d->labels[f]) {
            d->labels[f]->setEnabled(false);
            if (d->shownTextIds[f] != d->textIds[f]) {
                d->shownTextIds[f] = d->textIds[f];
                d->labels[f]->setLabelT(localText(d->textIds[f]));
            }
        }
        d->shown[f] = QVariant();
        d->setters[f] = nullptr;
        d->getters[f] = nullptr;
        d->keepers[f] = nullptr;
        d->restorers[f] = nullptr;
    }
    auto *maximum = static_cast<ENumericWidget *>(d->editors[Maximum]);
    maximum->setRange(kIntMin, kIntMax);
    maximum->setStep(1);
}

void UniSettings::load(const QVector<Binding> &bindings)
{
    for (const Binding &b : bindings) {
        d->editors[b.field]->setEnabled(true);
        if (d->labels[b.field])
            d->labels[b.field]->setEnabled(true);
        setFieldValue(b.field, b.get());
        d->shown[b.field] = fieldValue(b.field);
        d->setters[b.field] = b.set;
        d->getters[b.field] = b.get;
        d->keepers[b.field] = b.keep ? b.keep : b.get;
        d->restorers[b.field] = b.restore ? b.restore : b.set;
    }
}

void UniSettings::setPage(BaseRoomV1 *page)
{
    clear();
    if (!page)
        return;
    d->page = page;
    load({
        {Name, [page] { return page->name(); },
         [page](const QVariant &v) { page->setName(v.toString()); }},
        {Text, [page] { return page->textB(); },
         [page](const QVariant &v) { page->setTextB(v.toString()); }},
        {Image, [page] { return page->image(); },
         [page](const QVariant &v) { page->setImage(v.toString()); }},
        {ImageOn, [page] { return page->contImage(); },
         [page](const QVariant &v) { page->setContImage(v.toString()); }},
        {Width, [page] { return page->width(); },
         [page](const QVariant &v) { page->setWidth(v.toInt()); }},
        {Height, [page] { return page->height(); },
         [page](const QVariant &v) { page->setHeight(v.toInt()); }},
        {TextRect, [page] { return page->drawRect(); },
         [page](const QVariant &v) { page->setDrawRect(v.toBool()); }},
        {Scenes, [page] { return page->showScenes(); },
         [page](const QVariant &v) { page->setShowScenes(v.toBool()); }},
    });
}

// How an editor shows an attribute and writes it back. Numbers go through the number editor as
// doubles and are rounded; an address is typed as text; a list shows an entry of its own texts
// (a font, a system type), a keyword's position among its texts (the data type) or bold and
// normal for a font weight. Undoing restores the record's own value, which a list may not show.
UniSettings::Binding UniSettings::bindingFor(Field field, const ControlAttribute &a, int rule,
                                             BaseControlV1 *c) const
{
    const ControlAttribute *attribute = &a;
    const auto value = [attribute, c] { return attribute->value(*c); };
    const auto assign = [attribute, c](const QVariant &v) { attribute->assign(*c, v); };
    switch (d->types[field]) {
    case EdText:
        if (a.type == ControlAttribute::Integer) {
            return {field, [value] { return QVariant(QString::number(value().toInt())); },
                    [assign](const QVariant &v) { assign(v.toString().trimmed().toInt()); }};
        }
        return {field, value, [assign](const QVariant &v) { assign(v.toString()); }};
    case EdNumber:
        if (a.type == ControlAttribute::Real)
            return {field, value, [assign](const QVariant &v) { assign(v.toDouble()); }};
        return {field, [value] { return QVariant(double(value().toInt())); },
                [assign, rule](const QVariant &v) {
                    const int number = qRound(v.toDouble());
                    assign(rule == PropertyRow::EvenNumber ? number & ~1 : number);
                }};
    case EdCheck:
        return {field, value, [assign](const QVariant &v) { assign(v.toBool()); }};
    case EdList:
        break;
    }
    if (field == FontType) {
        return {field, [value] { return QVariant(value().toInt() == kBold ? 1 : 0); },
                [assign](const QVariant &v) { assign(v.toInt() == 1 ? kBold : kNormal); }, value,
                [assign](const QVariant &v) { assign(v.toInt()); }};
    }
    if (field == DataType) {
        const QStringList texts = a.choices;
        return {field, [value, texts] { return QVariant(texts.indexOf(value().toString())); },
                [assign, texts](const QVariant &v) { assign(texts.value(v.toInt())); }};
    }
    const QStringList &texts = field == SystemType ? kSystemTypes : kFontNames;
    // A value without an entry (a system button whose type was never set) shows none and is kept
    // until the person picks one.
    return {field, [value, &texts] { return QVariant(texts.indexOf(value().toString())); },
            [assign, &texts](const QVariant &v) {
                if (v.toInt() >= 0)
                    assign(texts.value(v.toInt()));
            },
            value, [assign](const QVariant &v) { assign(v.toString()); }};
}

void UniSettings::setControl(BaseControlV1 *control)
{
    clear();
    if (!control)
        return;
    d->control = control;
    const ControlKind *kind = ControlKinds::byKind(control->kind());
    QVector<Binding> bindings;
    for (const PropertyRow &row : EditorKinds::propertyRows(control->kind())) {
        const ControlAttribute *attribute =
            kind ? kind->attribute(QLatin1String(row.attribute)) : nullptr;
        Q_ASSERT(attribute);
        if (attribute) {
            bindings << bindingFor(row.field, *attribute, row.rule, control);
            // A file name edited in the name field says so above it.
            if (row.field == Name && attribute->name == QLatin1String("fileName") &&
                d->labels[Name]) {
                d->shownTextIds[Name] = kFileNameTextId;
                d->labels[Name]->setLabelT(localText(kFileNameTextId));
            }
        }
    }
    load(bindings);
}

void UniSettings::closeControls()
{
    emit CloseClicked();
}

void UniSettings::saveControls()
{
    struct Written
    {
        std::function<void(const QVariant &)> set;
        std::function<void(const QVariant &)> restore;
        QVariant before;
        QVariant after;
    };
    QVector<Written> written;
    for (int f = 0; f < FieldCount; ++f) {
        if (!d->setters[f])
            continue;
        const QVariant now = fieldValue(Field(f));
        if (now != d->shown[f]) {
            written.append({d->setters[f], d->restorers[f], d->keepers[f](), now});
            d->setters[f](now);
        }
    }
    d->lastUndo = nullptr;
    d->lastRedo = nullptr;
    if (!written.isEmpty()) {
        // Taken back in reverse order, so that a field derived from another (a lamp's address
        // from its number) ends as it was.
        d->lastUndo = [written] {
            for (int i = written.size() - 1; i >= 0; --i)
                written.at(i).restore(written.at(i).before);
        };
        d->lastRedo = [written] {
            for (const Written &w : written)
                w.set(w.after);
        };
    }
    emit SaveClicked();
}

std::function<void()> UniSettings::lastUndo() const
{
    return d->lastUndo;
}

std::function<void()> UniSettings::lastRedo() const
{
    return d->lastRedo;
}

void UniSettings::updateByteMax(int index)
{
    auto *maximum = static_cast<ENumericWidget *>(d->editors[Maximum]);
    if (index == 0)
        maximum->setRange(0, 255);
    else if (index == 1)
        maximum->setRange(-32768, 32767);
    else
        maximum->setRange(kIntMin, kIntMax);
    maximum->setStep(1);
}

void UniSettings::applyTexts()
{
    for (int f = 0; f < FieldCount; ++f) {
        const QString text = localText(d->shownTextIds[f]);
        if (d->labels[f])
            d->labels[f]->setLabelT(text);
        else
            static_cast<EBaseWidget *>(d->editors[f])->setText(text);
    }
    // The list shows names; the entries keep their order, which maps them to the ids.
    QStringList systemTypes;
    for (int id : kSystemTypeTextIds)
        systemTypes << localText(id);
    auto *types = static_cast<EComboWidget *>(d->editors[SystemType]);
    const int chosen = types->currentIndex();
    types->setItems(systemTypes);
    types->setCurrentIndex(chosen);
    d->save->setText(localText(61062));
    d->cancel->setText(localText(61063));
}

void UniSettings::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    event->accept();
}

void UniSettings::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 200));
    painter->drawRect(rect());
}
