// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "scenesavedialog.h"

#include "baseroomv1.h"
#include "ebasewidget.h"
#include "ecombowidget.h"
#include "egridlayout.h"
#include "elabelwidget.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {
constexpr int kTextSave = 61062;
constexpr int kTextCancel = 61063;
constexpr int kTextNo = 61150;
constexpr int kTextMini = 61190;
constexpr int kTextGlobal = 61191;
constexpr qreal kPanelWidth = 360;
constexpr qreal kPanelHeight = 190;
} // namespace

SaveSceneDialog::SaveSceneDialog(QGraphicsItem *parent) : EGraphicsWidget(parent)
{
    auto *panel = new EGraphicsWidget(this);
    panel->setObjectName(QStringLiteral("scenePanel"));
    m_miniCaption = new ELabelWidget;
    m_globalCaption = new ELabelWidget;
    for (ELabelWidget *l : {m_miniCaption, m_globalCaption})
        l->setColortext(Qt::black);
    m_mini = new EComboWidget;
    m_global = new EComboWidget;
    m_save = new EBaseWidget;
    m_cancel = new EBaseWidget;
    auto *grid = new EGridLayout;
    grid->setMargins(12, 12, 12, 12);
    grid->setColumnSizes({0, 0});
    grid->setRowSizes({24, 40, 24, 40, 8, 40});
    grid->addWidget(m_miniCaption, 0, 0, 1, 2);
    grid->addWidget(m_mini, 1, 0, 1, 2);
    grid->addWidget(m_globalCaption, 2, 0, 1, 2);
    grid->addWidget(m_global, 3, 0, 1, 2);
    grid->addWidget(m_save, 5, 0);
    grid->addWidget(m_cancel, 5, 1);
    grid->setHorizontalSpacing(8);
    panel->setLayout(grid);
    panel->resize(kPanelWidth, kPanelHeight);
    connect(this, &EGraphicsWidget::onGeometryChanged, panel, [this, panel] {
        panel->setPos((size().width() - kPanelWidth) / 2, (size().height() - kPanelHeight) / 2);
    });
    connect(m_mini, &EComboWidget::indexChanged, this, &SaveSceneDialog::scenesMiniChanged);
    connect(m_save, &EBaseWidget::clicked, this, &SaveSceneDialog::saveControls);
    connect(m_cancel, &EBaseWidget::clicked, this, &SaveSceneDialog::closeControls);
    applyTexts();
}

QStringList SaveSceneDialog::withNone(const QStringList &scenes) const
{
    QStringList items{localText(kTextNo)};
    items << scenes;
    return items;
}

void SaveSceneDialog::init(const BaseRoomV1 *page, const BaseRoomV1 *systemRoot)
{
    m_isRoom = page && page->kind() == BaseRoomV1::KindRoom;
    m_mini->setItems(m_isRoom ? withNone(page->scenes()) : QStringList{localText(kTextNo)});
    m_mini->setCurrentIndex(0);
    m_mini->setEnabled(m_isRoom);
    m_miniCaption->setEnabled(m_isRoom);
    m_global->setItems(withNone(systemRoot ? systemRoot->scenes() : QStringList()));
    m_global->setCurrentIndex(0);
    // On a room the global scene only makes sense once a miniscene is chosen; on floor and root
    // pages (heating) the global scene is the only choice, so it must stay reachable.
    scenesMiniChanged(0);
}

int SaveSceneDialog::miniScene() const
{
    return qMax(0, m_mini->currentIndex());
}

int SaveSceneDialog::globalScene() const
{
    return qMax(0, m_global->currentIndex());
}

void SaveSceneDialog::closeControls()
{
    emit CloseClicked();
}

void SaveSceneDialog::saveControls()
{
    emit SaveClicked();
}

void SaveSceneDialog::scenesMiniChanged(int index)
{
    const bool on = !m_isRoom || index != 0;
    m_global->setEnabled(on);
    m_globalCaption->setEnabled(on);
}

void SaveSceneDialog::applyTexts()
{
    m_miniCaption->setLabelT(localText(kTextMini));
    m_globalCaption->setLabelT(localText(kTextGlobal));
    m_save->setText(localText(kTextSave));
    m_cancel->setText(localText(kTextCancel));
}

void SaveSceneDialog::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // The dialog is modal over its screen: presses beside the panel go nowhere.
    event->accept();
}

void SaveSceneDialog::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->fillRect(rect(), QColor(0, 0, 0, 110));
    const QRectF panel((size().width() - kPanelWidth) / 2, (size().height() - kPanelHeight) / 2,
                       kPanelWidth, kPanelHeight);
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QColor(0, 0, 0, 120));
    painter->setBrush(QColor(240, 244, 250));
    painter->drawRoundedRect(panel, 10, 10);
}
