// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "secureform.h"

#include "controlerdata.h"
#include "controllertypes.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "elabelwidget.h"
#include "erectwidget.h"
#include "formservices.h"
#include "linksubscription.h"
#include "securekeybutton.h"

#include <QGraphicsLinearLayout>
#include <QMap>
#include <QPointer>
#include <cmath>

namespace {
// The controller takes codes of up to nine decimal digits (they travel as one 32-bit word).
const int kMaxCodeDigits = 9;
const QString kEmptyCode = QStringLiteral("0");
// Rows of the page: title, gap, the state and code panel (two rows), then four rows of keys.
constexpr qreal kTitleRow = 40;
constexpr qreal kPanelRows = 56 + 64;
constexpr qreal kWideGap = 20;
constexpr qreal kNarrowGap = 8;
constexpr qreal kKeyRow = 92;
// Keys stay large enough for a finger on the lowest wall panels.
constexpr qreal kSmallestKeyRow = 60;
// What stands for each typed digit while the code is hidden.
const QChar kCodeDot(0x2022);
} // namespace

struct SecureFormPrivate
{
    ELabelWidget *title = nullptr;
    ELabelWidget *state = nullptr;
    ELabelWidget *code = nullptr;
    // The digits typed so far ("0": none); the display shows them or one dot per digit.
    QString typed = kEmptyCode;
    bool showDigits = false;
    QMap<QString, SecureKeyButton *> buttons;
    std::unique_ptr<LinkSubscription> updates;
    EGridLayout *grid = nullptr;
};

SecureForm::SecureForm(QGraphicsItem *parent) : BaseForm(parent), d(new SecureFormPrivate)
{
    d->updates = std::make_unique<LinkSubscription>(this, SIGNAL(ReadyUpdateAlerts(ReservVariables)),
                                                  SLOT(readyToUpdateResVars(ReservVariables)));
    registerControllerTypes();
    auto *grid = d->grid = new EGridLayout;
    grid->setColumnSizes({10, 0, 110, 110, 110, 110, 0});
    grid->setRowSizes({kTitleRow, kWideGap, 56, 64, kKeyRow, kKeyRow, kKeyRow, kKeyRow, 0});
    grid->setRowStretch(8, 1);

    d->title = new ELabelWidget;
    d->title->setFont(ECoreApp::instance()->font(1));
    d->title->setColortext(Qt::black);
    d->title->setAlignment(Qt::AlignCenter);
    grid->addWidget(d->title, 0, 0, 1, 7);

    // The state and the typed code sit together on one rounded panel.
    auto *panel = new ERectWidget;
    panel->setColor(QColor(255, 255, 255, 170));
    panel->setBorderColor(QColor(90, 110, 140));
    panel->setBorderWidth(1);
    panel->setRadius(10);
    auto *panelLayout = new QGraphicsLinearLayout(Qt::Vertical);
    panelLayout->setContentsMargins(8, 4, 8, 4);
    panelLayout->setSpacing(0);
    panel->setLayout(panelLayout);
    grid->addWidget(panel, 2, 2, 2, 4);

    d->state = new ELabelWidget(QStringLiteral("Empty"));
    d->state->setFont(ECoreApp::instance()->font(4));
    d->state->setColortext(QColor(20, 40, 80));
    d->state->setAlignment(Qt::AlignCenter);
    d->state->setMinimumHeight(48);
    panelLayout->addItem(d->state);

    // People near the panel should not read the code off it, so it shows as dots unless the
    // installation asks for digits.
    const QString showDigits = ECoreApp::instance()->settings().optionalValue(
        QStringLiteral("keypad_show_digits"), QStringLiteral("false"));
    d->showDigits = showDigits.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                    showDigits == QLatin1String("1");
    d->code = new ELabelWidget;
    QFont codeFont = ECoreApp::instance()->font(3);
    codeFont.setLetterSpacing(QFont::AbsoluteSpacing, 4);
    d->code->setFont(codeFont);
    d->code->setColortext(Qt::black);
    d->code->setAlignment(Qt::AlignCenter);
    d->code->setMinimumHeight(56);
    panelLayout->addItem(d->code);

    auto addKey = [&](const QString &key, const QString &caption, int row, int column, int rowSpan,
                      int columnSpan) {
        auto *button = new SecureKeyButton(caption);
        button->setObjectName(key);
        grid->addWidget(button, row, column, rowSpan, columnSpan);
        d->buttons.insert(key, button);
        return button;
    };
    for (int digit = 1; digit <= 9; ++digit) {
        const QString text = QString::number(digit);
        SecureKeyButton *b = addKey(text, text, 4 + (digit - 1) / 3, 2 + (digit - 1) % 3, 1, 1);
        connect(b, &EBaseWidget::clicked, this, &SecureForm::AddNumber);
    }
    connect(addKey(QStringLiteral("0"), QStringLiteral("0"), 7, 2, 1, 2), &EBaseWidget::clicked,
            this, &SecureForm::AddNumber);
    connect(addKey(QStringLiteral("CE"), QStringLiteral("CE"), 7, 4, 1, 1), &EBaseWidget::clicked,
            this, &SecureForm::ClearNumber);
    SecureKeyButton *back = addKey(QStringLiteral("back"), QString(), 4, 5, 1, 1);
    back->setImage(QImage(QStringLiteral(":/resources/back.png")));
    // Without its picture the key still has to say what it does.
    if (QImage(QStringLiteral(":/resources/back.png")).isNull())
        back->setText(QStringLiteral("\u2190"));
    connect(back, &EBaseWidget::clicked, this, &SecureForm::BackNumber);
    SecureKeyButton *enter = addKey(QStringLiteral("Enter"), QStringLiteral("Enter"), 5, 5, 3, 1);
    enter->setFont(EStyle::font(22, true));
    connect(enter, &EBaseWidget::clicked, this, &SecureForm::TakeSecure);

    setPageLayout(grid);
    setCode(kEmptyCode);

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &SecureForm::changedLocale);
    retranslate();
}

void SecureForm::geometryUpdated()
{
    // On a low page the keys shrink, down to a size a finger still hits, before the page has to
    // scroll.
    const qreal height = size().height();
    const qreal fullHeight = kTitleRow + kWideGap + kPanelRows + 4 * kKeyRow;
    const qreal gap = height < fullHeight ? kNarrowGap : kWideGap;
    const qreal keyRow =
        qBound(kSmallestKeyRow, std::floor((height - kTitleRow - gap - kPanelRows) / 4), kKeyRow);
    d->grid->setRowFixedHeight(1, gap);
    for (int row = 4; row < 8; ++row)
        d->grid->setRowFixedHeight(row, keyRow);
    BaseForm::geometryUpdated();
}

SecureForm::~SecureForm() = default;

void SecureForm::setLink(QObject *link)
{
    d->updates->setLink(link);
}

QObject *SecureForm::link() const
{
    return d->updates->link();
}

QString SecureForm::codeText() const
{
    return d->typed;
}

QString SecureForm::shownCodeText() const
{
    return d->code->labelT();
}

void SecureForm::setCode(const QString &typed)
{
    d->typed = typed;
    if (d->showDigits)
        d->code->setLabelT(typed);
    else
        d->code->setLabelT(typed == kEmptyCode ? QString() : QString(typed.size(), kCodeDot));
}

QString SecureForm::stateText() const
{
    return d->state->labelT();
}

QGraphicsWidget *SecureForm::button(const QString &key) const
{
    return d->buttons.value(key);
}

void SecureForm::appendDigit(const QString &digit)
{
    const QString current = d->typed;
    if (current.size() >= kMaxCodeDigits)
        return;
    setCode(current == kEmptyCode ? digit : current + digit);
}

void SecureForm::AddNumber()
{
    if (auto *button = qobject_cast<SecureKeyButton *>(sender()))
        appendDigit(button->text());
}

void SecureForm::BackNumber()
{
    const QString current = d->typed;
    setCode(current.size() >= 2 ? current.chopped(1) : kEmptyCode);
}

void SecureForm::ClearNumber()
{
    setCode(kEmptyCode);
}

void SecureForm::TakeSecure()
{
    // At most nine digits, so the number always fits the controller's 32-bit word.
    const int code = d->typed.toInt();
    setCode(kEmptyCode);
    if (LinkCommands *commands = FormServices::linkCommands(link()))
        commands->WritePassword(code);
}

void SecureForm::readyToUpdateResVars(const ReservVariables &value)
{
    const QList<EAppSettings::SecureText> texts = ECoreApp::instance()->settings().secureTexts();
    for (const EAppSettings::SecureText &entry : texts) {
        if (entry.number == value.securityState) {
            d->state->setLabelT(entry.text);
            return;
        }
    }
    d->state->setLabelT(QString());
}

void SecureForm::changedLocale(const QString &)
{
    retranslate();
}

void SecureForm::applyTexts()
{
    d->title->setLabelT(localText(61090));
}

void SecureForm::connectLink()
{
    d->updates->subscribe();
}

void SecureForm::disconnectLink()
{
    d->updates->unsubscribe();
}

void SecureForm::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    retranslate();
    connectLink();
}

void SecureForm::hideEvent(QHideEvent *event)
{
    disconnectLink();
    BaseForm::hideEvent(event);
}
