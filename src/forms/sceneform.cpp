// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "sceneform.h"

#include "adminaccess.h"
#include "baseroomv1.h"
#include "controlconstants.h"
#include "controlerdata.h"
#include "controllermap.h"
#include "controllertypes.h"
#include "eappsettings.h"
#include "echeckboxwidget.h"
#include "ecombowidget.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "egroupboxwidget.h"
#include "elabelwidget.h"
#include "elinearlayout.h"
#include "enumericwidget.h"
#include "erectwidget.h"
#include "etextedit.h"
#include "exttoolwidget.h"
#include "formservices.h"
#include "linksubscription.h"
#include "roomsv1.h"
#include "switchcontrolv1.h"

#include <QGraphicsLayout>
#include <QMap>
#include <QPointer>
#include <cmath>

namespace {
// Scene bytes 0 and 1: 1..4 are the scenes of the lighting or heating root, and two codes
// switch everything on or off.
constexpr int kAllOn = ControllerMap::kCommandAllOn;
constexpr int kAllOff = ControllerMap::kCommandAllOff;
constexpr int kMaxSceneNumber = ControllerMap::kLastSceneCommand;
constexpr int kUnknownScene = 255;
constexpr int kGlobalScenes = ControllerMap::kGlobalSceneCount;
constexpr int kAdvancedBoxes = 8;
constexpr int kTimerBoxes = 8;
// The controller keeps seven characters of an SMS text.
constexpr int kSmsLength = ControllerMap::kSceneTextBytes;
// Narrower pages lay the groups out in two columns instead of three.
constexpr qreal kThreeColumnWidth = 960;
// The hint the SMS field shows while it is empty: a scene without a text.
const QString kEmptyText = QStringLiteral("пусто");
} // namespace

struct SceneFormPrivate
{
    ELabelWidget *title = nullptr;
    EGroupBoxWidget *sceneGroup = nullptr;
    EGroupBoxWidget *contentGroup = nullptr;
    EGroupBoxWidget *timerGroup = nullptr;
    EGroupBoxWidget *switchGroup = nullptr;
    EGroupBoxWidget *advancedGroup = nullptr;
    EGroupBoxWidget *smsGroup = nullptr;
    ELabelWidget *lightCaption = nullptr;
    ELabelWidget *heatCaption = nullptr;
    ELabelWidget *engineeringCaption = nullptr;
    ELabelWidget *mediaCaption = nullptr;
    ELabelWidget *hourCaption = nullptr;
    ELabelWidget *minuteCaption = nullptr;
    ELabelWidget *switchCaption = nullptr;
    ELabelWidget *smsNote = nullptr;
    EComboWidget *scene = nullptr;
    EComboWidget *light = nullptr;
    EComboWidget *heat = nullptr;
    EComboWidget *engineering = nullptr;
    EComboWidget *media = nullptr;
    EComboWidget *wallSwitch = nullptr;
    ENumericWidget *hour = nullptr;
    ENumericWidget *minute = nullptr;
    ECheckboxWidget *timer[kTimerBoxes] = {};
    ECheckboxWidget *advanced[kAdvancedBoxes] = {};
    ETextEdit *sms = nullptr;
    ETextEdit *rename = nullptr;
    ExtToolWidget *save = nullptr;
    ExtToolWidget *renameButton = nullptr;
    // Switch numbers of the switch list's items (item 0 is "no", number 0).
    QList<int> switchNumbers{0};
    ScenesStruct scenes;
    bool hasData = false;
    // Names given with Rename during this run, by scene index, over the settings' names.
    QMap<int, QString> renamed;
    std::unique_ptr<LinkSubscription> updates;
    // Laid out in two columns of groups on narrow pages, in three on wide ones.
    bool narrow = false;
    // The scene the editors show (-1: none) and what they held when it was loaded or saved.
    int shownScene = -1;
    GActivators shownBytes;
    QString shownText;
    // The question over unsaved changes, and the scene item picked that waits for its answer.
    ERectWidget *prompt = nullptr;
    ELabelWidget *promptText = nullptr;
    ExtToolWidget *promptButtons[3] = {};
    int pendingIndex = -1;
};

namespace {
ELabelWidget *caption(EGridLayout *grid, int row, int column = 0, int columnSpan = 1)
{
    auto *label = new ELabelWidget;
    label->setFont(ECoreApp::instance()->font(0));
    label->setColortext(Qt::black);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(label, row, column, 1, columnSpan);
    return label;
}

EComboWidget *selector(EGridLayout *grid, int row, int column = 1, int columnSpan = 1)
{
    auto *combo = new EComboWidget;
    combo->setFont(ECoreApp::instance()->font(0));
    grid->addWidget(combo, row, column, 1, columnSpan);
    return combo;
}

ECheckboxWidget *checkBox(EGridLayout *grid, int row, int column, int columnSpan = 1)
{
    auto *box = new ECheckboxWidget;
    box->setFont(ECoreApp::instance()->font(0));
    box->setColortext(Qt::black);
    grid->addWidget(box, row, column, 1, columnSpan);
    return box;
}

ENumericWidget *numberField(EGridLayout *grid, int row, int column, int maximum)
{
    auto *field = new ENumericWidget;
    field->setDecimals(0);
    field->setRange(0, maximum);
    field->setStep(1);
    field->setModes(true, true, false);
    grid->addWidget(field, row, column);
    return field;
}

EGroupBoxWidget *framedGroup(EGridLayout *grid)
{
    auto *box = new EGroupBoxWidget;
    box->setFont(ECoreApp::instance()->font(5));
    box->setColortext(Qt::black);
    auto *content = new QGraphicsWidget;
    content->setLayout(grid);
    box->setContentItem(content);
    return box;
}

ExtToolWidget *toolButton(const QString &image)
{
    auto *button = new ExtToolWidget(image, QString());
    button->setFrameVisible(true);
    button->setCaptionBeside(true);
    button->setFont(ECoreApp::instance()->font(0));
    button->setMinimumSize(150, 44);
    button->setMaximumSize(150, 44);
    return button;
}

QStringList names(const QList<EAppSettings::SceneName> &list)
{
    QStringList result;
    for (const EAppSettings::SceneName &entry : list)
        result.append(entry.text);
    return result;
}

void setBit(quint8 &byte, int bit, bool on)
{
    byte = on ? quint8(byte | (1 << bit)) : quint8(byte & ~(1 << bit));
}
} // namespace

SceneForm::SceneForm(QGraphicsItem *parent) : BaseForm(parent), d(new SceneFormPrivate)
{
    d->updates = std::make_unique<LinkSubscription>(this, SIGNAL(ReadyUpdateScenes(ScenesStruct)),
                                                  SLOT(readyToUpdateResVars(ScenesStruct)));
    registerControllerTypes();

    // The global scene and its name.
    auto *sceneGrid = new EGridLayout;
    sceneGrid->setColumnSizes({0, 8, 150});
    sceneGrid->setRowSizes({44});
    d->scene = selector(sceneGrid, 0, 0);
    d->scene->setObjectName(QStringLiteral("globalSceneSelector"));
    d->renameButton = toolButton(QStringLiteral("insert_text.png"));
    sceneGrid->addWidget(d->renameButton, 0, 2);
    d->sceneGroup = framedGroup(sceneGrid);
    // The name editor takes the selector's place while a scene is being renamed.
    d->rename = new ETextEdit(d->scene->parentItem());
    d->rename->setSingleLine(true);
    d->rename->setFont(ECoreApp::instance()->font(4));
    d->rename->hide();
    connect(d->scene, &EGraphicsWidget::onGeometryChanged, d->rename,
            [this](const QRectF &geometry) { d->rename->setGeometry(geometry); });

    // What the scene switches.
    auto *contentGrid = new EGridLayout;
    contentGrid->setColumnSizes({170, 0});
    contentGrid->setRowSizes({44, 44, 44, 44});
    d->lightCaption = caption(contentGrid, 0);
    d->light = selector(contentGrid, 0);
    d->heatCaption = caption(contentGrid, 1);
    d->heat = selector(contentGrid, 1);
    d->engineeringCaption = caption(contentGrid, 2);
    d->engineering = selector(contentGrid, 2);
    d->mediaCaption = caption(contentGrid, 3);
    d->media = selector(contentGrid, 3);
    d->contentGroup = framedGroup(contentGrid);

    // The wall switch that starts it.
    auto *switchGrid = new EGridLayout;
    switchGrid->setColumnSizes({170, 0});
    switchGrid->setRowSizes({44});
    d->switchCaption = caption(switchGrid, 0);
    d->wallSwitch = selector(switchGrid, 0);
    d->switchGroup = framedGroup(switchGrid);

    // When it runs.
    auto *timerGrid = new EGridLayout;
    timerGrid->setColumnSizes({90, 130, 0});
    timerGrid->setRowSizes({44, 44, 34, 34, 34, 34, 34});
    d->hourCaption = caption(timerGrid, 0);
    d->hour = numberField(timerGrid, 0, 1, 23);
    d->minuteCaption = caption(timerGrid, 1);
    d->minute = numberField(timerGrid, 1, 1, 59);
    for (int bit = 0; bit < 7; ++bit)
        d->timer[bit] = checkBox(timerGrid, 2 + bit % 4, bit < 4 ? 0 : 1);
    d->timer[7] = checkBox(timerGrid, 6, 0, 3);
    d->timerGroup = framedGroup(timerGrid);

    // Extra conditions.
    auto *advancedGrid = new EGridLayout;
    advancedGrid->setColumnSizes({0});
    advancedGrid->setRowSizes({32, 32, 32, 32, 32, 32, 32, 32});
    for (int bit = 0; bit < kAdvancedBoxes; ++bit) {
        d->advanced[bit] = checkBox(advancedGrid, bit, 0);
        d->advanced[bit]->setObjectName(QStringLiteral("bcbwParam%1").arg(bit + 1));
    }
    d->advancedGroup = framedGroup(advancedGrid);

    // The SMS text.
    auto *smsGrid = new EGridLayout;
    smsGrid->setColumnSizes({0});
    smsGrid->setRowSizes({40, 26});
    d->sms = new ETextEdit;
    d->sms->setSingleLine(true);
    d->sms->setMaxLength(kSmsLength);
    d->sms->setPlaceholderText(kEmptyText);
    d->sms->setFont(ECoreApp::instance()->font(4));
    smsGrid->addWidget(d->sms, 0, 0);
    d->smsNote = caption(smsGrid, 1);
    d->smsNote->setFont(ECoreApp::instance()->font(6));
    d->smsGroup = framedGroup(smsGrid);

    d->save = toolButton(QStringLiteral("ic_action_save.png"));

    d->title = new ELabelWidget;
    d->title->setFont(ECoreApp::instance()->font(1));
    d->title->setColortext(Qt::black);
    d->title->setAlignment(Qt::AlignCenter);

    arrange(false);

    connect(d->scene, &EComboWidget::indexChanged, this, &SceneForm::SelectGlobalScene);
    connect(d->save, &EBaseWidget::clicked, this, &SceneForm::SaveCurrentGlobalScene);
    connect(d->renameButton, &EBaseWidget::clicked, this, &SceneForm::RenameControlData);
    // Enter in the open rename field takes the new name, like the button's second press.
    connect(d->rename, &ETextEdit::returnPressed, this, [this] {
        if (d->rename->isVisible())
            RenameControlData();
    });

    // Asked when another scene is picked while the shown one has unsaved changes.
    d->prompt = new ERectWidget(this);
    d->prompt->setColor(QColor(32, 42, 56, 235));
    d->prompt->setRadius(10);
    d->prompt->setZValue(50);
    d->prompt->resize(480, 150);
    auto *promptGrid = new EGridLayout;
    promptGrid->setMargins(16, 12, 16, 12);
    promptGrid->setColumnSizes({0, 0, 0});
    promptGrid->setHorizontalSpacing(8);
    promptGrid->setRowSizes({0, 50});
    d->promptText = new ELabelWidget;
    d->promptText->setFont(ECoreApp::instance()->font(0));
    d->promptText->setColortext(QColor(0xf4, 0xf7, 0xfb));
    d->promptText->setWordWrap(true);
    d->promptText->setAlignment(Qt::AlignCenter);
    promptGrid->addWidget(d->promptText, 0, 0, 1, 3);
    const char *const icons[3] = {"check.png", "no.png", "close.png"};
    for (int i = 0; i < 3; ++i) {
        auto *button = new ExtToolWidget(QLatin1String(icons[i]), QString());
        button->setFrameVisible(true);
        button->setCaptionBeside(true);
        button->setFont(ECoreApp::instance()->font(0));
        promptGrid->addWidget(button, 1, i);
        d->promptButtons[i] = button;
        const auto answer = PromptAnswer(i);
        connect(button, &EBaseWidget::clicked, this, [this, answer] { answerPrompt(answer); });
    }
    d->prompt->setLayout(promptGrid);
    d->prompt->hide();

    rebuildLists();
    SelectGlobalScene(0);

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &SceneForm::changedLocale);
    retranslate();
}

SceneForm::~SceneForm() = default;

void SceneForm::arrange(bool narrow)
{
    d->narrow = narrow;
    auto *grid = new EGridLayout;
    if (!narrow) {
        grid->setColumnSizes({20, 0, 16, 300, 16, 0, 20});
        grid->setColumnStretch(1, 3);
        grid->setColumnStretch(5, 2);
        grid->setRowSizes({40, 88, 10, 230, 10, 88, 10, 104, 0});
        grid->setRowStretch(8, 1);
        grid->addWidget(d->title, 0, 0, 1, 7);
        grid->addWidget(d->sceneGroup, 1, 1, 1, 3);
        grid->addWidget(d->contentGroup, 3, 1);
        grid->addWidget(d->timerGroup, 3, 3, 3, 1);
        grid->addWidget(d->switchGroup, 5, 1);
        grid->addWidget(d->advancedGroup, 1, 5, 5, 1);
        grid->addWidget(d->smsGroup, 7, 1, 1, 3);
        grid->addWidget(d->save, 7, 5, 1, 1, Qt::AlignRight | Qt::AlignVCenter);
        setPageLayout(grid);
        return;
    }
    // Two columns, each group at the height its content needs; the page scrolls when they are
    // taller than the screen.
    auto column = [](std::initializer_list<QGraphicsLayoutItem *> items) {
        auto *layout = new ELinearLayout(Qt::Vertical);
        layout->setSpacing(10);
        for (QGraphicsLayoutItem *item : items)
            layout->addWidget(item);
        layout->addSpacing(0);
        return layout;
    };
    auto *saveRow = new ELinearLayout(Qt::Horizontal);
    saveRow->addSpacing(0);
    saveRow->addWidget(d->save);
    grid->setColumnSizes({16, 0, 16, 0, 16});
    grid->setRowSizes({40, 0});
    grid->addWidget(d->title, 0, 0, 1, 5);
    grid->addItem(column({d->sceneGroup, d->contentGroup, d->timerGroup}), 1, 1);
    grid->addItem(column({d->switchGroup, d->advancedGroup, d->smsGroup, saveRow}), 1, 3);
    setPageLayout(grid);
}

void SceneForm::geometryUpdated()
{
    // Three columns of groups need about a thousand pixels; below that the page takes two.
    const bool narrow = size().width() < kThreeColumnWidth;
    if (narrow != d->narrow)
        arrange(narrow);
    BaseForm::geometryUpdated();
}

void SceneForm::setLink(QObject *link)
{
    d->updates->setLink(link);
}

QObject *SceneForm::link() const
{
    return d->updates->link();
}

int SceneForm::sceneItemForValue(int value, int itemCount)
{
    // "Enable all" and "Disable all" are the last two items; the scene items between "no" and
    // them number as many captions as the root page has.
    if (itemCount < 3)
        return -1;
    if (value == kAllOn)
        return itemCount - 2;
    if (value == kAllOff)
        return itemCount - 1;
    if (value >= 0 && value <= kMaxSceneNumber && value < itemCount - 2)
        return value;
    return -1;
}

int SceneForm::sceneValueForItem(int index, int itemCount, int previous)
{
    if (index < 0 || index >= itemCount)
        return previous;
    if (index == itemCount - 2)
        return kAllOn;
    if (index == itemCount - 1)
        return kAllOff;
    // Captions beyond the controller's four scenes have no code of their own.
    return index <= kMaxSceneNumber ? index : kUnknownScene;
}

int SceneForm::selectedScene() const
{
    return d->scene->currentIndex();
}

bool SceneForm::hasSceneData() const
{
    return d->hasData;
}

EComboWidget *SceneForm::sceneSelector() const
{
    return d->scene;
}
EComboWidget *SceneForm::lightSelector() const
{
    return d->light;
}
EComboWidget *SceneForm::heatSelector() const
{
    return d->heat;
}
EComboWidget *SceneForm::engineeringSelector() const
{
    return d->engineering;
}
EComboWidget *SceneForm::mediaSelector() const
{
    return d->media;
}
EComboWidget *SceneForm::switchSelector() const
{
    return d->wallSwitch;
}
ENumericWidget *SceneForm::hourField() const
{
    return d->hour;
}
ENumericWidget *SceneForm::minuteField() const
{
    return d->minute;
}
ETextEdit *SceneForm::smsField() const
{
    return d->sms;
}
ETextEdit *SceneForm::renameField() const
{
    return d->rename;
}
ExtToolWidget *SceneForm::saveButton() const
{
    return d->save;
}
ExtToolWidget *SceneForm::renameButton() const
{
    return d->renameButton;
}

ECheckboxWidget *SceneForm::timerBox(int bit) const
{
    return bit >= 0 && bit < kTimerBoxes ? d->timer[bit] : nullptr;
}

ECheckboxWidget *SceneForm::advancedBox(int bit) const
{
    return bit >= 0 && bit < kAdvancedBoxes ? d->advanced[bit] : nullptr;
}

void SceneForm::rebuildLists()
{
    const EAppSettings &settings = ECoreApp::instance()->settings();
    const QString no = localText(61150);
    RoomsV1 *rooms = FormServices::rooms();

    auto rootList = [&](BaseRoomV1 *root) {
        QStringList items{no};
        if (root)
            items += root->scenes();
        items << localText(61141) << localText(61142);
        return items;
    };
    d->light->setItems(rootList(rooms ? rooms->lightPage() : nullptr));
    d->heat->setItems(rootList(rooms ? rooms->heatPage() : nullptr));
    d->engineering->setItems(QStringList{no} + names(settings.engineeringScenes()));
    d->media->setItems(QStringList{no} + names(settings.mediaScenes()));

    QStringList switchItems{no};
    d->switchNumbers = {0};
    if (rooms) {
        for (BaseRoomV1 *page : rooms->pages()) {
            for (SwitchControlV1 *wallSwitch : page->switches()) {
                // A switch drawn on several plans is still one switch of the controller.
                if (wallSwitch->isDeleted() || d->switchNumbers.contains(wallSwitch->swcNumber()))
                    continue;
                d->switchNumbers.append(wallSwitch->swcNumber());
                const QString number = QString::number(wallSwitch->swcNumber());
                switchItems.append(wallSwitch->textB().isEmpty()
                                       ? number
                                       : wallSwitch->textB() + QStringLiteral(" (") + number +
                                             QLatin1Char(')'));
            }
        }
    }
    d->wallSwitch->setItems(switchItems);

    QStringList sceneItems{no};
    const QList<EAppSettings::SceneName> globals = settings.globalScenes();
    for (int i = 0; i < globals.size() && i < kGlobalScenes; ++i)
        sceneItems.append(d->renamed.value(i, globals.at(i).text));
    const int selected = d->scene->currentIndex();
    d->scene->setItems(sceneItems);
    d->scene->setCurrentIndex(selected >= 0 && selected < sceneItems.size() ? selected : 0);

    const QList<EAppSettings::SceneName> extra = settings.additionalSets();
    for (int bit = 0; bit < kAdvancedBoxes; ++bit) {
        const QString text = bit < extra.size() ? extra.at(bit).text : QString();
        d->advanced[bit]->setText(text);
        d->advanced[bit]->setVisible(!text.isEmpty());
    }

    const bool engineering = settings.value(EAppSettings::ShwIngen).toBool();
    d->engineering->setVisible(engineering);
    d->engineeringCaption->setVisible(engineering);
    const bool media = settings.value(EAppSettings::ShwMedia).toBool();
    d->media->setVisible(media);
    d->mediaCaption->setVisible(media);
}

void SceneForm::setEditorsEnabled(bool on)
{
    for (QGraphicsWidget *w : std::initializer_list<QGraphicsWidget *>{
             d->light, d->heat, d->engineering, d->media, d->wallSwitch, d->hour, d->minute, d->sms,
             d->save, d->renameButton})
        w->setEnabled(on);
    for (ECheckboxWidget *box : d->timer)
        box->setEnabled(on);
    for (ECheckboxWidget *box : d->advanced)
        box->setEnabled(on);
}

void SceneForm::clearEditors()
{
    for (EComboWidget *combo : {d->light, d->heat, d->engineering, d->media, d->wallSwitch})
        combo->setCurrentIndex(0);
    d->hour->setValue(0);
    d->minute->setValue(0);
    for (ECheckboxWidget *box : d->timer)
        box->setChecked(false);
    for (ECheckboxWidget *box : d->advanced)
        box->setChecked(false);
    d->sms->setText(QString());
}

void SceneForm::loadEditors(int scene)
{
    if (scene < 0 || scene >= d->scenes.activators.size())
        return;
    const auto &b = d->scenes.activators.at(scene).bytes;
    d->light->setCurrentIndex(sceneItemForValue(b[LightByte], d->light->count()));
    d->heat->setCurrentIndex(sceneItemForValue(b[HeatByte], d->heat->count()));
    d->engineering->setCurrentIndex(
        b[EngineeringByte] < d->engineering->count() ? b[EngineeringByte] : -1);
    d->media->setCurrentIndex(b[MediaByte] < d->media->count() ? b[MediaByte] : -1);
    d->hour->setValue(b[HourByte]);
    d->minute->setValue(b[MinuteByte]);
    const int switchItem = d->switchNumbers.indexOf(b[SwitchByte]);
    d->wallSwitch->setCurrentIndex(switchItem > 0 ? switchItem : 0);
    for (int bit = 0; bit < kAdvancedBoxes; ++bit)
        d->advanced[bit]->setChecked(b[AdvancedByte] & (1 << bit));
    for (int bit = 0; bit < kTimerBoxes; ++bit)
        d->timer[bit]->setChecked(b[TimerByte] & (1 << bit));
    const QString text = scene < d->scenes.names.size() ? d->scenes.names.at(scene) : QString();
    d->sms->setText(text);
}

GActivators SceneForm::editedActivators() const
{
    const int scene = d->scene->currentIndex() - 1;
    GActivators a;
    // Bytes the page cannot show (an unknown code) are carried over as they were read.
    if (scene >= 0 && scene < d->scenes.activators.size())
        a = d->scenes.activators.at(scene);
    auto &b = a.bytes;
    b[LightByte] =
        quint8(sceneValueForItem(d->light->currentIndex(), d->light->count(), b[LightByte]));
    b[HeatByte] = quint8(sceneValueForItem(d->heat->currentIndex(), d->heat->count(), b[HeatByte]));
    if (d->engineering->currentIndex() >= 0)
        b[EngineeringByte] = quint8(d->engineering->currentIndex());
    if (d->media->currentIndex() >= 0)
        b[MediaByte] = quint8(d->media->currentIndex());
    b[ReservedByte] = 0;
    b[HourByte] = quint8(std::trunc(d->hour->value()));
    b[MinuteByte] = quint8(std::trunc(d->minute->value()));
    const int switchItem = d->wallSwitch->currentIndex();
    b[SwitchByte] = quint8(switchItem > 0 && switchItem < d->switchNumbers.size()
                               ? d->switchNumbers.at(switchItem)
                               : 0);
    quint8 advanced = 0;
    for (int bit = 0; bit < kAdvancedBoxes; ++bit)
        setBit(advanced, bit, d->advanced[bit]->isChecked());
    b[AdvancedByte] = advanced;
    quint8 timer = 0;
    for (int bit = 0; bit < kTimerBoxes; ++bit)
        setBit(timer, bit, d->timer[bit]->isChecked());
    b[TimerByte] = timer;
    return a;
}

void SceneForm::readyToUpdateResVars(const ScenesStruct &value)
{
    const bool first = !d->hasData;
    d->scenes = value;
    d->hasData = true;
    // A scene chosen before the first read showed nothing; now there is something to show.
    if (first && d->scene->currentIndex() > 0) {
        loadEditors(d->scene->currentIndex() - 1);
        rememberShown();
    }
}

void SceneForm::SelectGlobalScene(int index)
{
    // Another scene picked over unsaved changes: the list goes back to the shown scene until
    // the person says what becomes of the changes.
    if (d->shownScene >= 0 && index - 1 != d->shownScene && hasUnsavedChanges()) {
        d->pendingIndex = index;
        d->scene->setCurrentIndex(d->shownScene + 1);
        d->prompt->setPos((size().width() - d->prompt->size().width()) / 2,
                          (size().height() - d->prompt->size().height()) / 2);
        d->prompt->show();
        if (QGraphicsLayout *grid = d->prompt->layout())
            grid->activate();
        return;
    }
    showScene(index);
}

void SceneForm::showScene(int index)
{
    d->prompt->hide();
    d->pendingIndex = -1;
    if (index <= 0) {
        clearEditors();
        setEditorsEnabled(false);
        d->shownScene = -1;
        return;
    }
    setEditorsEnabled(true);
    loadEditors(index - 1);
    rememberShown();
}

void SceneForm::rememberShown()
{
    d->shownScene = d->scene->currentIndex() - 1;
    d->shownBytes = editedActivators();
    d->shownText = d->sms->text();
}

bool SceneForm::hasUnsavedChanges() const
{
    if (d->shownScene < 0 || !d->hasData)
        return false;
    return !(editedActivators() == d->shownBytes) || d->sms->text() != d->shownText;
}

QGraphicsWidget *SceneForm::unsavedPrompt() const
{
    return d->prompt;
}

ExtToolWidget *SceneForm::promptButton(PromptAnswer answer) const
{
    return answer >= PromptSave && answer <= PromptCancel ? d->promptButtons[answer] : nullptr;
}

void SceneForm::answerPrompt(SceneForm::PromptAnswer answer)
{
    const int pending = d->pendingIndex;
    d->prompt->hide();
    d->pendingIndex = -1;
    if (answer == PromptCancel || pending < 0)
        return;
    if (answer == PromptSave && !AdminAccess::isUnlocked()) {
        // The shown scene is saved, then the next one shown, only after the PIN: switching
        // first would save the next scene's editors under the shown one's number.
        AdminAccess::request(this, [this, pending] { finishPrompt(pending, PromptSave); });
        return;
    }
    finishPrompt(pending, answer);
}

void SceneForm::finishPrompt(int pending, SceneForm::PromptAnswer answer)
{
    if (answer == PromptSave)
        SaveCurrentGlobalScene();
    d->scene->setCurrentIndex(pending);
    showScene(pending);
}

void SceneForm::SaveCurrentGlobalScene()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { SaveCurrentGlobalScene(); });
        return;
    }
    // With no scene chosen the editors are blank: saving them would wipe scene 1.
    const int scene = d->scene->currentIndex() - 1;
    if (scene < 0)
        return;
    LinkCommands *commands = FormServices::linkCommands(link());
    if (!commands)
        return;
    // The definition travels with the queued call, in order before the write that uses it, so
    // a poll holding the link busy cannot stall the screen and two quick saves cannot mix.
    commands->SetActivators(editedActivators());
    const QString text = d->sms->text();
    // An empty field is a scene without a message: nothing is written over the controller's.
    if (!text.isEmpty())
        commands->WriteSMS(text, scene);
    commands->WriteGlobalScene(scene);
    rememberShown();
}

void SceneForm::RenameControlData()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { RenameControlData(); });
        return;
    }
    const int index = d->scene->currentIndex();
    if (index <= 0)
        return;
    if (!d->rename->isVisible()) {
        d->rename->setText(d->scene->currentText());
        d->scene->hide();
        d->rename->show();
        d->rename->setEditFocus();
        return;
    }
    const QString name = d->rename->text().trimmed();
    if (!name.isEmpty()) {
        d->renamed.insert(index - 1, name);
        // The new name is kept in the settings too, so config.xml carries it at exit.
        EAppSettings &settings = ECoreApp::instance()->settings();
        const QList<EAppSettings::SceneName> globals = settings.globalScenes();
        if (index - 1 < globals.size())
            settings.setGlobalSceneName(globals.at(index - 1).id, name);
        QStringList items = d->scene->items();
        items[index] = name;
        d->scene->setItems(items);
        d->scene->setCurrentIndex(index);
    }
    d->rename->hide();
    d->scene->show();
}

void SceneForm::closeControls()
{
    emit CloseClicked();
}

void SceneForm::changedLocale(const QString &)
{
    retranslate();
}

void SceneForm::applyTexts()
{
    d->title->setLabelT(localText(61151));
    d->sceneGroup->setLabelT(localText(61152));
    d->contentGroup->setLabelT(localText(61153));
    d->lightCaption->setLabelT(localText(61154));
    d->heatCaption->setLabelT(localText(61155));
    d->engineeringCaption->setLabelT(localText(61156));
    d->mediaCaption->setLabelT(localText(61157));
    d->timerGroup->setLabelT(localText(61160));
    d->hourCaption->setLabelT(localText(61169));
    d->minuteCaption->setLabelT(localText(61170));
    for (int bit = 0; bit < 7; ++bit)
        d->timer[bit]->setText(localText(61162 + bit));
    d->timer[7]->setText(localText(61161));
    d->switchGroup->setLabelT(localText(61171));
    d->switchCaption->setLabelT(localText(61172));
    d->advancedGroup->setLabelT(localText(61173));
    d->smsGroup->setLabelT(localText(61158));
    d->smsNote->setLabelT(localText(61159));
    d->save->setText(localText(61062));
    d->renameButton->setText(localText(61064));
    d->promptText->setLabelT(localText(61405));
    d->promptButtons[PromptSave]->setText(localText(61062));
    d->promptButtons[PromptDiscard]->setText(localText(61406));
    d->promptButtons[PromptCancel]->setText(localText(61063));
    // The lists start with the translated "no" and end with "Enable all" / "Disable all"; the
    // editors are loaded again from the scene data when the page is shown next.
    rebuildLists();
}

void SceneForm::connectLink()
{
    d->updates->subscribe();
}

void SceneForm::disconnectLink()
{
    d->updates->unsubscribe();
}

void SceneForm::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    retranslate();
    rebuildLists();
    d->rename->hide();
    d->scene->show();
    SelectGlobalScene(d->scene->currentIndex());
    connectLink();
    if (LinkCommands *commands = FormServices::linkCommands(link()))
        commands->SetCurrentScenesRoom();
}

void SceneForm::hideEvent(QHideEvent *event)
{
    disconnectLink();
    BaseForm::hideEvent(event);
}
