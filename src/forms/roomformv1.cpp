// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "roomformv1.h"

#include "boolcontrolv1.h"
#include "bytecontrolv1.h"
#include "controlconstants.h"
#include "controlerdata.h"
#include "dyntextcontrolv1.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "extboolcontrol.h"
#include "extbytebutton.h"
#include "extbytecontrol.h"
#include "extheatwidget.h"
#include "exticonbutton.h"
#include "extlightwidget.h"
#include "extsceneswidget.h"
#include "extsensorwidget.h"
#include "extslidercontrol.h"
#include "extswitchwidget.h"
#include "exttextwidget.h"
#include "exttextwriterwidget.h"
#include "exttoolboxwidget.h"
#include "extwidgetfactory.h"
#include "floorstructv1.h"
#include "formservices.h"
#include "heatcontrolv1.h"
#include "lightcontrolv1.h"
#include "linkcommands.h"
#include "mainstructv1.h"
#include "plancache.h"
#include "resbtcontrolv1.h"
#include "roomsnapshot.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "scenesavedialog.h"
#include "sensorcontrolv1.h"
#include "slidercontrolv1.h"
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"

#include <QCoreApplication>
#include <QHash>
#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcRoom, "verandix.forms.room", QtWarningMsg)

using namespace ControlConstants;

namespace {
constexpr int kTextMoveMode = 61103;
constexpr int kTitleFont = 1;
constexpr qreal kSceneBarWidth = 170;
constexpr qreal kToolboxWidth = 210;
constexpr qreal kToolboxHeight = 76;
constexpr qreal kTitleRowTop = 5;
constexpr qreal kTitleRowHeight = 40;
} // namespace

struct RoomFormV1Private
{
    BaseRoomV1 *room = nullptr;
    // The plan picture is read when the page is first shown: a project has dozens of pages and
    // reading every plan up front made start-up slow and memory-hungry.
    bool planWanted = false;
    EGridLayout *grid = nullptr;
    EImageWidget *plan = nullptr;
    ELabelWidget *title = nullptr;
    ExtScenesWidget *scenes = nullptr;
    ExtToolboxWidget *toolbox = nullptr;
    SaveSceneDialog *saveDialog = nullptr;
    QPointer<QObject> testLink;
    bool linkOverridden = false;
    // The link the three signals are connected to while active.
    QPointer<QObject> connectedLink;
    bool active = false;
    bool fullPlan = false;
    int selectedSwitch = -1;
    int selectedSensor = -1;
    // Widgets by runtime id; sub-room icons are found by id as well.
    QHash<QString, EBaseWidget *> widgets;
    // Write-pending controls and the polls seen since their command went out.
    QHash<int, int> pendingAge;
};

RoomFormV1::RoomFormV1(BaseRoomV1 *room, QGraphicsItem *parent)
    : BaseForm(parent), d(std::make_unique<RoomFormV1Private>())
{
    qRegisterMetaType<RoomSnapshot>("RoomSnapshot");
    qRegisterMetaType<SubsUpdate>("SubsUpdate");
    qRegisterMetaType<QList<SubsUpdate>>("QList<SubsUpdate>");
    qRegisterMetaType<QAbstractSocket::SocketState>("QAbstractSocket::SocketState");

    d->room = room;
    d->grid = new EGridLayout;
    d->grid->setColumnSizes({170, 0, 70, 140});
    d->grid->setRowSizes({kTitleRowTop, kTitleRowHeight, 0});
    d->plan = new EImageWidget;
    d->plan->setFillMode(EImageWidget::Stretch);
    d->title = new ELabelWidget;
    d->title->setAlignment(Qt::AlignCenter);
    d->title->setFont(ECoreApp::instance()->font(kTitleFont));
    // Scene bar and toolbox float over the plan's edges; they are placed with the plan.
    d->scenes = new ExtScenesWidget(this);
    d->scenes->setZValue(2);
    d->scenes->hide();
    d->toolbox = new ExtToolboxWidget(this);
    d->toolbox->setZValue(2);
    d->toolbox->resize(kToolboxWidth, kToolboxHeight);

    const bool isMain = room && room->systemType() == BaseRoomV1::MainSystem;
    const bool fullPlan =
        isMain || ECoreApp::instance()->settings().value(EAppSettings::FullLevelImage).toBool();
    d->fullPlan = fullPlan;
    if (fullPlan)
        d->grid->addWidget(d->plan, 0, 0, 3, 4);
    else
        d->grid->addWidget(d->plan, 2, 0, 1, 4);
    if (isMain) {
        // Outside the layout the title would have no parent and outlive the screen.
        d->title->setParentItem(this);
        d->title->hide();
        setDrawBackground(false);
    } else {
        d->grid->addWidget(d->title, 1, 0, 1, 4);
    }
    setLayout(d->grid);
    d->toolbox->setVisible(showSettingsOn());

    connect(d->plan, &EGraphicsWidget::onGeometryChanged, this, [this] {
        placeOverlays();
        placeWidgets();
    });
    connect(d->scenes, &ExtScenesWidget::AllHeatOnOffClick, this, &RoomFormV1::AllHeatOnOff);
    connect(d->scenes, &ExtScenesWidget::GlobalScene1Click, this, &RoomFormV1::GlobalScene1);
    connect(d->scenes, &ExtScenesWidget::GlobalScene2Click, this, &RoomFormV1::GlobalScene2);
    connect(d->scenes, &ExtScenesWidget::GlobalScene3Click, this, &RoomFormV1::GlobalScene3);
    connect(d->scenes, &ExtScenesWidget::GlobalScene4Click, this, &RoomFormV1::GlobalScene4);
    connect(d->scenes, &ExtScenesWidget::GlobalAllOnClick, this, &RoomFormV1::GlobalAllOn);
    connect(d->scenes, &ExtScenesWidget::GlobalAllOffClick, this, &RoomFormV1::GlobalAllOff);
    connect(d->scenes, &ExtScenesWidget::SceneSaveClick, this, &RoomFormV1::SceneSave);
    connect(d->scenes, &ExtScenesWidget::EditDependanceClick, this, &RoomFormV1::EditDependance);

    updateSettings();
    if (!room)
        return;

    QList<BaseRoomV1 *> subRooms;
    if (auto *main = dynamic_cast<MainStructV1 *>(room)) {
        for (FloorStructV1 *f : main->floors())
            subRooms.append(f);
    } else if (auto *floor = dynamic_cast<FloorStructV1 *>(room)) {
        for (RoomStructV1 *r : floor->rooms())
            subRooms.append(r);
    }
    for (BaseRoomV1 *sub : qAsConst(subRooms)) {
        if (!sub->isDeleted())
            addRoomIcon(sub);
    }
    for (BaseControlV1 *control : room->controls()) {
        if (!control->isDeleted())
            addControlWidget(control);
    }
    refreshWidgets();
}

RoomFormV1::~RoomFormV1()
{
    if (d->active && d->connectedLink)
        QObject::disconnect(d->connectedLink, nullptr, this, nullptr);
}

BaseRoomV1 *RoomFormV1::room() const
{
    return d->room;
}

void RoomFormV1::updateSettings()
{
    if (!d->room) {
        d->scenes->hide();
        return;
    }
    d->planWanted = true;
    if (isVisible() && scene())
        loadPlan();
    const bool isRoot = d->room->kind() == BaseRoomV1::KindRoot;
    d->title->setLabelT(isRoot ? d->room->name() : d->room->textB());
    const QColor color(d->room->fontColor());
    if (color.isValid())
        d->title->setColortext(color);
    configureScenes();
}

void RoomFormV1::setLink(QObject *link)
{
    d->testLink = link;
    d->linkOverridden = link != nullptr;
}

QObject *RoomFormV1::link() const
{
    if (d->linkOverridden)
        return d->testLink.data();
    return FormServices::link();
}

bool RoomFormV1::isActive() const
{
    return d->active;
}

EImageWidget *RoomFormV1::plan() const
{
    return d->plan;
}

ExtScenesWidget *RoomFormV1::scenesWidget() const
{
    return d->scenes;
}

ExtToolboxWidget *RoomFormV1::toolbox() const
{
    return d->toolbox;
}

ELabelWidget *RoomFormV1::titleLabel() const
{
    return d->title;
}

SaveSceneDialog *RoomFormV1::sceneSaveDialog() const
{
    return d->saveDialog;
}

EBaseWidget *RoomFormV1::widgetById(const QString &runtimeId) const
{
    return d->widgets.value(runtimeId);
}

int RoomFormV1::selectedSwitch() const
{
    return d->selectedSwitch;
}

int RoomFormV1::selectedSensor() const
{
    return d->selectedSensor;
}

bool RoomFormV1::showSettingsOn() const
{
    return ECoreApp::instance()->settings().value(EAppSettings::ShowSettings).toBool();
}

// ---- showing and hiding ---------------------------------------------------------------------

void RoomFormV1::loadPlan()
{
    if (!d->planWanted || !d->room)
        return;
    // Plans come from the shared cache, at the size drawn; it takes the picture back while the
    // page is hidden and brings it again here on the next show.
    ECoreApp *app = ECoreApp::instance();
    PlanCache *cache = PlanCache::instance();
    const int budgetMiB = app->settings()
                              .optionalValue(QStringLiteral("plan_cache_mb"),
                                             QString::number(PlanCache::kDefaultBudgetMiB))
                              .toInt();
    cache->setBudgetBytes(qint64(qMax(0, budgetMiB)) * 1024 * 1024);
    cache->show(d->plan, app->imagePath(d->room->image()));
}

void RoomFormV1::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    loadPlan();
    activate();
}

void RoomFormV1::hideEvent(QHideEvent *event)
{
    BaseForm::hideEvent(event);
    deactivate();
}

void RoomFormV1::activate()
{
    if (d->active || !d->room)
        return;
    loadPlan();
    retranslate();
    d->toolbox->setVisible(showSettingsOn());
    configureScenes();
    d->room->clearChanged();
    d->pendingAge.clear();
    QObject *l = link();
    if (!l)
        return;
    d->active = true;
    sendRoom();
    // By signature, not by member pointer: the link may be any object with these signals (the
    // controller link, or a stand-in in tests).
    connect(l, SIGNAL(ReadyUpdateControls(QList<SubsUpdate>, int)), this,
            SLOT(ReadyUpdateControls(QList<SubsUpdate>, int)));
    connect(l, SIGNAL(ControlDataWriten(int)), this, SLOT(ControlDataWriten(int)));
    connect(l, SIGNAL(controlerStateChanged(QAbstractSocket::SocketState, int)), this,
            SLOT(controlerStateChanged(QAbstractSocket::SocketState, int)));
    d->connectedLink = l;
}

void RoomFormV1::deactivate()
{
    closeDialogs();
    if (!d->active)
        return;
    d->active = false;
    if (QObject *l = d->connectedLink.data()) {
        disconnect(l, SIGNAL(ReadyUpdateControls(QList<SubsUpdate>, int)), this,
                   SLOT(ReadyUpdateControls(QList<SubsUpdate>, int)));
        disconnect(l, SIGNAL(ControlDataWriten(int)), this, SLOT(ControlDataWriten(int)));
        disconnect(l, SIGNAL(controlerStateChanged(QAbstractSocket::SocketState, int)), this,
                   SLOT(controlerStateChanged(QAbstractSocket::SocketState, int)));
        if (LinkCommands *commands = FormServices::linkCommands(l))
            commands->closeRoom();
    }
    d->connectedLink.clear();
}

void RoomFormV1::sendRoom()
{
    if (!d->room || !d->active)
        return;
    // The link works from a value copy: the records stay in this thread.
    if (LinkCommands *commands = linkCommands())
        commands->setRoom(makeRoomSnapshot(*d->room));
}

LinkCommands *RoomFormV1::linkCommands() const
{
    return FormServices::linkCommands(link());
}

void RoomFormV1::closeDialogs()
{
    if (d->saveDialog)
        d->saveDialog->hide();
    if (d->scenes->isDependencyMode() || d->selectedSwitch >= 0 || d->selectedSensor >= 0) {
        d->scenes->resetModes();
        EditDependance();
    }
}

void RoomFormV1::applyTexts()
{
    d->scenes->retranslate();
    d->toolbox->retranslate();
    if (d->saveDialog)
        d->saveDialog->retranslate();
}

// ---- widgets ----------------------------------------------------------------------------------

EBaseWidget *RoomFormV1::addRoomIcon(BaseRoomV1 *subRoom)
{
    ExtIconButton *icon = ExtWidgetFactory::createRoomIcon(subRoom, d->plan);
    if (!icon)
        return nullptr;
    d->widgets.insert(subRoom->runtimeId(), icon);
    connect(icon, &EBaseWidget::clicked, this, &RoomFormV1::RoomClick);
    connect(icon, &EBaseWidget::moveEmit, this, &RoomFormV1::moveRequest);
    connect(icon, &EBaseWidget::startDrag, this, &RoomFormV1::DragWidget);
    connect(icon, &EBaseWidget::endDrag, this, &RoomFormV1::EndDragWidget);
    return icon;
}

EBaseWidget *RoomFormV1::addControlWidget(BaseControlV1 *control)
{
    EBaseWidget *w = ExtWidgetFactory::createWidget(control, d->plan);
    if (!w)
        return nullptr;
    d->widgets.insert(control->runtimeId(), w);
    connect(w, &EBaseWidget::moveEmit, this, &RoomFormV1::moveRequest);
    connect(w, &EBaseWidget::startDrag, this, &RoomFormV1::DragWidget);
    connect(w, &EBaseWidget::endDrag, this, &RoomFormV1::EndDragWidget);
    switch (control->kind()) {
    case KindSwitch:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::SwitchClick);
        break;
    case KindSensor:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::SensorClick);
        break;
    case KindText:
    case KindDynText:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::TextClicked);
        break;
    case KindSystem:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::showSystem);
        break;
    case KindWeather:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::WeathrClick);
        break;
    case KindIpCam:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::IpcamClick);
        break;
    case KindAVCam:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::AvcamClick);
        break;
    case KindBool:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::BoolButtonClicked);
        break;
    case KindBtn:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::BtnButtonClicked);
        break;
    case KindByte:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::ByteControlClicked);
        connect(static_cast<ExtByteControl *>(w), &ExtByteControl::ValueChange, this,
                &RoomFormV1::ByteButtonValueChange);
        break;
    case KindHeat:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::HeatClick);
        connect(static_cast<ExtHeatWidget *>(w), &ExtHeatWidget::ValueChange, this,
                &RoomFormV1::HeatTemp);
        break;
    case KindLight:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::LightClick);
        connect(static_cast<ExtLightWidget *>(w), &ExtLightWidget::BrightnessChanged, this,
                &RoomFormV1::LightBrightChange);
        static_cast<ExtLightWidget *>(w)->setDependencyMode(d->scenes->isDependencyMode());
        break;
    case KindResbt:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::ByteButtonClicked);
        break;
    case KindTextWrite:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::TextWriteClick);
        connect(static_cast<ExtTextWriterWidget *>(w), &ExtTextWriterWidget::textChanged, this,
                &RoomFormV1::TextWriterChanged);
        break;
    case KindHSlider:
    case KindVSlider:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::ByteControlClicked);
        connect(static_cast<ExtSliderControl *>(w), &ExtSliderControl::valueChanged, this,
                &RoomFormV1::SliderValueChange);
        break;
    default:
        break;
    }
    return w;
}

void RoomFormV1::removeWidget(const QString &runtimeId)
{
    if (EBaseWidget *w = d->widgets.take(runtimeId))
        w->deleteLater();
}

void RoomFormV1::placeOverlays()
{
    // The scene bar fills the first column of the plan row; the toolbox sits in the last two
    // columns, from the title row on the home plan and from the plan row elsewhere.
    const QRectF plan = d->plan->geometry();
    const bool isMain = d->room && d->room->systemType() == BaseRoomV1::MainSystem;
    const qreal planRowTop = d->fullPlan ? kTitleRowTop + kTitleRowHeight : plan.top();
    d->scenes->setGeometry(QRectF(0, planRowTop, kSceneBarWidth, plan.bottom() - planRowTop));
    const qreal toolboxTop = isMain ? kTitleRowTop : planRowTop;
    d->toolbox->setPos(size().width() - kToolboxWidth, toolboxTop);
}

void RoomFormV1::placeWidgets()
{
    if (!d->room)
        return;
    const QSizeF size = ExtWidgetFactory::planSize(d->plan);
    for (auto it = d->widgets.cbegin(); it != d->widgets.cend(); ++it) {
        EBaseWidget *w = it.value();
        if (w->isDragActive())
            continue;
        if (BaseControlV1 *c = d->room->controlById(it.key())) {
            w->setPos(ExtWidgetFactory::toPixels(c->posX(), c->posY(), size));
        } else if (BaseRoomV1 *sub = subRoomOf(w)) {
            w->setPos(ExtWidgetFactory::toPixels(sub->posX(), sub->posY(), size));
        }
    }
}

BaseControlV1 *RoomFormV1::controlOf(QObject *sender, int *index) const
{
    if (index)
        *index = -1;
    if (!sender || !d->room)
        return nullptr;
    const QString id = sender->objectName();
    const int i = d->room->indexById(id);
    BaseControlV1 *c = d->room->controlAt(i);
    if (!c || c->isDeleted())
        return nullptr;
    if (index)
        *index = i;
    return c;
}

BaseRoomV1 *RoomFormV1::subRoomOf(QObject *sender) const
{
    if (!sender || !d->room)
        return nullptr;
    const QString id = sender->objectName();
    if (auto *main = dynamic_cast<MainStructV1 *>(d->room)) {
        for (FloorStructV1 *f : main->floors()) {
            if (f->runtimeId() == id)
                return f;
        }
    } else if (auto *floor = dynamic_cast<FloorStructV1 *>(d->room)) {
        for (RoomStructV1 *r : floor->rooms()) {
            if (r->runtimeId() == id)
                return r;
        }
    }
    return nullptr;
}

void RoomFormV1::refreshWidget(BaseControlV1 *control)
{
    EBaseWidget *w = d->widgets.value(control->runtimeId());
    if (!w)
        return;
    switch (control->kind()) {
    case KindLight: {
        auto *r = static_cast<LightControlV1 *>(control);
        auto *lamp = qobject_cast<ExtLightWidget *>(w);
        if (!lamp || r->isChanged())
            return;
        lamp->setImageName(r->lampState() != 0 ? r->imageOff() : r->imageOn());
        lamp->setBrightness(r->brightness());
        lamp->setSwitches(r->switch1(), r->switch2(), r->switch3());
        return;
    }
    case KindSwitch: {
        auto *r = static_cast<SwitchControlV1 *>(control);
        if (auto *sw = qobject_cast<ExtIconButton *>(w))
            sw->setImageName(r->switchMode() == 1 ? r->imageScene() : r->imageOn());
        return;
    }
    case KindSensor: {
        auto *r = static_cast<SensorControlV1 *>(control);
        auto *s = qobject_cast<ExtIconButton *>(w);
        if (!s)
            return;
        const int state = r->sensorState();
        s->setImageName(state == 0 ? r->imageOn() : state == 1 ? r->imageOff() : r->imageDis());
        return;
    }
    case KindHeat: {
        auto *r = static_cast<HeatControlV1 *>(control);
        auto *h = qobject_cast<ExtHeatWidget *>(w);
        if (h && !r->isChanged())
            h->setValues(r->temperature(), r->setPoint(), r->heatLevel());
        return;
    }
    case KindBool: {
        auto *r = static_cast<BoolControlV1 *>(control);
        auto *b = qobject_cast<ExtIconButton *>(w);
        if (!b || r->isChanged())
            return;
        b->setImageName(r->bitValue() ? r->imageOn() : r->imageOff());
        b->show();
        return;
    }
    case KindResbt: {
        auto *r = static_cast<ResbtControlV1 *>(control);
        if (auto *b = qobject_cast<ExtIconButton *>(w))
            b->setImageName(int(r->byteValue()) == r->val() ? r->imageOn() : r->imageOff());
        return;
    }
    case KindByte: {
        auto *r = static_cast<ByteControlV1 *>(control);
        auto *b = qobject_cast<ExtByteControl *>(w);
        if (b && !r->isChanged() && !b->isEntryOpen())
            b->setRawValue(r->value());
        return;
    }
    case KindHSlider:
    case KindVSlider: {
        auto *r = static_cast<SliderControlV1 *>(control);
        auto *s = qobject_cast<ExtSliderControl *>(w);
        if (s && !r->isChanged())
            s->setRawValue(r->value());
        return;
    }
    case KindDynText: {
        auto *r = static_cast<DynTextControlV1 *>(control);
        if (auto *t = qobject_cast<ExtTextWidget *>(w))
            t->setDisplayText(r->text());
        return;
    }
    default:
        return;
    }
}

void RoomFormV1::refreshWidgets()
{
    if (!d->room)
        return;
    for (BaseControlV1 *c : d->room->controls()) {
        if (!c->isDeleted())
            refreshWidget(c);
    }
}

void RoomFormV1::configureScenes()
{
    ExtScenesWidget *bar = d->scenes;
    BaseRoomV1 *room = d->room;
    if (!room || !room->showScenes()) {
        bar->hide();
        return;
    }
    const int type = room->systemType();
    const int kind = room->kind();
    RoomsV1 *rooms = FormServices::rooms();
    bool shown = true;
    if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoom) {
        bar->setScenesVisible(true);
        bar->setSaveVisible(true);
        bar->setDependencyVisible(true);
        bar->setSceneNames(room->scenes());
    } else if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoot) {
        bar->setScenesVisible(true);
        bar->setSaveVisible(false);
        bar->setDependencyVisible(false);
        bar->setSceneNames(room->scenes());
    } else if (type == BaseRoomV1::HeatSystem &&
               (kind == BaseRoomV1::KindRoot || kind == BaseRoomV1::KindFloor)) {
        bar->setScenesVisible(true);
        bar->setSaveVisible(true);
        bar->setDependencyVisible(false);
        BaseRoomV1 *root = kind == BaseRoomV1::KindRoot ? room : nullptr;
        if (!root && rooms)
            root = rooms->heatSystem();
        bar->setSceneNames(root ? root->scenes() : room->scenes());
    } else {
        shown = false;
    }
    bar->setVisible(shown);
}

// ---- answers from the controller ---------------------------------------------------------------

void RoomFormV1::ReadyUpdateControls(const QList<SubsUpdate> &answer, int offset)
{
    if (!d->room || !d->active)
        return;
    bool anyData = false;
    for (const SubsUpdate &block : answer)
        anyData = anyData || !block.data.isEmpty();
    // Commands whose confirmation never came (a lost write, a link that dropped it) must not
    // freeze their widget for good.
    for (auto it = d->pendingAge.begin(); it != d->pendingAge.end();) {
        if (++it.value() > kMaxPendingPolls) {
            d->room->markChanged(it.key(), false);
            it = d->pendingAge.erase(it);
        } else {
            ++it;
        }
    }
    if (!anyData)
        return;

    // Switch and sensor pictures come from the lamp records; a poll in which no lamp window was
    // read says nothing about them, so their last states are kept.
    QHash<BaseControlV1 *, int> switchModes;
    QHash<BaseControlV1 *, int> sensorStates;
    bool lampRead = false;
    for (BaseControlV1 *c : d->room->controls()) {
        if (c->kind() == KindSwitch) {
            switchModes.insert(c, static_cast<SwitchControlV1 *>(c)->switchMode());
        } else if (c->kind() == KindSensor) {
            sensorStates.insert(c, static_cast<SensorControlV1 *>(c)->sensorState());
        } else if (c->kind() == KindLight && !c->isDeleted() && !lampRead) {
            const int reg = static_cast<LightControlV1 *>(c)->firstRegister(offset);
            for (const SubsUpdate &block : answer) {
                if (!block.data.isEmpty() && reg >= block.start && reg < block.end)
                    lampRead = true;
            }
        }
    }
    d->room->applyAnswer(answer, offset);
    if (!lampRead) {
        for (auto it = switchModes.cbegin(); it != switchModes.cend(); ++it)
            static_cast<SwitchControlV1 *>(it.key())->setSwitchMode(it.value());
        for (auto it = sensorStates.cbegin(); it != sensorStates.cend(); ++it)
            static_cast<SensorControlV1 *>(it.key())->setSensorState(it.value());
    }
    refreshWidgets();
}

void RoomFormV1::ControlDataWriten(int index)
{
    if (!d->room)
        return;
    d->room->markChanged(index, false);
    d->pendingAge.remove(index);
}

void RoomFormV1::controlerStateChanged(QAbstractSocket::SocketState state, int ipadr)
{
    Q_UNUSED(state)
    Q_UNUSED(ipadr)
    if (!d->room)
        return;
    d->room->clearChanged();
    d->pendingAge.clear();
}

void RoomFormV1::markPending(int index)
{
    d->room->markChanged(index, true);
    d->pendingAge.insert(index, 0);
}

// ---- commands ---------------------------------------------------------------------------------

bool RoomFormV1::sendValue(void (LinkCommands::*command)(int, int), int value)
{
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    LinkCommands *commands = linkCommands();
    // A read-only control never writes, and nothing is marked pending that no write will clear.
    if (!c || c->isReadOnly() || !c->isControllerBound() || !commands)
        return false;
    emit ResetTimer();
    markPending(index);
    (commands->*command)(index, value);
    return true;
}

void RoomFormV1::HeatTemp(int value)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ChangeHeatTemp, value);
}

void RoomFormV1::LightBrightChange(int bright)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ChangeLightBright, bright);
}

void RoomFormV1::ByteButtonValueChange(int value)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ByteControlChange, value);
}

void RoomFormV1::SliderValueChange(int value)
{
    if (editClick(sender()))
        return;
    sendValue(&LinkCommands::ByteControlChange, value);
}

void RoomFormV1::TextWriterChanged()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    auto *w = qobject_cast<ExtTextWriterWidget *>(sender());
    if (!c || !w || c->kind() != KindTextWrite || c->isReadOnly())
        return;
    emit ResetTimer();
    if (LinkCommands *commands = linkCommands())
        commands->TextWriteControlChange(index, w->currentText());
}

void RoomFormV1::BoolButtonClicked()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    LinkCommands *commands = linkCommands();
    if (!c || c->kind() != KindBool || c->isReadOnly() || !commands)
        return;
    emit ResetTimer();
    markPending(index);
    commands->BoolClick(index);
}

void RoomFormV1::BtnButtonClicked()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    if (!c || c->kind() != KindBtn || c->isReadOnly())
        return;
    emit ResetTimer();
    if (LinkCommands *commands = linkCommands())
        commands->BoolButton1Click(index);
}

void RoomFormV1::ByteButtonClicked()
{
    if (editClick(sender()))
        return;
    int index = -1;
    BaseControlV1 *c = controlOf(sender(), &index);
    if (!c || c->kind() != KindResbt || c->isReadOnly())
        return;
    emit ResetTimer();
    if (LinkCommands *commands = linkCommands())
        commands->ByteControlValClick(index);
}

void RoomFormV1::ByteControlClicked()
{
    editClick(sender());
}

void RoomFormV1::TextClicked()
{
    editClick(sender());
}

void RoomFormV1::IpcamClick()
{
    editClick(sender());
}

void RoomFormV1::AvcamClick()
{
    editClick(sender());
}

void RoomFormV1::HeatClick()
{
    editClick(sender());
}

void RoomFormV1::WeathrClick()
{
    editClick(sender());
}

void RoomFormV1::TextWriteClick()
{
    editClick(sender());
}

void RoomFormV1::HSliderClick()
{
    editClick(sender());
}

void RoomFormV1::VSliderClick()
{
    editClick(sender());
}

void RoomFormV1::RoomClick()
{
    if (editClick(sender()) || !d->room)
        return;
    QObject *icon = sender();
    if (!icon)
        return;
    emit ResetTimer();
    emit gotoRoom(d->room->systemType(), icon->property("roomName").toString());
}

void RoomFormV1::showSystem()
{
    if (editClick(sender()))
        return;
    auto *system = dynamic_cast<SystemControlV1 *>(controlOf(sender()));
    if (!system)
        return;
    emit ResetTimer();
    emit gotoSystem(system->systType(), system->fileName());
}

bool RoomFormV1::editClick(QObject *sender)
{
    Q_UNUSED(sender)
    return false;
}

// ---- association mode ---------------------------------------------------------------------------

void RoomFormV1::clearMarks()
{
    for (EBaseWidget *w : qAsConst(d->widgets)) {
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            lamp->setMarked(false);
        else if (auto *icon = qobject_cast<ExtIconButton *>(w))
            icon->setMarked(false);
    }
}

void RoomFormV1::markSelection(QList<BaseControlV1 *> controls)
{
    for (BaseControlV1 *c : controls) {
        if (!c || c->isDeleted())
            continue;
        EBaseWidget *w = d->widgets.value(c->runtimeId());
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            lamp->setMarked(true);
        else if (auto *icon = qobject_cast<ExtIconButton *>(w))
            icon->setMarked(true);
    }
}

void RoomFormV1::EditDependance()
{
    d->selectedSwitch = -1;
    d->selectedSensor = -1;
    clearMarks();
    const bool on = d->scenes->isDependencyMode();
    for (EBaseWidget *w : qAsConst(d->widgets)) {
        if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
            lamp->setDependencyMode(on);
    }
    update();
}

void RoomFormV1::LightClick()
{
    if (editClick(sender()))
        return;
    int index = -1;
    auto *lamp = dynamic_cast<LightControlV1 *>(controlOf(sender(), &index));
    auto *w = qobject_cast<ExtLightWidget *>(sender());
    if (!lamp || !w)
        return;
    emit ResetTimer();
    const bool dependency = d->scenes->isDependencyMode();
    const bool switchChange = d->scenes->isSwitchChangeMode();
    if (switchChange)
        return;
    if (!dependency) {
        clearMarks();
        if (LinkCommands *commands = linkCommands()) {
            if (lamp->lampState() != 0)
                commands->EnableLight(index);
            else
                commands->DisableLight(index);
        }
        QList<BaseControlV1 *> bound;
        for (int number : {int(lamp->switch1()), int(lamp->switch2()), int(lamp->switch3())}) {
            if (number != 0)
                bound << d->room->switchByNumber(number);
        }
        if (lamp->sensorNumber() != 0)
            bound << d->room->sensorByNumber(lamp->sensorNumber());
        markSelection(bound);
        return;
    }
    if (d->selectedSwitch >= 0) {
        const int sw = d->selectedSwitch;
        if (w->isMarked()) {
            w->setMarked(false);
            if (LinkCommands *commands = linkCommands())
                commands->DelSwitchFromLamp(index, sw);
        } else {
            // The controller keeps three switch slots per lamp: with all of them taken by other
            // switches the bind cannot happen, so the lamp must not look bound.
            const int taken[3] = {lamp->switch1(), lamp->switch2(), lamp->switch3()};
            bool possible = false;
            for (int s : taken)
                possible = possible || s == 0 || s == (sw & 0xFF);
            if (possible) {
                w->setMarked(true);
                if (LinkCommands *commands = linkCommands())
                    commands->AddSwitchToLamp(index, sw);
            }
        }
    }
    if (d->selectedSensor >= 0) {
        if (w->isMarked()) {
            w->setMarked(false);
            if (LinkCommands *commands = linkCommands())
                commands->SetSensorToLight(index, 0);
        } else {
            w->setMarked(true);
            if (LinkCommands *commands = linkCommands())
                commands->SetSensorToLight(index, d->selectedSensor);
        }
    }
}

void RoomFormV1::SwitchClick()
{
    if (editClick(sender()))
        return;
    auto *sw = dynamic_cast<SwitchControlV1 *>(controlOf(sender()));
    if (!sw)
        return;
    emit ResetTimer();
    const bool dependency = d->scenes->isDependencyMode();
    const bool switchChange = d->scenes->isSwitchChangeMode();
    if (!dependency) {
        clearMarks();
        if (sw->switchMode() != 0)
            runScene(sw->sceneNumber());
        else if (LinkCommands *commands = linkCommands())
            commands->SwitchLightClick(sw->swcNumber());
        return;
    }
    if (switchChange) {
        // The switch-type dialog belongs to the editing tools; without it nothing changes.
        return;
    }
    if (sw->switchMode() != 0)
        return;
    clearMarks();
    d->selectedSensor = -1;
    d->selectedSwitch = sw->swcNumber();
    QList<BaseControlV1 *> marked{sw};
    for (LightControlV1 *lamp : d->room->lampsOfSwitch(sw->swcNumber()))
        marked << lamp;
    markSelection(marked);
}

void RoomFormV1::SensorClick()
{
    if (editClick(sender()))
        return;
    auto *sensor = dynamic_cast<SensorControlV1 *>(controlOf(sender()));
    if (!sensor)
        return;
    emit ResetTimer();
    clearMarks();
    d->selectedSwitch = -1;
    if (!d->scenes->isDependencyMode()) {
        if (LinkCommands *commands = linkCommands())
            commands->SensorClick(sensor->snrNumber());
        return;
    }
    if (d->scenes->isSwitchChangeMode())
        return;
    d->selectedSensor = sensor->snrNumber();
    QList<BaseControlV1 *> marked{sensor};
    for (LightControlV1 *lamp : d->room->lampsOfSensor(sensor->snrNumber()))
        marked << lamp;
    markSelection(marked);
}

void RoomFormV1::SwitchSave()
{
    // The switch-type dialog comes with the editing tools.
}

void RoomFormV1::SwitchClose() {}

// ---- scene bar --------------------------------------------------------------------------------

void RoomFormV1::runScene(int number)
{
    if (!d->room || number < 1 || number > 4)
        return;
    using RoomScene = void (LinkCommands::*)(int);
    using GlobalScene = void (LinkCommands::*)();
    static constexpr RoomScene roomScenes[] = {
        &LinkCommands::Miniscene1InRoom, &LinkCommands::Miniscene2InRoom,
        &LinkCommands::Miniscene3InRoom, &LinkCommands::Miniscene4InRoom};
    static constexpr GlobalScene lightScenes[] = {
        &LinkCommands::GlobalScene1Activate, &LinkCommands::GlobalScene2Activate,
        &LinkCommands::GlobalScene3Activate, &LinkCommands::GlobalScene4Activate};
    static constexpr GlobalScene heatScenes[] = {
        &LinkCommands::GlobalHeatScene1Activate, &LinkCommands::GlobalHeatScene2Activate,
        &LinkCommands::GlobalHeatScene3Activate, &LinkCommands::GlobalHeatScene4Activate};
    const int type = d->room->systemType();
    const int kind = d->room->kind();
    emit ResetTimer();
    LinkCommands *commands = linkCommands();
    if (!commands)
        return;
    if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoom)
        (commands->*roomScenes[number - 1])(d->room->pageNumber());
    else if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoot)
        (commands->*lightScenes[number - 1])();
    else if (type == BaseRoomV1::HeatSystem &&
             (kind == BaseRoomV1::KindRoot || kind == BaseRoomV1::KindFloor))
        (commands->*heatScenes[number - 1])();
}

void RoomFormV1::GlobalScene1()
{
    runScene(1);
}

void RoomFormV1::GlobalScene2()
{
    runScene(2);
}

void RoomFormV1::GlobalScene3()
{
    runScene(3);
}

void RoomFormV1::GlobalScene4()
{
    runScene(4);
}

void RoomFormV1::GlobalAllOn()
{
    switchAll(true);
}

void RoomFormV1::GlobalAllOff()
{
    switchAll(false);
}

void RoomFormV1::switchAll(bool on)
{
    if (!d->room)
        return;
    const int type = d->room->systemType();
    const int kind = d->room->kind();
    emit ResetTimer();
    LinkCommands *commands = linkCommands();
    if (!commands)
        return;
    if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoom) {
        if (on)
            commands->LightOnInRoom(d->room->pageNumber());
        else
            commands->LightOffInRoom(d->room->pageNumber());
    } else if (type == BaseRoomV1::LightSystem && kind == BaseRoomV1::KindRoot) {
        if (on)
            commands->GlobalOnActivate();
        else
            commands->GlobalOffActivate();
    } else if (type == BaseRoomV1::HeatSystem &&
               (kind == BaseRoomV1::KindRoot || kind == BaseRoomV1::KindFloor)) {
        if (on)
            commands->GlobalHeatOnActivate();
        else
            commands->GlobalHeatOffActivate();
    }
}

// The floor-heating commands are not part of the controller's command set; the toggle that would
// call them is never offered, and these slots only keep the screen's interface whole.
void RoomFormV1::AllHeatOnOff()
{
    qCWarning(lcRoom) << "floor heating toggle has no controller command";
}

void RoomFormV1::AllHeatFloorOn()
{
    AllHeatOnOff();
}

void RoomFormV1::AllHeatFloorOff()
{
    AllHeatOnOff();
}

void RoomFormV1::SceneSave()
{
    if (!d->room)
        return;
    emit ResetTimer();
    if (!d->saveDialog) {
        d->saveDialog = new SaveSceneDialog(this);
        d->saveDialog->setZValue(10);
        connect(d->saveDialog, &SaveSceneDialog::SaveClicked, this, &RoomFormV1::DialogSaveOK);
        connect(d->saveDialog, &SaveSceneDialog::CloseClicked, this, &RoomFormV1::DialogDontSave);
    }
    BaseRoomV1 *root = nullptr;
    if (RoomsV1 *rooms = FormServices::rooms()) {
        if (d->room->systemType() == BaseRoomV1::LightSystem)
            root = rooms->lightSystem();
        else if (d->room->systemType() == BaseRoomV1::HeatSystem)
            root = rooms->heatSystem();
    }
    if (!root && d->room->kind() == BaseRoomV1::KindRoot)
        root = d->room;
    d->saveDialog->retranslate();
    d->saveDialog->init(d->room, root);
    d->saveDialog->setGeometry(QRectF(QPointF(0, 0), size()));
    d->saveDialog->show();
}

void RoomFormV1::DialogSaveOK()
{
    if (!d->room || !d->saveDialog)
        return;
    const int g = d->saveDialog->globalScene();
    const int m = d->saveDialog->miniScene();
    LinkCommands *commands = linkCommands();
    if (commands && d->room->systemType() == BaseRoomV1::LightSystem) {
        if (m >= 1)
            commands->SaveGlobalMiniLight(g, m, d->room->pageNumber());
    } else if (commands && d->room->systemType() == BaseRoomV1::HeatSystem) {
        if (g >= 1)
            commands->FloorHeatSave(g);
    }
    DialogDontSave();
}

void RoomFormV1::DialogDontSave()
{
    if (d->room)
        d->room->setModified(true);
    configureScenes();
    if (d->saveDialog)
        d->saveDialog->hide();
}

// ---- dragging ---------------------------------------------------------------------------------

void RoomFormV1::moveRequest()
{
    auto *w = qobject_cast<EBaseWidget *>(sender());
    if (w && showSettingsOn())
        w->armDrag(true);
}

void RoomFormV1::DragWidget()
{
    emit ResetTimer();
    d->toolbox->setStatusText(FormServices::text(kTextMoveMode));
}

void RoomFormV1::EndDragWidget()
{
    emit ResetTimer();
    auto *w = qobject_cast<EBaseWidget *>(sender());
    if (w && d->room) {
        const QPointF pct =
            ExtWidgetFactory::toPercent(w->pos(), ExtWidgetFactory::planSize(d->plan));
        // Marked when the drag ends, with the new place stored: the page is written once per
        // drag, and never with the place it had before.
        if (BaseControlV1 *c = d->room->controlById(w->objectName())) {
            c->setPosX(pct.x());
            c->setPosY(pct.y());
            d->room->setModified(true);
        } else if (BaseRoomV1 *sub = subRoomOf(w)) {
            sub->setPosX(pct.x());
            sub->setPosY(pct.y());
            d->room->setModified(true);
        }
    }
    d->toolbox->resetStatusText();
    update();
}
