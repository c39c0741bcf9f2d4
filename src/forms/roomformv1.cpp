// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "roomformv1.h"

#include "adminaccess.h"
#include "roomformv1_p.h"

#include "controlconstants.h"
#include "controlerdata.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "exticonbutton.h"
#include "extlightwidget.h"
#include "extsceneswidget.h"
#include "exttextwriterwidget.h"
#include "exttoolboxwidget.h"
#include "extwidgetfactory.h"
#include "extwidgetkinds.h"
#include "floorstructv1.h"
#include "formservices.h"
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
#include "switchcontrolv1.h"
#include "systemcontrolv1.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>
#include <QLoggingCategory>
#include <QPointer>

Q_LOGGING_CATEGORY(lcRoom, "verandix.forms.room", QtWarningMsg)

namespace {
constexpr int kTextPackagesOnly = 61575;
} // namespace

using namespace ControlConstants;
using namespace RoomFormV1Layout;

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
    d->toolbox->setProperty(floatingProperty(), true);

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
    d->toolbox->setVisible(editingOn());

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
    if (auto *root = dynamic_cast<MainStructV1 *>(room); root && !root->packagesOnly().isEmpty()) {
        // Packages are the demo's way of shipping a home; a folder of them opens to this note.
        showLoadProblem(FormServices::text(kTextPackagesOnly)
                            .arg(root->packagesOnly().join(QStringLiteral(", ")),
                                 QDir::toNativeSeparators(ECoreApp::instance()->workingFolder())));
    } else if (root && !root->problemFile().isEmpty()) {
        // An unreadable file leaves an empty page: it says why and what to do, instead of
        // showing nothing at all.
        const QString where =
            root->problemLine() > 0
                ? QStringLiteral("%1, line %2").arg(root->problemFile()).arg(root->problemLine())
                : root->problemFile();
        const QString folder = QDir::toNativeSeparators(ECoreApp::instance()->workingFolder());
        showLoadProblem(
            QStringLiteral("%1: %2.\nCorrect the file in %3 (or put back a saved copy of it) "
                           "and start the program again.")
                .arg(where, root->problemText(), folder));
        applyProblemTexts();
    }

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

bool RoomFormV1::canBeEdited() const
{
    // Only roots are read from files; a root without a file name was not read, and its (empty)
    // tree is never written.
    const auto *root = dynamic_cast<const MainStructV1 *>(d->room);
    return d->room && !(root && root->fileName().isEmpty());
}

bool RoomFormV1::editingOn() const
{
    return showSettingsOn() && canBeEdited();
}

QRectF RoomFormV1::visibleArea() const
{
    const QRectF all(QPointF(0, 0), size());
    return d->visibleArea.isEmpty() ? all : d->visibleArea.intersected(all);
}

void RoomFormV1::setVisibleArea(const QRectF &area)
{
    if (area == d->visibleArea)
        return;
    d->visibleArea = area;
    placeOverlays();
    visibleAreaChanged();
}

void RoomFormV1::visibleAreaChanged() {}

QSizeF RoomFormV1::floatingToolsRoom() const
{
    return editingOn() ? QSizeF(kToolboxWidth, 0) : QSizeF();
}

void RoomFormV1::showNotice(const QString &text)
{
    if (!d->notice) {
        d->notice = new ELabelWidget(this);
        d->notice->setObjectName(QStringLiteral("notice"));
        d->notice->setWordWrap(true);
        d->notice->setAlignment(Qt::AlignCenter);
        d->notice->setFont(ECoreApp::instance()->font(0));
        d->notice->setColortext(Qt::white);
        d->notice->setColorbackground(QColor(0x30, 0x30, 0x30, 230));
        d->notice->setZValue(4);
    }
    d->notice->setLabelT(text);
    d->notice->show();
    placeOverlays();
}

QString RoomFormV1::noticeText() const
{
    return d->notice && d->notice->isVisible() ? d->notice->labelT() : QString();
}

void RoomFormV1::hideNotice()
{
    if (d->notice)
        d->notice->hide();
}

void RoomFormV1::applyProblemTexts()
{
    if (!d->problem)
        return;
    // The reason the edit tools are missing, for whoever came to change this page.
    const QString text = d->problem->labelT();
    const QString off = FormServices::text(kTextEditingOff);
    const int cut = text.indexOf(QLatin1String("\n\n"));
    d->problem->setLabelT((cut >= 0 ? text.left(cut) : text) + QStringLiteral("\n\n") + off);
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
    hideNotice();
    deactivate();
}

void RoomFormV1::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    hideNotice();
    BaseForm::mousePressEvent(event);
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
    applyProblemTexts();
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
    // The widget's kind entry says what a click and a value set on it ask for; the screen keeps
    // one reaction per request.
    const ExtWidgetKind *kind = ExtWidgetKinds::byKind(control->kind());
    const ExtClickAction click = kind ? kind->click : ExtClickAction::None;
    switch (click) {
    case ExtClickAction::Lamp:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::LightClick);
        break;
    case ExtClickAction::WallSwitch:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::SwitchClick);
        break;
    case ExtClickAction::Sensor:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::SensorClick);
        break;
    case ExtClickAction::ToggleBit:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::BoolButtonClicked);
        break;
    case ExtClickAction::PressBit:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::BtnButtonClicked);
        break;
    case ExtClickAction::WriteByte:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::ByteButtonClicked);
        break;
    case ExtClickAction::OpenLink:
        connect(w, &EBaseWidget::clicked, this, &RoomFormV1::showSystem);
        break;
    case ExtClickAction::None:
        // Only the edit tools use the click; the widget is the sender there as well.
        connect(w, &EBaseWidget::clicked, this, [this] { editClick(sender()); });
        break;
    }
    if (kind && kind->connectValue) {
        const ExtValueAction action = kind->value;
        kind->connectValue(w, this, [this, action](int value) {
            switch (action) {
            case ExtValueAction::Value:
                ByteButtonValueChange(value);
                break;
            case ExtValueAction::SetPoint:
                HeatTemp(value);
                break;
            case ExtValueAction::Brightness:
                LightBrightChange(value);
                break;
            case ExtValueAction::Text:
                TextWriterChanged();
                break;
            case ExtValueAction::None:
                break;
            }
        });
    }
    if (auto *lamp = qobject_cast<ExtLightWidget *>(w))
        lamp->setDependencyMode(d->scenes->isDependencyMode());
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
    // On a screen that scrolls the toolbox keeps to the right edge of the part in view, and
    // comes down with it when the title row has scrolled away.
    const QRectF view = visibleArea();
    d->toolbox->setPos(view.right() - kToolboxWidth, qMax(toolboxTop, view.top()));
    if (d->notice) {
        const qreal width = qMin<qreal>(560, view.width() - 40);
        d->notice->setGeometry(
            QRectF(view.center().x() - width / 2, view.bottom() - 120, width, 70));
    }
    if (d->problem) {
        // In the middle of the part of the plan in view, where the person looks.
        const QRectF seen = plan.intersected(view).isEmpty() ? plan : plan.intersected(view);
        const qreal width = qMin<qreal>(640, seen.width() - 40);
        d->problem->setGeometry(
            QRectF(seen.center().x() - width / 2, seen.center().y() - 100, width, 200));
    }
}

void RoomFormV1::showLoadProblem(const QString &text)
{
    d->problem = new ELabelWidget(this);
    d->problem->setObjectName(QStringLiteral("loadProblem"));
    d->problem->setWordWrap(true);
    d->problem->setAlignment(Qt::AlignCenter);
    d->problem->setFont(ECoreApp::instance()->font(0));
    d->problem->setColortext(QColor(0x90, 0x10, 0x10));
    d->problem->setColorbackground(QColor(255, 255, 255, 230));
    d->problem->setZValue(3);
    d->problem->setLabelT(text);
}

QString RoomFormV1::loadProblemText() const
{
    return d->problem ? d->problem->labelT() : QString();
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
        ExtWidgetFactory::fitCaption(w, size);
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

// ---- navigation ------------------------------------------------------------------------------

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
    // A subsystem button without a file would open whichever page happens to match nothing.
    if (system->systType() == RoomConstantsV1::FormSubsystem &&
        system->fileName().trimmed().isEmpty()) {
        showNotice(FormServices::text(kTextNoTarget));
        return;
    }
    emit gotoSystem(system->systType(), system->fileName());
}

bool RoomFormV1::editClick(QObject *sender)
{
    Q_UNUSED(sender)
    return false;
}

// ---- dragging ---------------------------------------------------------------------------------

void RoomFormV1::moveRequest()
{
    auto *w = qobject_cast<EBaseWidget *>(sender());
    // Moving a control is an edit like any other: a locked panel keeps it in place.
    if (w && editingOn() && AdminAccess::isUnlocked()) {
        // A control dragged off its plan would be stored outside 0..100 % and land somewhere
        // else, or nowhere, on another screen size: it stays on the plan.
        w->setDragBounds(QRectF(QPointF(0, 0), ExtWidgetFactory::planSize(d->plan)));
        w->armDrag(true);
    }
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
