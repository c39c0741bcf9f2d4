// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "alertform.h"

#include "controlerdata.h"
#include "controllermap.h"
#include "controllertypes.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "eradiobuttonwidget.h"
#include "etableitem.h"
#include "etablewidget.h"
#include "formservices.h"
#include "linksubscription.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QPointer>
#include <cmath>

namespace {
// State byte of a message as the controller reports it.
constexpr quint8 kStateActive = 1 << 2;
constexpr quint8 kStateAlarm = 1 << 3;
constexpr quint8 kStateSms = 1 << 4;
constexpr quint8 kStateSiren = 1 << 5;
constexpr quint8 kStateNotified = 1 << 7;
// The table follows the controller at most once a second; faster it only flickers.
constexpr qint64 kRefreshPaceMs = 1000;
// Alarm ids travel as one byte.
constexpr int kMaxRows = 255;
constexpr int kTextGenericAlarm = 61526;
constexpr quint8 kNoAlarmsReported = ControllerMap::kNoAlarms;
constexpr qreal kRowHeight = 25;

QImage resourceImage(const char *name)
{
    return QImage(QStringLiteral(":/resources/") + QLatin1String(name));
}
} // namespace

struct AlertFormPrivate
{
    ELabelWidget *title = nullptr;
    ELabelWidget *current = nullptr;
    EIconWidget *history = nullptr;
    ERadioButtonWidget *radios[3] = {};
    ETableWidget *table = nullptr;
    QList<AlertStruct> messages;
    qint64 lastRefresh = 0;
    QImage alarmImage;
    QImage messageImage;
    QImage acceptedImage;
    QImage declinedImage;
    std::function<qint64()> clock;
    std::unique_ptr<LinkSubscription> updates;
    int filter = 2;
};

AlertForm::AlertForm(QGraphicsItem *parent) : BaseForm(parent), d(new AlertFormPrivate)
{
    d->updates =
        std::make_unique<LinkSubscription>(this, SIGNAL(ReadyUpdateAlerts(ReservVariables)),
                                           SLOT(readyToUpdateResVars(ReservVariables)));
    registerControllerTypes();
    d->clock = [] { return QDateTime::currentMSecsSinceEpoch(); };
    d->alarmImage = resourceImage("alert_red.png");
    d->messageImage = resourceImage("onebit_message.png");
    d->acceptedImage = resourceImage("onebit_accepted.png");
    d->declinedImage = resourceImage("onebit_decline.png");

    const EAppSettings &settings = ECoreApp::instance()->settings();
    for (const EAppSettings::MessageText &m : settings.messages()) {
        AlertStruct alert;
        alert.id = m.id;
        alert.text = m.text;
        alert.minimum = m.minimum;
        alert.maximum = m.maximum;
        d->messages.append(alert);
    }

    auto *grid = new EGridLayout;
    // Wider than the bare minimum so that the radio captions do not run into each other, in
    // the longer Russian captions too.
    grid->setColumnSizes({10, 30, 100, 180, 160, 0, 212, 30, 10});
    grid->setRowSizes({40, 30, 0, 10});
    grid->setRowStretch(2, 1);

    d->title = new ELabelWidget;
    d->title->setFont(ECoreApp::instance()->font(1));
    d->title->setColortext(Qt::black);
    d->title->setAlignment(Qt::AlignCenter);
    grid->addWidget(d->title, 0, 0, 1, 6);

    // A text button: the caption of a pictureless icon button sits on its bottom margin, so
    // equal margins centre it.
    d->history = new EIconWidget;
    d->history->setFrameVisible(true);
    d->history->setFont(ECoreApp::instance()->font(0));
    d->history->setText(QStringLiteral("History"));
    const qreal line = QFontMetricsF(d->history->font()).height();
    d->history->setMargins(4, (34 - line) / 2, 4, (34 - line) / 2);
    d->history->setMinimumSize(120, 34);
    d->history->setMaximumSize(160, 34);
    grid->addWidget(d->history, 0, 6, 1, 2, Qt::AlignRight | Qt::AlignVCenter);
    connect(d->history, &EBaseWidget::clicked, this, &AlertForm::historyClicked);

    const char *const radioTexts[] = {"all elements", "active messages", "active alerts"};
    const int radioColumns[][2] = {{1, 2}, {3, 1}, {4, 1}};
    for (int i = 0; i < 3; ++i) {
        auto *radio = new ERadioButtonWidget;
        radio->setText(QLatin1String(radioTexts[i]));
        radio->setColortext(Qt::black);
        radio->setFont(ECoreApp::instance()->font(0));
        grid->addWidget(radio, 1, radioColumns[i][0], 1, radioColumns[i][1]);
        d->radios[i] = radio;
    }
    connect(d->radios[0], &ERadioButtonWidget::valueChanged, this, &AlertForm::showAll);
    connect(d->radios[1], &ERadioButtonWidget::valueChanged, this, &AlertForm::showMessa);
    connect(d->radios[2], &ERadioButtonWidget::valueChanged, this, &AlertForm::showError);

    d->current = new ELabelWidget;
    d->current->setFont(ECoreApp::instance()->font(0));
    d->current->setColortext(Qt::black);
    d->current->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(d->current, 1, 6, 1, 2);

    d->table = new ETableWidget;
    d->table->setColumnCount(ColumnCount);
    d->table->setRowHeight(kRowHeight);
    // Time and parameter columns fit a whole date and a six-digit value.
    const qreal widths[ColumnCount] = {40, 160, 0, 90, 50, 70, 70, 70, 80};
    for (int c = 0; c < ColumnCount; ++c)
        d->table->setColumnWidth(c, widths[c]);
    d->table->setHeaderTexts(
        {QStringLiteral("ID"), QStringLiteral("Time"), QStringLiteral("Description"),
         QStringLiteral("Parameter"), QStringLiteral("Type"), QStringLiteral("Active"),
         QStringLiteral("SMS"), QStringLiteral("Siren"), QStringLiteral("Notified")});
    const int rows = qMin<int>(d->messages.size(), kMaxRows);
    for (int i = 0; i < rows; ++i)
        appendMessageRow(d->messages.at(i));
    const bool hideColumns = settings.value(EAppSettings::IsHideAlertColumns).toBool();
    for (int c : {SmsColumn, SirenColumn, NotifiedColumn})
        d->table->setColumnHidden(c, hideColumns);
    connect(d->table, &ETableWidget::cellItemChanged, this, &AlertForm::cellItemChanged);
    grid->addWidget(d->table, 2, 1, 1, 7);

    setLayout(grid);
    d->radios[2]->setChecked(true);

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &AlertForm::changedLocale);
    retranslate();
}

AlertForm::~AlertForm() = default;

void AlertForm::appendMessageRow(const AlertStruct &m)
{
    // An id the configuration has no text for is still an alarm the controller raised: it is
    // listed under a generic name rather than left out.
    auto *description =
        ETableItem::text(m.text.isEmpty() ? localText(kTextGenericAlarm).arg(m.id) : m.text);
    description->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int row = d->table->appendRow(
        {ETableItem::text(QString::number(m.id)), ETableItem::text(QStringLiteral("-")),
         description, ETableItem::text(QStringLiteral("0")), ETableItem::image(d->messageImage),
         ETableItem::check(false), ETableItem::check(false), ETableItem::check(false),
         ETableItem::image(d->declinedImage)});
    // Rows of messages the controller has not reported yet stay out of every filter.
    d->table->setRowHidden(row, true);
}

void AlertForm::setLink(QObject *link)
{
    d->updates->setLink(link);
}

QObject *AlertForm::link() const
{
    return d->updates->link();
}

void AlertForm::setClock(const std::function<qint64()> &clock)
{
    if (clock)
        d->clock = clock;
}

ETableWidget *AlertForm::table() const
{
    return d->table;
}

QString AlertForm::currentAlertText() const
{
    return d->current->labelT();
}

ERadioButtonWidget *AlertForm::filterButton(int index) const
{
    return index >= 0 && index < 3 ? d->radios[index] : nullptr;
}

EIconWidget *AlertForm::historyButton() const
{
    return d->history;
}

QString AlertForm::formatParameter(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    // Rounded to a millionth first so that binary fractions such as 0.29 * 100 = 28.999...
    // are not cut one hundredth short.
    const double micro = std::round(value * 1e6);
    const double hundredths = std::trunc(micro / 1e4);
    const double cut = hundredths / 100.0;
    return QString::number(cut == 0 ? 0.0 : cut, 'g', 6);
}

bool AlertForm::rowPasses(int row) const
{
    if (row < 0 || row >= d->messages.size())
        return false;
    const AlertStruct &m = d->messages.at(row);
    if (!m.active)
        return false;
    const quint8 s = m.stateByte;
    switch (d->filter) {
    case int(Filter::Messages):
        return (s & kStateActive) && !(s & kStateAlarm);
    case int(Filter::Alarms):
        return (s & kStateActive) && (s & kStateAlarm);
    default:
        return true;
    }
}

void AlertForm::readyToUpdateResVars(const ReservVariables &value)
{
    d->messages = value.messages;
    const qint64 now = d->clock();
    if (now - d->lastRefresh <= kRefreshPaceMs)
        return;
    d->lastRefresh = now;

    // With no alarm left the controller's message byte keeps the last one: nothing is current.
    d->current->setLabelT(localText(61201).arg(value.alarmCount == kNoAlarmsReported
                                                   ? QString()
                                                   : QString::number(value.currentMessageId)));
    // Messages the link learnt from the controller beyond the configured list get rows too.
    while (d->table->rowCount() < qMin<int>(d->messages.size(), kMaxRows))
        appendMessageRow(d->messages.at(d->table->rowCount()));
    const int rows = qMin(d->table->rowCount(), d->messages.size());
    for (int row = 0; row < rows; ++row) {
        const AlertStruct &m = d->messages.at(row);
        const quint8 s = m.stateByte;
        if (ETableItem *item = d->table->item(row, TimeColumn)) {
            item->setText(m.value != 0 ? QDateTime::fromSecsSinceEpoch(m.value, Qt::UTC)
                                             .toLocalTime()
                                             .toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"))
                                       : QStringLiteral("-"));
        }
        if (ETableItem *item = d->table->item(row, ParameterColumn))
            item->setText(formatParameter(m.scaledValue()));
        if (ETableItem *item = d->table->item(row, TypeColumn))
            item->setImage((s & kStateAlarm) ? d->alarmImage : d->messageImage);
        if (ETableItem *item = d->table->item(row, ActiveColumn))
            item->setChecked(s & kStateActive);
        if (ETableItem *item = d->table->item(row, SmsColumn))
            item->setChecked(s & kStateSms);
        if (ETableItem *item = d->table->item(row, SirenColumn))
            item->setChecked(s & kStateSiren);
        if (ETableItem *item = d->table->item(row, NotifiedColumn))
            item->setImage((s & kStateNotified) ? d->acceptedImage : d->declinedImage);
        d->table->setRowHidden(row, !rowPasses(row));
    }
}

void AlertForm::applyFilter(Filter filter)
{
    d->filter = int(filter);
    const int rows = d->table->rowCount();
    for (int row = 0; row < rows; ++row)
        d->table->setRowHidden(row, false);
    for (int row = 0; row < rows; ++row)
        d->table->setRowHidden(row, !rowPasses(row));
}

void AlertForm::showAll(bool val)
{
    if (val)
        applyFilter(Filter::All);
}

void AlertForm::showMessa(bool val)
{
    if (val)
        applyFilter(Filter::Messages);
}

void AlertForm::showError(bool val)
{
    if (val)
        applyFilter(Filter::Alarms);
}

void AlertForm::cellItemChanged(ETableItem *, int row, int column, bool val)
{
    if (row < 0 || row >= d->messages.size() || row >= kMaxRows || column < 0 ||
        column >= ColumnCount)
        return;
    const AlertStruct &m = d->messages.at(row);
    quint8 s = m.stateByte;
    switch (column) {
    case SmsColumn:
        s = val ? (s | kStateSms) : (s & ~kStateSms);
        break;
    case SirenColumn:
        s = val ? (s | kStateSiren) : (s & ~kStateSiren);
        break;
    case ActiveColumn:
        // The panel may switch an alarm off, never on: only the controller raises alarms.
        if (!val)
            s &= ~kStateActive;
        break;
    default:
        break;
    }
    if (LinkCommands *commands = FormServices::linkCommands(link()))
        commands->WriteAlarm(m.id, char(s));
}

void AlertForm::closeControls()
{
    emit CloseClicked();
}

void AlertForm::changedLocale(const QString &)
{
    retranslate();
}

void AlertForm::applyTexts()
{
    const int ids[] = {61110, 61116, 61117, 61119, 61118, 61120, 61121, 61122};
    for (int c = TimeColumn; c < ColumnCount; ++c)
        d->table->setHeaderText(c, localText(ids[c - TimeColumn]));
    d->title->setLabelT(localText(61200));
    d->current->setLabelT(localText(61201).arg(QString()));
    d->radios[0]->setText(localText(61202));
    d->radios[1]->setText(localText(61203));
    d->radios[2]->setText(localText(61204));
    const QString history = localText(61300);
    if (!history.isEmpty())
        d->history->setText(history);
}

void AlertForm::connectLink()
{
    d->updates->subscribe();
}

void AlertForm::disconnectLink()
{
    d->updates->unsubscribe();
}

void AlertForm::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    retranslate();
    d->lastRefresh = d->clock();
    d->radios[2]->setChecked(true);
    connectLink();
}

void AlertForm::hideEvent(QHideEvent *event)
{
    disconnectLink();
    BaseForm::hideEvent(event);
}
