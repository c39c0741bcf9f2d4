// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "uniaddcontrols.h"

#include "baseroomv1.h"
#include "editorkinds.h"
#include "eflickable.h"
#include "egridlayout.h"
#include "eiconwidget.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

namespace {
constexpr qreal kCellWidth = 85;
constexpr qreal kCellHeight = 87;
constexpr qreal kGridWidth = 425;
constexpr qreal kGridHeight = 261;

QString resourceIcon(const char *name)
{
    return QStringLiteral(":/resources/") + QLatin1String(name);
}
} // namespace

UniAddControls::UniAddControls(QGraphicsItem *parent) : EGraphicsWidget(parent)
{
    m_close = new EIconWidget;
    m_close->setObjectName(QStringLiteral("paletteClose"));
    m_close->setImageSource(resourceIcon("close.png"));
    connect(m_close, &EBaseWidget::clicked, this, &UniAddControls::CloseClicked);

    auto *area = m_area = new EFlickable;
    area->setFlickDirection(Qt::Vertical);
    auto *inner = new EGraphicsWidget;
    int rows = 0;
    for (const PaletteEntry &e : EditorKinds::paletteEntries())
        rows = qMax(rows, e.row + 1);
    inner->resize(kGridWidth, rows * kCellHeight);
    for (const PaletteEntry &e : EditorKinds::paletteEntries()) {
        auto *button = new EIconWidget(inner);
        button->setObjectName(QStringLiteral("paletteEntry%1").arg(e.code));
        button->setImageSource(resourceIcon(e.icon));
        button->setText(
            QString::fromLatin1(e.label).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        button->setCaptionColor(Qt::white);
        button->setShowCaption(true);
        button->setGeometry(e.column * kCellWidth, e.row * kCellHeight, kCellWidth, kCellHeight);
        const int code = e.code;
        const auto signal = e.signal;
        connect(button, &EBaseWidget::clicked, this, [this, code, signal] {
            emit(this->*signal)();
            emit entryChosen(code);
        });
        m_entries.insert(code, button);
    }
    area->setContentItem(inner);

    auto *grid = new EGridLayout;
    grid->setColumnStretch(0, 1);
    grid->setColumnFixedWidth(1, 40);
    grid->setRowFixedHeight(0, 40);
    grid->setRowStretch(1, 1);
    grid->addWidget(m_close, 0, 1);
    grid->addWidget(area, 1, 0, 1, 2);
    setLayout(grid);
    area->setMinimumSize(kGridWidth, kGridHeight);
    resize(kWidth, kHeight);
}

UniAddControls::~UniAddControls() = default;

void UniAddControls::setPageContext(int kind, int systemType)
{
    const bool room = kind == BaseRoomV1::KindRoom;
    m_entries.value(EntryLevel)->setEnabled(!room && systemType != BaseRoomV1::MainSystem);
    m_entries.value(EntrySwitch)->setEnabled(room);
    m_entries.value(EntrySensor)->setEnabled(room);
    m_entries.value(EntryLight)->setEnabled(true);
    m_entries.value(EntryHeat)->setEnabled(true);
}

EIconWidget *UniAddControls::entryButton(int code) const
{
    return m_entries.value(code);
}

void UniAddControls::showEntry(int code)
{
    if (EIconWidget *button = m_entries.value(code))
        m_area->ensureVisible(button->geometry());
}

void UniAddControls::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // Presses between the buttons must not reach the plan below.
    event->accept();
}

void UniAddControls::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 200));
    painter->drawRoundedRect(rect(), 8, 8);
}
