// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "switchtypedialog.h"

#include "ebasewidget.h"
#include "ecombowidget.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {
constexpr int kTextSave = 61062;
constexpr int kTextCancel = 61063;
constexpr int kTextAllOn = 61141;
constexpr int kTextAllOff = 61142;
constexpr int kTextNo = 61150;
constexpr int kTextSelectType = 61210;
constexpr int kTextSwitchLights = 61211;
constexpr int kTextRunScene = 61212;
constexpr int kTextSceneFor = 61213;
constexpr int kTextHowToLink = 61404;
// Light text on the panel's dark veil; the scene caption dims while there is no scene to pick,
// still well readable.
const QColor kCaptionColor(0xf4, 0xf7, 0xfb);
const QColor kDimmedCaptionColor(0xb8, 0xc0, 0xcc);
// Wide enough for the longest caption and list entry of either language on one line.
constexpr qreal kColumnWidth = 210;
} // namespace

SwitchTypeDialog::SwitchTypeDialog(QGraphicsItem *parent) : EGraphicsWidget(parent)
{
    m_typeCaption = new ELabelWidget;
    m_sceneCaption = new ELabelWidget;
    m_hint = new ELabelWidget;
    m_hint->setWordWrap(true);
    m_hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (ELabelWidget *label : {m_typeCaption, m_sceneCaption, m_hint})
        label->setColortext(kCaptionColor);
    m_typeList = new EComboWidget;
    m_sceneList = new EComboWidget;
    m_save = new EIconWidget;
    m_cancel = new EIconWidget;
    m_save->setImageSource(QStringLiteral(":/resources/check.png"));
    m_cancel->setImageSource(QStringLiteral(":/resources/no.png"));
    for (EIconWidget *b : {m_save, m_cancel}) {
        b->setFrameVisible(true);
        b->setCaptionBeside(true);
    }
    m_save->setObjectName(QStringLiteral("switchTypeSave"));
    m_cancel->setObjectName(QStringLiteral("switchTypeCancel"));

    auto *grid = new EGridLayout;
    grid->setColumnStretch(0, 1);
    grid->setColumnFixedWidth(1, kColumnWidth);
    grid->setColumnFixedWidth(2, kColumnWidth);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(0, 1);
    grid->setRowFixedHeight(1, 15);
    grid->setRowFixedHeight(2, 28);
    grid->setRowFixedHeight(3, 15);
    grid->setRowFixedHeight(4, 28);
    grid->setRowFixedHeight(5, 10);
    grid->setRowFixedHeight(6, 40);
    grid->setRowFixedHeight(7, 10);
    grid->setRowFixedHeight(8, 54);
    grid->setRowStretch(9, 1);
    grid->addWidget(m_typeCaption, 1, 1, 1, 2);
    grid->addWidget(m_typeList, 2, 1, 1, 2);
    grid->addWidget(m_sceneCaption, 3, 1, 1, 2);
    grid->addWidget(m_sceneList, 4, 1, 1, 2);
    grid->addWidget(m_hint, 8, 1, 1, 2);
    grid->addWidget(m_save, 6, 1);
    grid->addWidget(m_cancel, 6, 2);
    setLayout(grid);

    connect(m_typeList, &EComboWidget::indexChanged, this, &SwitchTypeDialog::changeType);
    connect(m_save, &EBaseWidget::clicked, this, &SwitchTypeDialog::saveControls);
    connect(m_cancel, &EBaseWidget::clicked, this, &SwitchTypeDialog::closeControls);
    applyTexts();
    m_typeList->setCurrentIndex(0);
    changeType(0);
}

SwitchTypeDialog::~SwitchTypeDialog() = default;

EBaseWidget *SwitchTypeDialog::saveButton() const
{
    return m_save;
}

EBaseWidget *SwitchTypeDialog::cancelButton() const
{
    return m_cancel;
}

void SwitchTypeDialog::setup(EBaseWidget *switchItem, const QStringList &scenes, int type,
                             int sceneCode)
{
    m_switchItem = switchItem;
    QStringList items{localText(kTextNo)};
    items << scenes << localText(kTextAllOn) << localText(kTextAllOff);
    m_sceneList->setItems(items);
    const int n = items.size();
    // A type the list does not offer (a controller answer out of range) shows as a scene switch,
    // since anything but 0 runs a scene there.
    m_typeList->setCurrentIndex(type == 0 ? 0 : 1);
    int index = 0;
    if (type != 0) {
        if (sceneCode == kAllOn)
            index = n - 2;
        else if (sceneCode == kAllOff)
            index = n - 1;
        else if (sceneCode >= 0 && sceneCode < n - 2)
            index = sceneCode;
    }
    m_sceneList->setCurrentIndex(index);
    changeType(m_typeList->currentIndex());
}

int SwitchTypeDialog::typeIndex() const
{
    return qMax(0, m_typeList->currentIndex());
}

int SwitchTypeDialog::sceneCode() const
{
    const int n = m_sceneList->count();
    const int i = m_sceneList->currentIndex();
    if (n >= 3 && i == n - 1)
        return kAllOff;
    if (n >= 3 && i == n - 2)
        return kAllOn;
    return qMax(0, i);
}

void SwitchTypeDialog::closeControls()
{
    emit CloseClicked();
}

void SwitchTypeDialog::saveControls()
{
    emit SaveClicked();
}

void SwitchTypeDialog::changeType(int index)
{
    const bool scene = index != 0;
    m_sceneList->setEnabled(scene);
    m_sceneCaption->setEnabled(scene);
    m_sceneCaption->setColortext(scene ? kCaptionColor : kDimmedCaptionColor);
}

void SwitchTypeDialog::applyTexts()
{
    m_typeCaption->setLabelT(localText(kTextSelectType));
    m_sceneCaption->setLabelT(localText(kTextSceneFor));
    m_hint->setLabelT(localText(kTextHowToLink));
    const int index = m_typeList->currentIndex();
    m_typeList->setItems({localText(kTextSwitchLights), localText(kTextRunScene)});
    m_typeList->setCurrentIndex(qMax(0, index));
    m_save->setText(localText(kTextSave));
    m_cancel->setText(localText(kTextCancel));
}

void SwitchTypeDialog::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Modal over its screen: presses beside the lists and buttons go nowhere.
    event->accept();
}

void SwitchTypeDialog::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(veilColor());
    painter->drawRect(rect());
}
