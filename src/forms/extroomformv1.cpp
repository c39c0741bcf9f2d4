// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "extroomformv1.h"

#include "basecontrolv1.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "floorstructv1.h"
#include "mainstructv1.h"
#include "roomstructv1.h"
#include "systemcontrolv1.h"

ExtRoomFormV1::ExtRoomFormV1(BaseRoomV1 *room, QGraphicsItem *parent)
    : BaseForm(parent)
    , m_room(room)
{
    auto *grid = new EGridLayout;
    grid->setColumnSizes({170, 0, 70, 140});
    grid->setColumnStretch(1, 1);
    grid->setRowSizes({5, 40, 0});
    grid->setRowStretch(2, 1);
    m_plan = new EImageWidget;
    m_plan->setFillMode(EImageWidget::Stretch);
    m_title = new ELabelWidget;
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setFont(ECoreApp::instance()->font(1));
    const bool isMain = room && room->systemType() == BaseRoomV1::MainSystem;
    if (isMain) {
        grid->addWidget(m_plan, 0, 0, 3, 4);
        m_title->hide();
        setDrawBackground(false);
    } else {
        grid->addWidget(m_plan, 2, 0, 1, 4);
        grid->addWidget(m_title, 1, 0, 1, 4);
    }
    setLayout(grid);
    connect(m_plan, &EGraphicsWidget::onGeometryChanged, this, [this] { placeItems(); });
    updateSettings();
    if (!room)
        return;

    auto addIcon = [this](const QString &id, const QString &caption, const QString &image,
                          double x, double y) {
        auto *icon = new EIconWidget(m_plan);
        icon->setObjectName(id);
        icon->setText(caption);
        icon->setShowCaption(!caption.isEmpty());
        icon->setImage(ECoreApp::instance()->image(image));
        icon->adjustToContents();
        m_placed.append({icon, x, y});
        return icon;
    };
    QList<BaseRoomV1 *> subRooms;
    if (auto *main = dynamic_cast<MainStructV1 *>(room)) {
        for (FloorStructV1 *f : main->floors())
            subRooms.append(f);
    } else if (auto *floor = dynamic_cast<FloorStructV1 *>(room)) {
        for (RoomStructV1 *r : floor->rooms())
            subRooms.append(r);
    }
    for (BaseRoomV1 *sub : subRooms) {
        if (sub->isDeleted())
            continue;
        EIconWidget *icon =
            addIcon(sub->runtimeId(), sub->textB(), sub->contImage(), sub->posX(), sub->posY());
        icon->setProperty("roomName", sub->name());
        connect(icon, &EBaseWidget::clicked, this, &ExtRoomFormV1::RoomClick);
    }
    for (BaseControlV1 *control : room->controls()) {
        auto *system = dynamic_cast<SystemControlV1 *>(control);
        if (!system || system->isDeleted())
            continue;
        EIconWidget *icon = addIcon(system->runtimeId(), system->textB(), system->image(),
                                    system->posX(), system->posY());
        connect(icon, &EBaseWidget::clicked, this, &ExtRoomFormV1::showSystem);
    }
}

void ExtRoomFormV1::updateSettings()
{
    if (!m_room)
        return;
    m_plan->setImage(ECoreApp::instance()->image(m_room->image()));
    const bool isRoot = dynamic_cast<MainStructV1 *>(m_room) != nullptr;
    m_title->setLabelT(isRoot ? m_room->name() : m_room->textB());
    if (!m_room->fontColor().isEmpty())
        m_title->setColortext(QColor(m_room->fontColor()));
}

void ExtRoomFormV1::RoomClick()
{
    auto *icon = qobject_cast<EIconWidget *>(sender());
    if (!icon || !m_room)
        return;
    emit ResetTimer();
    emit gotoRoom(m_room->systemType(), icon->property("roomName").toString());
}

void ExtRoomFormV1::showSystem()
{
    auto *icon = qobject_cast<EIconWidget *>(sender());
    if (!icon || !m_room)
        return;
    auto *system = dynamic_cast<SystemControlV1 *>(m_room->controlById(icon->objectName()));
    if (!system)
        return;
    emit ResetTimer();
    emit gotoSystem(system->systType(), system->fileName());
}

void ExtRoomFormV1::placeItems()
{
    const QSizeF plan = m_plan->size();
    for (const Placed &p : m_placed)
        p.item->setPos(p.posX / 100.0 * plan.width(), p.posY / 100.0 * plan.height());
}
