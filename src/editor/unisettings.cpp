// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "unisettings.h"

#include "baseroomv1.h"
#include "boolcontrolv1.h"
#include "btncontrolv1.h"
#include "bytecontrolv1.h"
#include "cameracontrolv1.h"
#include "controlconstants.h"
#include "dyntextcontrolv1.h"
#include "echeckboxwidget.h"
#include "ecombowidget.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "enumericwidget.h"
#include "etextedit.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "resbtcontrolv1.h"
#include "roomconstantsv1.h"
#include "sensorcontrolv1.h"
#include "slidercontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"
#include "textcontrolv1.h"
#include "textwritecontrolv1.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <limits>

using namespace ControlConstants;

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

const FieldSpec kFields[] = {
    {UniSettings::Name, 2, 2, 61220, EdText, 0, 0},
    {UniSettings::Text, 4, 2, 61221, EdText, 0, 0},
    {UniSettings::Width, 6, 2, 61222, EdNumber, 0, 1000},
    {UniSettings::Height, 8, 2, 61223, EdNumber, 0, 1000},
    {UniSettings::Image, 10, 2, 61224, EdText, 0, 0},
    {UniSettings::FontType, 12, 2, 61225, EdList, 0, 0},
    {UniSettings::ImageOff, 2, 3, 61226, EdText, 0, 0},
    {UniSettings::ImageOn, 4, 3, 61227, EdText, 0, 0},
    {UniSettings::Address, 6, 3, 61228, EdText, 0, 0},
    {UniSettings::ByteNumber, 8, 3, 61229, EdText, 0, 0},
    {UniSettings::BitNumber, 10, 3, 61230, EdNumber, 0, 7},
    {UniSettings::ImageScene, 12, 3, 61231, EdText, 0, 0},
    {UniSettings::Minimum, 2, 5, 61232, EdNumber, kIntMin, kIntMax},
    {UniSettings::Maximum, 4, 5, 61233, EdNumber, kIntMin, kIntMax},
    {UniSettings::MaxVal, 6, 5, 61234, EdNumber, kIntMin, kIntMax},
    {UniSettings::Value, 8, 5, 61235, EdNumber, kIntMin, kIntMax},
    {UniSettings::Step, 10, 5, 61236, EdNumber, 0.1, 1000},
    {UniSettings::SystemType, 12, 5, 61237, EdList, 0, 0},
    {UniSettings::DataType, 2, 7, 61238, EdList, 0, 0},
    {UniSettings::Precision, 4, 7, 61239, EdNumber, 0, 5},
    {UniSettings::FontName, 6, 7, 61240, EdList, 0, 0},
    {UniSettings::FontSize, 8, 7, 61241, EdNumber, 1, 72},
    {UniSettings::FontColor, 10, 7, 61242, EdText, 0, 0},
    {UniSettings::Number, 12, 7, 61243, EdNumber, 1, 255},
    {UniSettings::Dimmer, 3, 9, 61244, EdCheck, 0, 0},
    {UniSettings::ReadOnly, 5, 9, 61245, EdCheck, 0, 0},
    {UniSettings::Editable, 7, 9, 61246, EdCheck, 0, 0},
    {UniSettings::TextRect, 9, 9, 61247, EdCheck, 0, 0},
    {UniSettings::Fone, 11, 9, 61248, EdCheck, 0, 0},
    {UniSettings::Scenes, 13, 9, 61249, EdCheck, 0, 0},
};

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
constexpr int kBold = 75;
constexpr int kNormal = 50;
} // namespace

struct UniSettingsPrivate
{
    EGraphicsWidget *editors[UniSettings::FieldCount] = {};
    ELabelWidget *labels[UniSettings::FieldCount] = {};
    EditorType types[UniSettings::FieldCount] = {};
    int textIds[UniSettings::FieldCount] = {};
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
    const QList<qreal> widths{40, 0, 120, 60, 60, 60, 60, 60, 60, 120, 0, 40};
    for (int c = 0; c < widths.size(); ++c) {
        if (widths.at(c) > 0)
            grid->setColumnFixedWidth(c, widths.at(c));
        else
            grid->setColumnStretch(c, 1);
    }
    grid->setRowFixedHeight(0, 40);
    grid->setRowStretch(1, 1);
    for (int r = 2; r <= 13; ++r)
        grid->setRowFixedHeight(r, r % 2 == 0 ? 15 : 25);
    grid->setRowFixedHeight(14, 10);
    grid->setRowFixedHeight(15, 40);
    grid->setRowStretch(16, 1);

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
        case EdCheck:
            editor = new ECheckboxWidget;
            break;
        }
        editor->setObjectName(QStringLiteral("setting%1").arg(int(f.field)));
        d->editors[f.field] = editor;
        d->types[f.field] = f.type;
        d->textIds[f.field] = f.textId;
        const int span = f.field == ImageScene || f.field == SystemType ? 2 : 1;
        if (f.type == EdCheck) {
            grid->addWidget(editor, f.labelRow, f.column);
        } else {
            auto *label = new ELabelWidget;
            label->setColortext(Qt::white);
            d->labels[f.field] = label;
            grid->addWidget(label, f.labelRow, f.column, 1, span);
            grid->addWidget(editor, f.labelRow + 1, f.column, 1, span);
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
    grid->addWidget(d->close, 0, 11);
    grid->addWidget(d->save, 15, 4, 1, 2);
    grid->addWidget(d->cancel, 15, 6, 1, 2);
    setLayout(grid);
    connect(d->close, &EBaseWidget::clicked, this, &UniSettings::closeControls);
    connect(d->cancel, &EBaseWidget::clicked, this, &UniSettings::closeControls);
    connect(d->save, &EBaseWidget::clicked, this, &UniSettings::saveControls);
    connect(static_cast<EComboWidget *>(d->editors[DataType]), &EComboWidget::indexChanged, this,
            &UniSettings::updateByteMax);
    applyTexts();
    clear();
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
        if (field == DataType)
            updateByteMax(value.toInt());
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
        if (d->labels[f])
            d->labels[f]->setEnabled(false);
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

#define BIND(F, OBJ, GET, SET)                                                                     \
    {                                                                                              \
        UniSettings::F, [OBJ] { return QVariant(OBJ->GET()); },                                    \
            [OBJ](const QVariant &v) { OBJ->SET(v.value<decltype(OBJ->GET())>()); }                \
    }
#define BIND_NAME(OBJ) BIND(Name, OBJ, name, setName), BIND(Text, OBJ, textB, setTextB)
#define BIND_ADDRESS(OBJ)                                                                          \
    {                                                                                              \
        UniSettings::Address, [OBJ] { return QVariant(QString::number(OBJ->byteAddress())); },     \
            [OBJ](const QVariant &v) { OBJ->setByteAddress(v.toString().trimmed().toInt()); }      \
    }
#define BIND_INT(F, OBJ, GET, SET)                                                                 \
    {                                                                                              \
        UniSettings::F, [OBJ] { return QVariant(double(OBJ->GET())); },                            \
            [OBJ](const QVariant &v) { OBJ->SET(qRound(v.toDouble())); }                           \
    }
#define BIND_LIST(F, OBJ, GET, SET, LIST)                                                          \
    {                                                                                              \
        UniSettings::F, [OBJ] { return QVariant(LIST.indexOf(OBJ->GET())); },                      \
            [OBJ](const QVariant &v) {                                                             \
                if (v.toInt() >= 0)                                                                \
                    OBJ->SET(LIST.value(v.toInt()));                                               \
            },                                                                                     \
            [OBJ] { return QVariant(OBJ->GET()); },                                                \
            [OBJ](const QVariant &v) { OBJ->SET(v.toString()); }                                   \
    }
#define BIND_FONTTYPE(OBJ)                                                                         \
    {                                                                                              \
        UniSettings::FontType, [OBJ] { return QVariant(OBJ->fontType() == kBold ? 1 : 0); },       \
            [OBJ](const QVariant &v) { OBJ->setFontType(v.toInt() == 1 ? kBold : kNormal); },      \
            [OBJ] { return QVariant(OBJ->fontType()); },                                           \
            [OBJ](const QVariant &v) { OBJ->setFontType(v.toInt()); }                              \
    }
#define BIND_TYPED(OBJ)                                                                            \
    {                                                                                              \
        UniSettings::DataType, [OBJ] { return QVariant(OBJ->typeD()); },                           \
            [OBJ](const QVariant &v) { OBJ->setTypeD(v.toInt()); }                                 \
    }

void UniSettings::setControl(BaseControlV1 *control)
{
    clear();
    if (!control)
        return;
    d->control = control;
    QVector<Binding> b;
    switch (control->kind()) {
    case KindLight: {
        auto *c = static_cast<LightControlV1 *>(control);
        b = {BIND_NAME(c), BIND_INT(Number, c, lmpNumber, setLmpNumber),
             BIND(Dimmer, c, isDimmer, setDimmer), BIND(ImageOn, c, imageOn, setImageOn),
             BIND(ImageOff, c, imageOff, setImageOff)};
        break;
    }
    case KindSwitch: {
        auto *c = static_cast<SwitchControlV1 *>(control);
        b = {BIND_NAME(c), BIND_INT(Number, c, swcNumber, setSwcNumber),
             BIND(ImageScene, c, imageScene, setImageScene), BIND(ImageOn, c, imageOn, setImageOn)};
        break;
    }
    case KindSensor: {
        auto *c = static_cast<SensorControlV1 *>(control);
        b = {BIND_NAME(c), BIND_INT(Number, c, snrNumber, setSnrNumber),
             BIND(ImageOn, c, imageOn, setImageOn), BIND(ImageOff, c, imageOff, setImageOff),
             BIND(Image, c, imageDis, setImageDis)};
        break;
    }
    case KindHeat: {
        auto *c = static_cast<HeatControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Number, c, swcNumber, setSwcNumber),
             BIND(FontColor, c, fontColor, setFontColor),
             BIND_INT(FontSize, c, fontSize, setFontSize),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight)};
        break;
    }
    case KindBool: {
        auto *c = static_cast<BoolControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND(ImageOff, c, imageOff, setImageOff),
             BIND(ImageOn, c, imageOn, setImageOn),
             BIND_ADDRESS(c),
             BIND_INT(BitNumber, c, bitNumber, setBitNumber),
             BIND(ReadOnly, c, isReadOnly, setReadOnly)};
        break;
    }
    case KindByte: {
        auto *c = static_cast<ByteControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight),
             BIND(Image, c, image, setImage),
             BIND_ADDRESS(c),
             BIND_TYPED(c),
             BIND_INT(Maximum, c, maximum, setMaximum),
             BIND_INT(Minimum, c, minimum, setMinimum),
             BIND_INT(MaxVal, c, maxval, setMaxval),
             BIND(Step, c, step, setStep),
             BIND_INT(Precision, c, precisionView, setPrecisionView),
             BIND(ReadOnly, c, isReadOnly, setReadOnly),
             BIND(Editable, c, isEditable, setEditable),
             BIND(FontColor, c, fontColor, setFontColor),
             BIND_INT(FontSize, c, fontSize, setFontSize),
             BIND(Fone, c, showRound, setShowRound)};
        break;
    }
    case KindBtn: {
        auto *c = static_cast<BtnControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight),
             BIND(Image, c, image, setImage),
             BIND_ADDRESS(c),
             BIND_INT(BitNumber, c, bitNumber, setBitNumber)};
        break;
    }
    case KindResbt: {
        auto *c = static_cast<ResbtControlV1 *>(control);
        b = {BIND_NAME(c), BIND(ImageOff, c, imageOff, setImageOff),
             BIND(ImageOn, c, imageOn, setImageOn), BIND_ADDRESS(c),
             BIND_INT(Value, c, val, setVal)};
        break;
    }
    case KindText: {
        auto *c = static_cast<TextControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight),
             BIND_LIST(FontName, c, fontFamily, setFontFamily, kFontNames),
             BIND_INT(FontSize, c, fontSize, setFontSize),
             BIND(FontColor, c, fontColor, setFontColor),
             BIND(Fone, c, showRound, setShowRound),
             BIND_FONTTYPE(c)};
        break;
    }
    case KindDynText: {
        auto *c = static_cast<DynTextControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight),
             BIND_ADDRESS(c),
             BIND_LIST(FontName, c, fontFamily, setFontFamily, kFontNames),
             BIND_INT(FontSize, c, fontSize, setFontSize),
             BIND(FontColor, c, fontColor, setFontColor),
             BIND(Fone, c, showRound, setShowRound),
             BIND_INT(Maximum, c, maximum, setMaximum),
             BIND_FONTTYPE(c)};
        break;
    }
    case KindTextWrite: {
        auto *c = static_cast<TextWriteControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight),
             BIND_ADDRESS(c),
             BIND(FontColor, c, fontColor, setFontColor),
             BIND(Fone, c, showRound, setShowRound),
             BIND_INT(FontSize, c, fontSize, setFontSize),
             // The controller's text field is counted in whole registers.
             {Maximum, [c] { return QVariant(double(c->maximum())); },
              [c](const QVariant &v) { c->setMaximum(qRound(v.toDouble()) & ~1); }}};
        break;
    }
    case KindSystem: {
        auto *c = static_cast<SystemControlV1 *>(control);
        b = {{Name, [c] { return QVariant(c->fileName()); },
              [c](const QVariant &v) { c->setFileName(v.toString()); }},
             BIND(Text, c, textB, setTextB),
             BIND(Image, c, image, setImage),
             // A button whose type was never set shows no entry and keeps its type until the
             // person picks one.
             BIND_LIST(SystemType, c, systTypeText, setSystType, kSystemTypes)};
        break;
    }
    case KindWeather:
        b = {BIND(Text, control, textB, setTextB)};
        break;
    case KindIpCam:
    case KindAVCam: {
        auto *c = static_cast<CameraControlV1 *>(control);
        b = {BIND(Text, c, textB, setTextB), BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight), BIND(Fone, c, showRound, setShowRound)};
        break;
    }
    case KindHSlider:
    case KindVSlider: {
        auto *c = static_cast<SliderControlV1 *>(control);
        b = {BIND_NAME(c),
             BIND_INT(Width, c, width, setWidth),
             BIND_INT(Height, c, height, setHeight),
             BIND_ADDRESS(c),
             BIND_INT(Maximum, c, maximum, setMaximum),
             BIND_INT(Minimum, c, minimum, setMinimum),
             BIND_INT(MaxVal, c, maxval, setMaxval),
             BIND(Step, c, step, setStep),
             BIND_TYPED(c),
             BIND_INT(Precision, c, precisionView, setPrecisionView),
             BIND(Fone, c, showRound, setShowRound)};
        break;
    }
    default:
        break;
    }
    load(b);
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
        const QString text = localText(d->textIds[f]);
        if (d->labels[f])
            d->labels[f]->setLabelT(text);
        else
            static_cast<EBaseWidget *>(d->editors[f])->setText(text);
    }
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
