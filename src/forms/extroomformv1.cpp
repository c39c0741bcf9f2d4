// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// The room screen's editing tools: palette, properties, switch types, deleting, dragging and the
// edit history they share. A little over 700 lines, kept together because every edit records
// its undo through the same helpers.
#include "extroomformv1.h"

#include "adminaccess.h"

#include "basecontrolv1.h"
#include "controlkinds.h"
#include "ebasewidget.h"
#include "ecoreapp.h"
#include "edithistory.h"
#include "editorkinds.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "erectwidget.h"
#include "extsceneswidget.h"
#include "exttoolboxwidget.h"
#include "exttoolwidget.h"
#include "extwidgetfactory.h"
#include "floorstructv1.h"
#include "formservices.h"
#include "lightcontrolv1.h"
#include "linkcommands.h"
#include "mainstructv1.h"
#include "roomstructv1.h"
#include "roomsv1.h"
#include "switchcontrolv1.h"
#include "switchtypedialog.h"
#include "uniaddcontrols.h"
#include "unisettings.h"

#include <QDir>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

namespace {
constexpr int kTextAdding = 61100;
constexpr int kTextDeleting = 61101;
constexpr int kTextProperties = 61102;
constexpr int kTextSceneWord = 61192;
constexpr int kTextYes = 61060;
constexpr int kTextNo = 61061;
constexpr int kTextDeleteFloor = 61524;
constexpr int kTextDeleteRoom = 61525;
constexpr int kAddLevel = 7;
// A new element lands with its top-left corner this far up and left of the press, so that the
// finger ends up over its middle.
constexpr qreal kAddOffset = 32;
// The undo and redo arrows: 48 high, 8 above the bottom edge.
constexpr qreal kArrowsRoom = 64;

// Pictures for a new control. The demo home uses the bare file names; elsewhere a new record
// keeps its default "img/" path unless that file is missing from the working folder and the bare
// name is there (a configuration made from the demo home), so that it does not show as missing.
void applyImages(BaseControlV1 *control, bool demo, const QString &folder)
{
    const auto pick = [demo, &folder](const QString &current, const QString &name) {
        if (demo)
            return name;
        const QDir dir(folder);
        if (folder.isEmpty() || dir.exists(current) || !dir.exists(name))
            return current;
        return name;
    };
    // The default pictures live in the "img/" folder under their bare file names.
    const QString folderPrefix = QStringLiteral("img/");
    const ControlKind *kind = ControlKinds::byKind(control->kind());
    if (!kind)
        return;
    for (const ControlAttribute &attribute : kind->attributes) {
        const QString defaultName = attribute.defaultValue.toString();
        if (!attribute.isImage() || !defaultName.startsWith(folderPrefix))
            continue;
        const QString bare = defaultName.mid(folderPrefix.size());
        attribute.assign(*control, pick(attribute.value(*control).toString(), bare));
    }
}
} // namespace

ExtRoomFormV1::ExtRoomFormV1(BaseRoomV1 *room, QGraphicsItem *parent) : RoomFormV1(room, parent)
{
    connect(toolbox(), &ExtToolboxWidget::addElementClicked, this, &ExtRoomFormV1::AddButton);
    connect(toolbox(), &ExtToolboxWidget::delElementClicked, this, &ExtRoomFormV1::DelButton);
    connect(toolbox(), &ExtToolboxWidget::prefElementClicked, this, &ExtRoomFormV1::ShowSettings);
    m_history = new EditHistory(this);
    connect(m_history, &EditHistory::changed, this, &ExtRoomFormV1::updateHistoryButtons);
    m_undoButton = new EIconWidget(this);
    m_undoButton->setObjectName(QStringLiteral("undoButton"));
    m_undoButton->setImageSource(QStringLiteral(":/resources/left_arrow.png"));
    m_redoButton = new EIconWidget(this);
    m_redoButton->setObjectName(QStringLiteral("redoButton"));
    m_redoButton->setImageSource(QStringLiteral(":/resources/right_arrow.png"));
    for (EIconWidget *b : {m_undoButton, m_redoButton}) {
        b->setFrameVisible(true);
        b->resize(48, 48);
        b->setZValue(5);
        b->setProperty(floatingProperty(), true);
    }
    connect(m_undoButton, &EBaseWidget::clicked, this, &ExtRoomFormV1::undoEdit);
    connect(m_redoButton, &EBaseWidget::clicked, this, &ExtRoomFormV1::redoEdit);
    // Locked again after the idle time: an armed edit and an open editor end with it.
    connect(AdminAccess::events(), &AdminAccess::Events::relocked, this, [this] {
        closeDialogs();
        endAction();
    });
    setFlag(QGraphicsItem::ItemIsFocusable, true);
    updateHistoryButtons();
    if (this->room()) {
        for (BaseControlV1 *c : this->room()->controls())
            hookWidget(c->runtimeId());
        if (auto *root = dynamic_cast<MainStructV1 *>(this->room())) {
            for (FloorStructV1 *floor : root->floors())
                hookWidget(floor->runtimeId());
        } else if (auto *floor = dynamic_cast<FloorStructV1 *>(this->room())) {
            for (RoomStructV1 *r : floor->rooms())
                hookWidget(r->runtimeId());
        }
    }
}

QPointF ExtRoomFormV1::positionOf(const QString &runtimeId) const
{
    if (!room())
        return QPointF();
    if (BaseControlV1 *c = room()->controlById(runtimeId))
        return QPointF(c->posX(), c->posY());
    if (BaseRoomV1 *sub = RoomsV1::fromCore() ? RoomsV1::fromCore()->pageById(runtimeId) : nullptr)
        return QPointF(sub->posX(), sub->posY());
    return QPointF();
}

void ExtRoomFormV1::setPositionOf(const QString &runtimeId, const QPointF &pos)
{
    if (!room())
        return;
    if (BaseControlV1 *c = room()->controlById(runtimeId)) {
        c->setPosX(pos.x());
        c->setPosY(pos.y());
    } else if (BaseRoomV1 *sub =
                   RoomsV1::fromCore() ? RoomsV1::fromCore()->pageById(runtimeId) : nullptr) {
        sub->setPosX(pos.x());
        sub->setPosY(pos.y());
    }
    placeWidgets();
}

void ExtRoomFormV1::hookWidget(const QString &runtimeId)
{
    EBaseWidget *w = widgetById(runtimeId);
    if (!w)
        return;
    // The press that may become a drag: the position and flag before anything moved.
    connect(w, &EBaseWidget::moveEmit, this, [this, runtimeId] {
        if (room())
            m_dragStart.insert(runtimeId, {positionOf(runtimeId), room()->isModified()});
    });
    // Connected after the screen's own handler, which has stored the new position by now.
    connect(w, &EBaseWidget::endDrag, this, [this, runtimeId] {
        if (!m_dragStart.contains(runtimeId))
            return;
        const DragStart start = m_dragStart.take(runtimeId);
        const QPointF to = positionOf(runtimeId);
        if (to == start.pos)
            return;
        const QPointF from = start.pos;
        recordEdit(
            QStringLiteral("move"), start.wasModified,
            [this, runtimeId, from] { setPositionOf(runtimeId, from); },
            [this, runtimeId, to] { setPositionOf(runtimeId, to); });
    });
}

ExtRoomFormV1::~ExtRoomFormV1() = default;

void ExtRoomFormV1::recordEdit(const QString &text, bool wasModified, std::function<void()> undo,
                               std::function<void()> redo)
{
    // Pages are written while the person works: once the edit is in the file, undoing it leaves
    // the file behind again, whatever the flag was before the edit.
    const quint64 writesBefore = BaseRoomV1::writeCount();
    m_history->record(
        text,
        [this, wasModified, writesBefore, undo] {
            closeDialogs();
            endAction();
            undo();
            if (BaseRoomV1 *page = room())
                page->setModified(wasModified || BaseRoomV1::writeCount() != writesBefore);
            sendRoom();
        },
        [this, redo] {
            closeDialogs();
            endAction();
            redo();
            if (BaseRoomV1 *page = room())
                page->setModified(true);
            sendRoom();
        });
}

void ExtRoomFormV1::rebuildWidget(const QString &runtimeId)
{
    BaseControlV1 *c = room() ? room()->controlById(runtimeId) : nullptr;
    if (!c)
        return;
    removeWidget(runtimeId);
    if (!c->isDeleted()) {
        addControlWidget(c);
        refreshWidget(c);
        hookWidget(runtimeId);
    }
}

void ExtRoomFormV1::rebuildRoomIcon(BaseRoomV1 *subPage)
{
    removeWidget(subPage->runtimeId());
    if (!subPage->isDeleted()) {
        addRoomIcon(subPage);
        hookWidget(subPage->runtimeId());
    }
}

void ExtRoomFormV1::undoEdit()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { undoEdit(); });
        return;
    }
    m_history->undo();
}

void ExtRoomFormV1::redoEdit()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { redoEdit(); });
        return;
    }
    m_history->redo();
}

void ExtRoomFormV1::updateHistoryButtons()
{
    const bool editing = editingOn();
    m_undoButton->setVisible(editing);
    m_redoButton->setVisible(editing);
    m_undoButton->setEnabled(m_history->canUndo());
    m_redoButton->setEnabled(m_history->canRedo());
}

void ExtRoomFormV1::resizeEvent(QGraphicsSceneResizeEvent *event)
{
    RoomFormV1::resizeEvent(event);
    placeEditTools();
}

void ExtRoomFormV1::visibleAreaChanged()
{
    placeEditTools();
}

QSizeF ExtRoomFormV1::floatingToolsRoom() const
{
    // The undo and redo arrows sit at the bottom of the part in view.
    const QSizeF room = RoomFormV1::floatingToolsRoom();
    return room.width() > 0 ? QSizeF(room.width(), kArrowsRoom) : room;
}

void ExtRoomFormV1::placeEditTools()
{
    // Under the toolbox, at the right edge of the part in view.
    const QRectF view = visibleArea();
    const qreal right = view.right() - 8;
    const qreal top = view.bottom() - 56;
    m_redoButton->setPos(right - 48, top);
    m_undoButton->setPos(right - 100, top);
    // Dialogs cover the part in view, not the whole screen: on a screen that scrolls, a dialog
    // as large as the screen had its buttons out of sight.
    if (m_settings && m_settings->isVisible())
        m_settings->setGeometry(view);
    if (m_switchDialog && m_switchDialog->isVisible())
        m_switchDialog->setGeometry(view);
    if (m_palette)
        m_palette->setPos(view.center().x() - UniAddControls::kWidth / 2,
                          view.center().y() - UniAddControls::kHeight / 2);
    if (m_deletePanel && m_deletePanel->isVisible())
        m_deletePanel->setPos(view.center().x() - m_deletePanel->size().width() / 2,
                              view.center().y() - m_deletePanel->size().height() / 2);
}

void ExtRoomFormV1::showEvent(QShowEvent *event)
{
    RoomFormV1::showEvent(event);
    updateHistoryButtons();
}

void ExtRoomFormV1::hideEvent(QHideEvent *event)
{
    RoomFormV1::hideEvent(event);
    // An armed add, delete or properties action belongs to the visit it was armed in: coming
    // back, the next tap on a lamp must switch it, not delete it.
    endAction();
}

void ExtRoomFormV1::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (event->key() == Qt::Key_Z && (mods & Qt::ControlModifier) && editingOn()) {
        if (mods & Qt::ShiftModifier)
            redoEdit();
        else
            undoEdit();
        event->accept();
        return;
    }
    RoomFormV1::keyPressEvent(event);
}

void ExtRoomFormV1::armAdd(int code)
{
    closeDialogs();
    m_action = ActionAdd;
    m_addCode = code;
    toolbox()->setStatusText(FormServices::text(kTextAdding));
}

void ExtRoomFormV1::endAction()
{
    m_action = ActionNone;
    m_addCode = 0;
    toolbox()->resetStatusText();
}

void ExtRoomFormV1::AddButton()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { AddButton(); });
        return;
    }
    closeDialogs();
    endAction();
    BaseRoomV1 *page = room();
    if (!page)
        return;
    // Made afresh each time: the palette holds nothing but its buttons.
    m_palette = new UniAddControls(this);
    m_palette->setObjectName(QStringLiteral("addPalette"));
    m_palette->setZValue(10);
    m_palette->setPageContext(page->kind(), page->systemType());
    const QRectF view = visibleArea();
    m_palette->setPos(view.center().x() - UniAddControls::kWidth / 2,
                      view.center().y() - UniAddControls::kHeight / 2);
    connect(m_palette, &UniAddControls::CloseClicked, this, &ExtRoomFormV1::closeCntClick);
    connect(m_palette, &UniAddControls::addSystemClicked, this, &ExtRoomFormV1::AddSystButton);
    connect(m_palette, &UniAddControls::firstClick, this, &ExtRoomFormV1::firstAddControl);
    connect(m_palette, &UniAddControls::lightClick, this, &ExtRoomFormV1::lightAddClick);
    connect(m_palette, &UniAddControls::switchClick, this, &ExtRoomFormV1::switchAddClick);
    connect(m_palette, &UniAddControls::sensorClick, this, &ExtRoomFormV1::sensorAddClick);
    connect(m_palette, &UniAddControls::heatClick, this, &ExtRoomFormV1::heatAddClick);
    connect(m_palette, &UniAddControls::byteClick, this, &ExtRoomFormV1::byteAddControl);
    connect(m_palette, &UniAddControls::bytebtnClick, this, &ExtRoomFormV1::bytebtnAddControl);
    connect(m_palette, &UniAddControls::boolbtnClick, this, &ExtRoomFormV1::boolbtnAddControl);
    connect(m_palette, &UniAddControls::boolClick, this, &ExtRoomFormV1::boolAddControl);
    connect(m_palette, &UniAddControls::weatherClick, this, &ExtRoomFormV1::weatherAddClick);
    connect(m_palette, &UniAddControls::ipcamClick, this, &ExtRoomFormV1::ipcamAddClick);
    connect(m_palette, &UniAddControls::avcamClick, this, &ExtRoomFormV1::avcamAddClick);
    connect(m_palette, &UniAddControls::textWriteClick, this, &ExtRoomFormV1::textwriteAddClick);
    connect(m_palette, &UniAddControls::textClick, this, &ExtRoomFormV1::textAddControl);
    connect(m_palette, &UniAddControls::dyntextClick, this, &ExtRoomFormV1::dyntextAddClick);
    connect(m_palette, &UniAddControls::hsliderClick, this, &ExtRoomFormV1::hsliderAddClick);
    connect(m_palette, &UniAddControls::vsliderClick, this, &ExtRoomFormV1::vsliderAddClick);
    m_palette->show();
}

void ExtRoomFormV1::DelButton()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { DelButton(); });
        return;
    }
    closeDialogs();
    m_action = ActionDelete;
    m_addCode = 0;
    toolbox()->setStatusText(FormServices::text(kTextDeleting));
}

void ExtRoomFormV1::ShowSettings()
{
    if (!AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this] { ShowSettings(); });
        return;
    }
    closeDialogs();
    m_action = ActionProperties;
    m_addCode = 0;
    toolbox()->setStatusText(FormServices::text(kTextProperties));
}

void ExtRoomFormV1::AddSystButton()
{
    armAdd(1);
}

void ExtRoomFormV1::lightAddClick()
{
    armAdd(2);
}

void ExtRoomFormV1::switchAddClick()
{
    armAdd(3);
}

void ExtRoomFormV1::sensorAddClick()
{
    armAdd(4);
}

void ExtRoomFormV1::boolAddControl()
{
    armAdd(5);
}

void ExtRoomFormV1::heatAddClick()
{
    armAdd(6);
}

void ExtRoomFormV1::firstAddControl()
{
    armAdd(7);
}

void ExtRoomFormV1::byteAddControl()
{
    armAdd(8);
}

void ExtRoomFormV1::textAddControl()
{
    armAdd(9);
}

void ExtRoomFormV1::bytebtnAddControl()
{
    armAdd(10);
}

void ExtRoomFormV1::boolbtnAddControl()
{
    armAdd(11);
}

void ExtRoomFormV1::weatherAddClick()
{
    armAdd(12);
}

void ExtRoomFormV1::dyntextAddClick()
{
    armAdd(13);
}

void ExtRoomFormV1::ipcamAddClick()
{
    armAdd(14);
}

void ExtRoomFormV1::avcamAddClick()
{
    armAdd(15);
}

void ExtRoomFormV1::textwriteAddClick()
{
    armAdd(16);
}

void ExtRoomFormV1::hsliderAddClick()
{
    armAdd(17);
}

void ExtRoomFormV1::vsliderAddClick()
{
    armAdd(18);
}

void ExtRoomFormV1::closeCntClick()
{
    closeDialogs();
}

void ExtRoomFormV1::openSettings(BaseControlV1 *control, BaseRoomV1 *page)
{
    if (!m_settings) {
        m_settings = new UniSettings(this);
        m_settings->setObjectName(QStringLiteral("settingsPanel"));
        m_settings->setZValue(10);
        connect(m_settings, &UniSettings::SaveClicked, this, &ExtRoomFormV1::SaveLightSettings);
        connect(m_settings, &UniSettings::CloseClicked, this,
                &ExtRoomFormV1::DontSaveLightSettings);
    }
    m_settings->retranslate();
    m_settingsSubPage = nullptr;
    if (control) {
        m_settingsControl = control->runtimeId();
        m_settings->setControl(control);
    } else {
        m_settingsControl.clear();
        if (page != room())
            m_settingsSubPage = page;
        m_settings->setPage(page);
    }
    m_settings->setGeometry(visibleArea());
    m_settings->show();
}

void ExtRoomFormV1::DontSaveLightSettings()
{
    closeDialogs();
    endAction();
}

void ExtRoomFormV1::SaveLightSettings()
{
    BaseRoomV1 *page = room();
    if (page && m_settings && m_settings->hasTarget()) {
        const QString id = m_settingsControl;
        BaseRoomV1 *subPage = m_settingsSubPage;
        // Size, pictures and numbers may have changed: the widget is made again.
        const auto apply = [this, id, subPage] {
            if (!id.isEmpty()) {
                rebuildWidget(id);
            } else if (subPage) {
                rebuildRoomIcon(subPage);
                // Its name and caption also show in the navigation of the other screens: its
                // icon opens the page by the new name, back captions read it.
                emit updateRooms();
                emit updateRoomSettings(subPage);
            } else {
                updateSettings();
                emit updateRoomSettings(room());
            }
        };
        apply();
        const std::function<void()> undo = m_settings->lastUndo();
        const std::function<void()> redo = m_settings->lastRedo();
        if (undo && redo) {
            recordEdit(
                QStringLiteral("properties"), page->isModified(),
                [undo, apply] {
                    undo();
                    apply();
                },
                [redo, apply] {
                    redo();
                    apply();
                });
        }
        // A floor or room is written with the subsystem of the page shown: one flag serves both.
        page->setModified(true);
        sendRoom();
    }
    closeDialogs();
    endAction();
}

void ExtRoomFormV1::closeDialogs()
{
    if (m_settings) {
        m_settings->hide();
        m_settings->clear();
    }
    m_settingsControl.clear();
    m_settingsSubPage = nullptr;
    if (m_palette) {
        // Closed from one of its own buttons' clicks: it goes once that click has returned.
        m_palette->hide();
        m_palette->deleteLater();
        m_palette = nullptr;
    }
    if (m_switchDialog)
        m_switchDialog->hide();
    m_switchId.clear();
    closeDeleteQuestion();
    RoomFormV1::closeDialogs();
}

void ExtRoomFormV1::SwitchClick()
{
    ExtScenesWidget *bar = scenesWidget();
    if (m_action == ActionNone && bar && bar->isDependencyMode() && bar->isSwitchChangeMode()) {
        if (auto *sw = dynamic_cast<SwitchControlV1 *>(controlOf(sender()))) {
            emit ResetTimer();
            openSwitchType(sw);
            return;
        }
    }
    RoomFormV1::SwitchClick();
}

void ExtRoomFormV1::openSwitchType(BaseControlV1 *control)
{
    auto *sw = static_cast<SwitchControlV1 *>(control);
    if (!m_switchDialog) {
        m_switchDialog = new SwitchTypeDialog(this);
        m_switchDialog->setObjectName(QStringLiteral("switchTypeDialog"));
        m_switchDialog->setZValue(10);
        connect(m_switchDialog, &SwitchTypeDialog::SaveClicked, this,
                &ExtRoomFormV1::switchTypeSave);
        connect(m_switchDialog, &SwitchTypeDialog::CloseClicked, this,
                &ExtRoomFormV1::switchTypeClose);
    }
    m_switchId = sw->runtimeId();
    m_switchDialog->retranslate();
    m_switchDialog->setup(widgetById(m_switchId), room()->scenes(), sw->switchMode(),
                          sw->sceneNumber());
    m_switchDialog->setGeometry(visibleArea());
    m_switchDialog->show();
}

void ExtRoomFormV1::switchTypeSave()
{
    // The record itself is not changed: its type and scene come back with the next poll.
    auto *sw = room() ? dynamic_cast<SwitchControlV1 *>(room()->controlById(m_switchId)) : nullptr;
    if (sw && m_switchDialog) {
        if (LinkCommands *commands = linkCommands())
            commands->ChangeSwitchType(sw->swcNumber(), m_switchDialog->typeIndex(),
                                       m_switchDialog->sceneCode());
    }
    switchTypeClose();
}

void ExtRoomFormV1::switchTypeClose()
{
    emit ResetTimer();
    if (m_switchDialog)
        m_switchDialog->hide();
    m_switchId.clear();
}

bool ExtRoomFormV1::editClick(QObject *sender)
{
    if (m_action == ActionNone || !room())
        return false;
    if (m_action == ActionDelete) {
        int index = -1;
        const bool wasModified = room()->isModified();
        if (BaseControlV1 *c = controlOf(sender, &index)) {
            const QString id = c->runtimeId();
            c->setDeleted(true);
            removeWidget(id);
            const auto show = [this, id](bool deleted) {
                if (BaseControlV1 *rec = room()->controlById(id)) {
                    rec->setDeleted(deleted);
                    rebuildWidget(id);
                }
            };
            recordEdit(
                QStringLiteral("delete"), wasModified, [show] { show(false); },
                [show] { show(true); });
        } else if (BaseRoomV1 *sub = subRoomOf(sender)) {
            askDeleteSubPage(sub);
            endAction();
            return true;
        }
        room()->setModified(true);
        sendRoom();
    }
    if (m_action == ActionProperties) {
        if (BaseControlV1 *c = controlOf(sender)) {
            openSettings(c, nullptr);
            return true;
        }
        // A floor's or room's icon edits that page, as a press on a plan edits the page shown.
        if (BaseRoomV1 *sub = subRoomOf(sender)) {
            openSettings(nullptr, sub);
            return true;
        }
    }
    endAction();
    return true;
}

namespace {
// What deleting a floor or room takes with it: its rooms and every control on it and on them,
// deleted ones left out.
void countContent(const BaseRoomV1 *page, int *rooms, int *controls)
{
    for (const BaseControlV1 *c : page->controls())
        *controls += c->isDeleted() ? 0 : 1;
    if (auto *floor = dynamic_cast<const FloorStructV1 *>(page)) {
        for (const RoomStructV1 *r : floor->rooms()) {
            if (r->isDeleted())
                continue;
            ++*rooms;
            countContent(r, rooms, controls);
        }
    }
}
} // namespace

void ExtRoomFormV1::askDeleteSubPage(BaseRoomV1 *sub)
{
    const bool wasModified = room()->isModified();
    int rooms = 0;
    int controls = 0;
    countContent(sub, &rooms, &controls);
    if (rooms == 0 && controls == 0) {
        deleteSubPage(sub, wasModified);
        return;
    }
    // A floor takes its rooms and all their controls along: one stray tap must not do that.
    if (!m_deletePanel) {
        m_deletePanel = new ERectWidget(this);
        m_deletePanel->setObjectName(QStringLiteral("deleteQuestion"));
        m_deletePanel->setColor(QColor(255, 255, 255, 235));
        m_deletePanel->setBorderColor(QColor(0, 0, 0, 120));
        m_deletePanel->setBorderWidth(1);
        m_deletePanel->setRadius(10);
        m_deletePanel->setZValue(20);
        m_deletePanel->resize(460, 150);
        m_deleteText = new ELabelWidget(m_deletePanel);
        m_deleteText->setFont(ECoreApp::instance()->font(0));
        m_deleteText->setColortext(Qt::black);
        m_deleteText->setWordWrap(true);
        m_deleteText->setAlignment(Qt::AlignCenter);
        m_deleteText->setPos(15, 10);
        m_deleteText->resize(430, 70);
        m_deleteYes = new ExtToolWidget(QStringLiteral("check.png"), QString(), m_deletePanel);
        m_deleteNo = new ExtToolWidget(QStringLiteral("no.png"), QString(), m_deletePanel);
        for (ExtToolWidget *button : {m_deleteYes, m_deleteNo}) {
            button->setFont(ECoreApp::instance()->font(0));
            button->setFrameVisible(true);
            button->setShowCaption(true);
            button->setCaptionBeside(true);
            button->resize(140, 44);
        }
        m_deleteYes->setPos(75, 92);
        m_deleteNo->setPos(245, 92);
        connect(m_deleteYes, &EBaseWidget::clicked, this, [this] {
            BaseRoomV1 *target = m_deleteTarget;
            const bool wasModified = m_deleteWasModified;
            closeDeleteQuestion();
            if (target && !target->isDeleted())
                deleteSubPage(target, wasModified);
        });
        connect(m_deleteNo, &EBaseWidget::clicked, this, &ExtRoomFormV1::closeDeleteQuestion);
    }
    const QString caption = sub->textB().isEmpty() ? sub->name() : sub->textB();
    m_deleteText->setLabelT(
        sub->kind() == BaseRoomV1::KindFloor
            ? FormServices::text(kTextDeleteFloor).arg(caption).arg(rooms).arg(controls)
            : FormServices::text(kTextDeleteRoom).arg(caption).arg(controls));
    m_deleteYes->setText(FormServices::text(kTextYes));
    m_deleteNo->setText(FormServices::text(kTextNo));
    m_deleteTarget = sub;
    m_deleteWasModified = wasModified;
    const QRectF view = visibleArea();
    m_deletePanel->setPos(view.center().x() - m_deletePanel->size().width() / 2,
                          view.center().y() - m_deletePanel->size().height() / 2);
    m_deletePanel->show();
}

void ExtRoomFormV1::closeDeleteQuestion()
{
    m_deleteTarget = nullptr;
    if (m_deletePanel)
        m_deletePanel->hide();
}

QString ExtRoomFormV1::deleteQuestion() const
{
    return m_deletePanel && m_deletePanel->isVisible() ? m_deleteText->labelT() : QString();
}

void ExtRoomFormV1::deleteSubPage(BaseRoomV1 *sub, bool wasModified)
{
    sub->setDeleted(true);
    removeWidget(sub->runtimeId());
    emit updateRooms();
    recordEdit(
        QStringLiteral("delete page"), wasModified,
        [this, sub] {
            sub->setDeleted(false);
            addRoomIcon(sub);
            hookWidget(sub->runtimeId());
            emit updateRooms();
        },
        [this, sub] {
            sub->setDeleted(true);
            removeWidget(sub->runtimeId());
            emit updateRooms();
        });
    room()->setModified(true);
    sendRoom();
}

void ExtRoomFormV1::addElementAt(const QPointF &formPos)
{
    BaseRoomV1 *page = room();
    if (!page)
        return;
    const PaletteEntry *entry = EditorKinds::paletteEntry(m_addCode);
    if (m_addCode == kAddLevel) {
        addSubPageAt(formPos);
        return;
    }
    if (!entry)
        return;
    // Placement is in percent of the plan, which may start below the title row.
    const QPointF onPlan = plan()->mapFromItem(this, formPos - QPointF(kAddOffset, kAddOffset));
    const QPointF pct = ExtWidgetFactory::toPercent(onPlan, ExtWidgetFactory::planSize(plan()));
    const QString text = QLatin1String(entry->name);
    BaseControlV1 *control = page->createControl(entry->kind, text, text,
                                                 QPointF(qMax(0.0, pct.x()), qMax(0.0, pct.y())));
    if (!control)
        return;
    // The palette makes every lamp number 1, every switch number 1, ...: a second one would
    // drive the controller record of the first.
    if (RoomsV1 *rooms = RoomsV1::fromCore())
        rooms->numberNewControl(control, page);
    applyImages(control, ECoreApp::instance()->startMode() == StartMode::Demo,
                ECoreApp::instance()->workingFolder());
    addControlWidget(control);
    refreshWidget(control);
    const QString id = control->runtimeId();
    hookWidget(id);
    const auto show = [this, id](bool deleted) {
        if (BaseControlV1 *rec = room()->controlById(id)) {
            rec->setDeleted(deleted);
            rebuildWidget(id);
        }
    };
    recordEdit(
        QStringLiteral("add"), page->isModified(), [show] { show(true); }, [show] { show(false); });
    page->setModified(true);
    sendRoom();
}

void ExtRoomFormV1::addSubPageAt(const QPointF &formPos)
{
    RoomsV1 *rooms = RoomsV1::fromCore();
    BaseRoomV1 *page = room();
    if (!rooms || !page)
        return;
    const QPointF onPlan = plan()->mapFromItem(this, formPos);
    const bool wasModified = page->isModified();
    BaseRoomV1 *created = rooms->createSubPage(page, onPlan, ExtWidgetFactory::planSize(plan()),
                                               FormServices::text(kTextSceneWord));
    if (!created)
        return;
    recordEdit(
        QStringLiteral("add page"), wasModified,
        [this, created] {
            created->setDeleted(true);
            removeWidget(created->runtimeId());
            emit updateRooms();
        },
        [this, created] {
            created->setDeleted(false);
            addRoomIcon(created);
            hookWidget(created->runtimeId());
            emit updateRooms();
        });
    addRoomIcon(created);
    hookWidget(created->runtimeId());
    // The main content creates the new page's screen.
    emit updateRooms();
    sendRoom();
}

void ExtRoomFormV1::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_action == ActionNone) {
        RoomFormV1::mousePressEvent(event);
        return;
    }
    event->accept();
    if (m_action == ActionProperties) {
        // A press on the plan itself edits the page shown.
        openSettings(nullptr, room());
        return;
    }
    if (m_action == ActionAdd)
        addElementAt(event->pos());
    endAction();
}
