// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "adminpindialog.h"

#include "egridlayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "toolkitstyle.h"

#include <QGraphicsLayout>
#include <QGraphicsLinearLayout>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {
constexpr int kTextCancel = 61063;
constexpr int kTextEnterPin = 61400;
constexpr int kTextWrongPin = 61401;
constexpr int kTextOk = 61402;
constexpr int kTextWait = 61530;
// Long enough for any PIN a person would keep in mind; the entry stops growing there.
constexpr int kMaxPinLength = 12;
const QChar kDot(0x2022);
// The pad's rows: title, entry, message, four rows of keys, a gap, OK and Cancel. Keys are
// 56 high where there is room and shrink to kMinKeyHeight on a low screen (a 480-line panel
// under its window frame keeps them at a size a finger still hits).
constexpr qreal kKeyWidth = 90;
constexpr qreal kKeyHeight = 56;
constexpr qreal kMinKeyHeight = 40;
constexpr qreal kFixedRows = 30 + 44 + 24 + 10 + 44;
constexpr int kFirstKeyRow = 4;
} // namespace

AdminPinDialog::AdminPinDialog(QGraphicsItem *parent) : EGraphicsWidget(parent)
{
    setFlag(ItemIsFocusable, true);
    m_title = new ELabelWidget;
    m_title->setFont(EStyle::font(18, true));
    m_title->setColortext(Qt::white);
    m_title->setAlignment(Qt::AlignCenter);
    m_code = new ELabelWidget;
    QFont codeFont = EStyle::font(28, true);
    codeFont.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    m_code->setFont(codeFont);
    m_code->setColortext(Qt::white);
    m_code->setAlignment(Qt::AlignCenter);
    m_message = new ELabelWidget;
    m_message->setFont(EStyle::font(16, true));
    m_message->setColortext(QColor(0xff, 0x8a, 0x80));
    m_message->setAlignment(Qt::AlignCenter);
    m_countdown = new QTimer(this);
    m_countdown->setInterval(1000);
    connect(m_countdown, &QTimer::timeout, this, &AdminPinDialog::refresh);

    auto *grid = new EGridLayout;
    grid->setColumnStretch(0, 1);
    grid->setColumnSizes({0, kKeyWidth, kKeyWidth, kKeyWidth, 0});
    grid->setColumnStretch(4, 1);
    grid->setRowSizes({0, 30, 44, 24, kKeyHeight, kKeyHeight, kKeyHeight, kKeyHeight, 10, 44, 0});
    grid->setRowStretch(0, 1);
    grid->setRowStretch(10, 1);
    grid->addWidget(m_title, 1, 0, 1, 5);
    grid->addWidget(m_code, 2, 1, 1, 3);
    grid->addWidget(m_message, 3, 0, 1, 5);
    auto addKey = [&](const QString &name, const QString &caption, int row, int column) {
        auto *key = new EIconWidget;
        key->setText(caption);
        key->setFont(EStyle::font(22, true));
        key->setFrameVisible(true);
        key->setObjectName(QStringLiteral("pin_") + name);
        grid->addWidget(key, row, column);
        m_keys.insert(name, key);
        return key;
    };
    for (int digit = 1; digit <= 9; ++digit) {
        const QString text = QString::number(digit);
        connect(addKey(text, text, kFirstKeyRow + (digit - 1) / 3, 1 + (digit - 1) % 3),
                &EBaseWidget::clicked, this, [this, text] { append(text); });
    }
    connect(addKey(QStringLiteral("0"), QStringLiteral("0"), kFirstKeyRow + 3, 2),
            &EBaseWidget::clicked, this, [this] { append(QStringLiteral("0")); });
    connect(addKey(QStringLiteral("back"), QStringLiteral("\u2190"), kFirstKeyRow + 3, 3),
            &EBaseWidget::clicked, this, &AdminPinDialog::backspace);
    auto *ok = new EIconWidget;
    ok->setImageSource(QStringLiteral(":/resources/check.png"));
    auto *no = new EIconWidget;
    no->setImageSource(QStringLiteral(":/resources/no.png"));
    ok->setObjectName(QStringLiteral("pin_ok"));
    no->setObjectName(QStringLiteral("pin_cancel"));
    // OK and Cancel share the width of the three key columns equally, so that either caption
    // ("Отмена" is the longest) has room beside its picture.
    auto *answers = new QGraphicsLinearLayout(Qt::Horizontal);
    answers->setContentsMargins(0, 0, 0, 0);
    for (EIconWidget *b : {ok, no}) {
        b->setFrameVisible(true);
        b->setCaptionBeside(true);
        b->setFont(EStyle::font(16, true));
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        answers->addItem(b);
        answers->setStretchFactor(b, 1);
    }
    m_keys.insert(QStringLiteral("ok"), ok);
    m_keys.insert(QStringLiteral("cancel"), no);
    grid->addItem(answers, 9, 1, 1, 3);
    connect(ok, &EBaseWidget::clicked, this, &AdminPinDialog::confirm);
    connect(no, &EBaseWidget::clicked, this, &AdminPinDialog::cancel);
    setLayout(grid);
    retranslate();
    hide();
}

void AdminPinDialog::ask(Check check, Wait wait)
{
    m_check = std::move(check);
    m_wait = std::move(wait);
    m_entered.clear();
    m_refused = false;
    show();
    refresh();
    // Laid out at once: the keys are pressed in the turn the panel comes up, before a posted
    // layout request would place them.
    if (QGraphicsLayout *grid = layout())
        grid->activate();
    setFocus(Qt::OtherFocusReason);
}

void AdminPinDialog::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    fitKeys(size().height());
}

void AdminPinDialog::fitKeys(qreal height)
{
    auto *grid = static_cast<EGridLayout *>(layout());
    if (!grid)
        return;
    const qreal key = qBound(kMinKeyHeight, std::floor((height - kFixedRows) / 4), kKeyHeight);
    // Only a change relayouts: setting a row invalidates the layout, which lays out again.
    if (qFuzzyCompare(key, m_keyHeight))
        return;
    m_keyHeight = key;
    for (int row = kFirstKeyRow; row < kFirstKeyRow + 4; ++row)
        grid->setRowFixedHeight(row, key);
}

QString AdminPinDialog::shownText() const
{
    return m_code->labelT();
}

QString AdminPinDialog::messageText() const
{
    return m_message->labelT();
}

void AdminPinDialog::append(const QString &digit)
{
    if (m_entered.size() >= kMaxPinLength)
        return;
    m_entered += digit;
    m_refused = false;
    refresh();
}

void AdminPinDialog::backspace()
{
    m_entered.chop(1);
    refresh();
}

void AdminPinDialog::confirm()
{
    const AdminPinVerdict verdict = m_check ? m_check(m_entered) : AdminPinVerdict();
    m_entered.clear();
    if (!verdict.accepted) {
        // While a wait is on, the wait says enough; otherwise this entry was wrong.
        m_refused = verdict.waitMs <= 0;
        refresh();
        return;
    }
    m_countdown->stop();
    hide();
    emit accepted();
}

void AdminPinDialog::cancel()
{
    m_entered.clear();
    m_countdown->stop();
    hide();
    emit rejected();
}

void AdminPinDialog::refresh()
{
    m_code->setLabelT(QString(m_entered.size(), kDot));
    const qint64 waitMs = m_wait ? m_wait() : 0;
    if (waitMs > 0) {
        // Whole seconds, rounded up: "0 s" while the pad still refuses would be a lie.
        m_message->setLabelT(localText(kTextWait).arg((waitMs + 999) / 1000));
        if (isVisible() && !m_countdown->isActive())
            m_countdown->start();
        return;
    }
    m_countdown->stop();
    m_message->setLabelT(m_refused ? localText(kTextWrongPin) : QString());
}

void AdminPinDialog::applyTexts()
{
    m_title->setLabelT(localText(kTextEnterPin));
    static_cast<EIconWidget *>(m_keys.value(QStringLiteral("ok")))->setText(localText(kTextOk));
    static_cast<EIconWidget *>(m_keys.value(QStringLiteral("cancel")))
        ->setText(localText(kTextCancel));
    refresh();
}

void AdminPinDialog::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        confirm();
        return;
    case Qt::Key_Escape:
        cancel();
        return;
    case Qt::Key_Backspace:
        backspace();
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1 && text.at(0).isDigit()) {
        append(text);
        return;
    }
    EGraphicsWidget::keyPressEvent(event);
}

void AdminPinDialog::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    // The panel is modal over its screen: a press beside the keys goes nowhere else.
    event->accept();
}

void AdminPinDialog::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 200));
    painter->drawRect(rect());
}
