// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "connsettform.h"

#include "controlerdata.h"
#include "controllertypes.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "egroupboxwidget.h"
#include "ehexnumericwidget.h"
#include "elabelwidget.h"
#include "elinearlayout.h"
#include "enumericwidget.h"
#include "exttoolwidget.h"
#include "formservices.h"
#include "linksubscription.h"

#include <QDateTime>
#include <QPointer>
#include <QSet>
#include <QTimer>

namespace {
// The ranges the link accepts when it starts: a field narrower than these would clamp a
// working stored value (the demo's port 1502) and corrupt it on the next save.
constexpr int kPortMin = 1;
constexpr int kPortMax = 65535;
constexpr int kPollingMin = 100;
constexpr int kPollingMax = 2000;
constexpr int kReconnectMax = 1000;
// Two columns of groups need about a thousand pixels: the address row alone is 450 wide.
constexpr qreal kTwoColumnWidth = 960;
// Field captions: beside the fields in half a page, and in a group as wide as a narrow page.
constexpr qreal kCaption = 170;
constexpr qreal kWideCaption = 250;
const char *const kOffsetMin = "0";
const char *const kOffsetMax = "5000";
// A port has at most five digits; typing stops there, and 65536..99999 is refused where it was
// typed instead of being stored as 65535.
constexpr int kPortDigits = 5;
const QString kEmptyClock = QStringLiteral("00.00.0000\r\n00:00:00");
// The panel's clock runs on its own: the status records that also refresh it stop while the
// controller is away, and a frozen or empty clock then looks like a broken panel.
constexpr int kPanelClockMs = 500;
} // namespace

struct ConnSettFormPrivate
{
    ELabelWidget *title = nullptr;
    EGroupBoxWidget *connectionGroup = nullptr;
    EGroupBoxWidget *timeGroup = nullptr;
    EGroupBoxWidget *otherGroup = nullptr;
    ELabelWidget *addressCaption = nullptr;
    ELabelWidget *portCaption = nullptr;
    ELabelWidget *pollingCaption = nullptr;
    ELabelWidget *offsetCaption = nullptr;
    ELabelWidget *reconnectCaption = nullptr;
    ELabelWidget *controllerCaption = nullptr;
    ELabelWidget *panelCaption = nullptr;
    ELabelWidget *note = nullptr;
    ELabelWidget *controllerClock = nullptr;
    ELabelWidget *panelClock = nullptr;
    ENumericWidget *address[4] = {};
    ENumericWidget *port = nullptr;
    ENumericWidget *polling = nullptr;
    ENumericWidget *reconnect = nullptr;
    EHexnumericWidget *offset = nullptr;
    ExtToolWidget *synchronize = nullptr;
    // The fields the person changed since the page was shown; only they are written back.
    QSet<QObject *> edited;
    QTimer panelClockTimer;
    std::unique_ptr<LinkSubscription> updates;
    // The groups stand in one column on narrow pages, in two on wide ones.
    bool narrow = false;
    EGridLayout *connectionGrid = nullptr;
    EGridLayout *otherGrid = nullptr;
};

namespace {
ELabelWidget *caption(EGridLayout *grid, int row, int column = 0, int columnSpan = 1)
{
    auto *label = new ELabelWidget;
    label->setFont(ECoreApp::instance()->font(0));
    label->setColortext(Qt::black);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->addWidget(label, row, column, 1, columnSpan);
    return label;
}

ENumericWidget *numberField(EGridLayout *grid, int row, int column, int columnSpan, int minimum,
                            int maximum)
{
    auto *field = new ENumericWidget;
    field->setDecimals(0);
    field->setRange(minimum, maximum);
    field->setStep(1);
    field->setModes(true, true, false);
    grid->addWidget(field, row, column, 1, columnSpan);
    return field;
}

// The port: whole numbers of at most five digits.
class PortField : public ENumericWidget
{
public:
    PortField()
    {
        setDecimals(0);
        setRange(kPortMin, kPortMax);
        setStep(1);
        setModes(true, true, false);
        setRefusesOutOfRange(true);
    }

protected:
    bool acceptsChar(QChar c) const override
    {
        return c.isDigit() && editText().size() < kPortDigits;
    }
};

// A titled frame whose content is laid out by `grid`.
EGroupBoxWidget *framedGroup(EGridLayout *grid)
{
    auto *box = new EGroupBoxWidget;
    box->setFont(ECoreApp::instance()->font(5));
    box->setColortext(Qt::black);
    auto *content = new QGraphicsWidget;
    content->setLayout(grid);
    box->setContentItem(content);
    return box;
}
} // namespace

ConnSettForm::ConnSettForm(QGraphicsItem *parent) : BaseForm(parent), d(new ConnSettFormPrivate)
{
    d->updates = std::make_unique<LinkSubscription>(this, SIGNAL(ReadyUpdateAlerts(ReservVariables)),
                                                  SLOT(readyToUpdateResVars(ReservVariables)));
    registerControllerTypes();

    auto *connection = d->connectionGrid = new EGridLayout;
    // Caption and four address parts fit the half of a 1024-pixel page the group gets.
    connection->setColumnSizes({kCaption, 70, 70, 70, 70, 0});
    connection->setRowSizes({44, 44, 44, 44, 0});
    d->addressCaption = caption(connection, 0);
    for (int i = 0; i < 4; ++i) {
        // Four parts side by side leave no room for step buttons; the parts are typed.
        d->address[i] = numberField(connection, 0, 1 + i, 1, 0, 255);
        d->address[i]->setModes(false, true, false);
        // A part typed out of range is refused where it was typed, not stored as 255.
        d->address[i]->setRefusesOutOfRange(true);
    }
    d->portCaption = caption(connection, 1);
    d->port = new PortField;
    connection->addWidget(d->port, 1, 1, 1, 3);
    d->pollingCaption = caption(connection, 2);
    d->polling = numberField(connection, 2, 1, 3, kPollingMin, kPollingMax);
    d->offsetCaption = caption(connection, 3);
    d->offset = new EHexnumericWidget;
    d->offset->setMin(QLatin1String(kOffsetMin));
    d->offset->setMax(QLatin1String(kOffsetMax));
    d->offset->setStepv(1);
    d->offset->setModes(true, true, false);
    connection->addWidget(d->offset, 3, 1, 1, 3);
    d->connectionGroup = framedGroup(connection);

    auto *other = d->otherGrid = new EGridLayout;
    other->setColumnSizes({kCaption, 70, 70, 70, 0});
    other->setRowSizes({44, 0});
    d->reconnectCaption = caption(other, 0);
    d->reconnect = numberField(other, 0, 1, 3, 0, kReconnectMax);
    d->otherGroup = framedGroup(other);

    auto *time = new EGridLayout;
    time->setColumnSizes({250, 0});
    time->setRowSizes({54, 54, 90, 50, 0});
    d->controllerCaption = caption(time, 0);
    d->controllerClock = caption(time, 0, 1);
    d->controllerClock->setFont(ECoreApp::instance()->font(4));
    d->panelCaption = caption(time, 1);
    d->panelClock = caption(time, 1, 1);
    d->panelClock->setFont(ECoreApp::instance()->font(4));
    d->note = caption(time, 2, 0, 2);
    d->note->setWordWrap(true);
    d->synchronize = new ExtToolWidget(QStringLiteral("check.png"), QString());
    d->synchronize->setFrameVisible(true);
    d->synchronize->setCaptionBeside(true);
    d->synchronize->setFont(ECoreApp::instance()->font(0));
    d->synchronize->setMinimumSize(220, 44);
    d->synchronize->setMaximumSize(220, 44);
    time->addWidget(d->synchronize, 3, 0, 1, 2, Qt::AlignLeft | Qt::AlignVCenter);
    d->timeGroup = framedGroup(time);

    d->title = new ELabelWidget;
    d->title->setFont(ECoreApp::instance()->font(1));
    d->title->setColortext(Qt::black);
    d->title->setAlignment(Qt::AlignCenter);
    arrange(false);

    for (ENumericWidget *field : {d->address[0], d->address[1], d->address[2], d->address[3],
                                  d->port, d->polling, d->reconnect})
        connect(field, &ENumericWidget::valueChanged, this,
                qOverload<double>(&ConnSettForm::valueChangedUpdate));
    connect(d->offset, &EHexnumericWidget::valueChanged, this,
            qOverload<const QString &>(&ConnSettForm::valueChangedUpdate));
    connect(d->synchronize, &EBaseWidget::clicked, this, &ConnSettForm::syncTime);
    d->panelClockTimer.setInterval(kPanelClockMs);
    connect(&d->panelClockTimer, &QTimer::timeout, this,
            [this] { d->panelClock->setLabelT(formatClock(QDateTime::currentDateTime())); });

    d->controllerClock->setLabelT(kEmptyClock);
    d->panelClock->setLabelT(kEmptyClock);
    fillFields();

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &ConnSettForm::changedLocale);
    retranslate();
}

void ConnSettForm::arrange(bool narrow)
{
    d->narrow = narrow;
    auto *grid = new EGridLayout;
    if (!narrow) {
        d->connectionGrid->setColumnFixedWidth(0, kCaption);
        d->otherGrid->setColumnFixedWidth(0, kCaption);
        grid->setColumnSizes({20, 0, 20, 0, 20});
        grid->setRowSizes({40, 240, 16, 100, 0});
        grid->setRowStretch(4, 1);
        grid->addWidget(d->title, 0, 0, 1, 5);
        grid->addWidget(d->connectionGroup, 1, 1);
        grid->addWidget(d->timeGroup, 1, 3, 3, 1);
        grid->addWidget(d->otherGroup, 3, 1);
        setPageLayout(grid);
        return;
    }
    // One column: the address alone needs more than half of a narrow page. The groups are then
    // as wide as the page, room enough for captions in longer languages.
    d->connectionGrid->setColumnFixedWidth(0, kWideCaption);
    d->otherGrid->setColumnFixedWidth(0, kWideCaption);
    auto *column = new ELinearLayout(Qt::Vertical);
    column->setSpacing(12);
    column->addWidget(d->connectionGroup);
    column->addWidget(d->otherGroup);
    column->addWidget(d->timeGroup);
    column->addSpacing(0);
    grid->setColumnSizes({16, 0, 16});
    grid->setRowSizes({40, 0});
    grid->addWidget(d->title, 0, 0, 1, 3);
    grid->addItem(column, 1, 1);
    setPageLayout(grid);
}

void ConnSettForm::geometryUpdated()
{
    const bool narrow = size().width() < kTwoColumnWidth;
    if (narrow != d->narrow)
        arrange(narrow);
    BaseForm::geometryUpdated();
}

ConnSettForm::~ConnSettForm() = default;

void ConnSettForm::setLink(QObject *link)
{
    d->updates->setLink(link);
}

QObject *ConnSettForm::link() const
{
    return d->updates->link();
}

bool ConnSettForm::isModified() const
{
    return !d->edited.isEmpty();
}

ENumericWidget *ConnSettForm::addressField(int part) const
{
    return part >= 0 && part < 4 ? d->address[part] : nullptr;
}

ENumericWidget *ConnSettForm::portField() const
{
    return d->port;
}

ENumericWidget *ConnSettForm::pollingField() const
{
    return d->polling;
}

ENumericWidget *ConnSettForm::reconnectField() const
{
    return d->reconnect;
}

EHexnumericWidget *ConnSettForm::offsetField() const
{
    return d->offset;
}

ExtToolWidget *ConnSettForm::synchronizeButton() const
{
    return d->synchronize;
}

QString ConnSettForm::controllerTimeText() const
{
    return d->controllerClock->labelT();
}

QString ConnSettForm::panelTimeText() const
{
    return d->panelClock->labelT();
}

QString ConnSettForm::formatClock(const QDateTime &time)
{
    if (!time.isValid())
        return kEmptyClock;
    return time.toString(QStringLiteral("dd.MM.yyyy\r\nhh:mm:ss"));
}

void ConnSettForm::fillFields()
{
    const EAppSettings &settings = ECoreApp::instance()->settings();
    const QStringList parts =
        settings.value(EAppSettings::IpAddress).toString().split(QLatin1Char('.'));
    if (parts.size() >= 4) {
        for (int i = 0; i < 4; ++i)
            d->address[i]->setValue(parts.at(i).trimmed().toInt());
    }
    d->port->setValue(settings.value(EAppSettings::IpPort).toInt());
    d->polling->setValue(settings.value(EAppSettings::Timeout).toInt());
    d->reconnect->setValue(settings.value(EAppSettings::ReconnectTime).toInt());
    d->offset->setVal(settings.value(EAppSettings::Offset).toString().trimmed());
}

void ConnSettForm::storeSettings()
{
    if (d->edited.isEmpty())
        return;
    EAppSettings &settings = ECoreApp::instance()->settings();
    auto integer = [](const ENumericWidget *field) { return qRound(field->value()); };
    if (d->edited.contains(d->port))
        settings.setValue(EAppSettings::IpPort, integer(d->port));
    if (d->edited.contains(d->polling))
        settings.setValue(EAppSettings::Timeout, integer(d->polling));
    if (d->edited.contains(d->reconnect))
        settings.setValue(EAppSettings::ReconnectTime, integer(d->reconnect));
    if (d->edited.contains(d->offset))
        settings.setValue(EAppSettings::Offset, d->offset->val());
    bool addressEdited = false;
    for (ENumericWidget *part : d->address)
        addressEdited = addressEdited || d->edited.contains(part);
    if (addressEdited) {
        QStringList parts;
        for (ENumericWidget *part : d->address)
            parts.append(QString::number(integer(part)));
        settings.setValue(EAppSettings::IpAddress, parts.join(QLatin1Char('.')));
    }
    d->edited.clear();
    // The running link takes the new peer, period and offset now rather than at the next start.
    if (auto *controller = qobject_cast<ControlerData *>(link()))
        controller->applyConnectionSettings(settings);
}

void ConnSettForm::readyToUpdateResVars(const ReservVariables &value)
{
    d->panelClock->setLabelT(formatClock(QDateTime::currentDateTime()));
    // The controller starts at 1970 until its clock is set; show nothing rather than that.
    const QDateTime controller = value.controllerTime;
    d->controllerClock->setLabelT(controller.isValid() && controller.toUTC().date().year() > 1970
                                      ? formatClock(controller.toLocalTime())
                                      : kEmptyClock);
}

void ConnSettForm::syncTime()
{
    const uint now = uint(QDateTime::currentSecsSinceEpoch());
    if (LinkCommands *commands = FormServices::linkCommands(link()))
        commands->SinchronizeTime(now);
}

void ConnSettForm::valueChangedUpdate(double)
{
    if (QObject *field = sender())
        d->edited.insert(field);
}

void ConnSettForm::valueChangedUpdate(const QString &)
{
    if (QObject *field = sender())
        d->edited.insert(field);
}

void ConnSettForm::changedLocale(const QString &)
{
    retranslate();
}

void ConnSettForm::applyTexts()
{
    d->title->setLabelT(localText(61040));
    d->connectionGroup->setLabelT(localText(61041));
    d->timeGroup->setLabelT(localText(61042));
    d->otherGroup->setLabelT(localText(61050));
    d->addressCaption->setLabelT(localText(61043));
    d->portCaption->setLabelT(localText(61044));
    d->pollingCaption->setLabelT(localText(61045));
    d->offsetCaption->setLabelT(localText(61046));
    d->reconnectCaption->setLabelT(localText(61051));
    d->controllerCaption->setLabelT(localText(61047));
    d->panelCaption->setLabelT(localText(61052));
    d->note->setLabelT(localText(61048));
    d->synchronize->setText(localText(61049));
}

void ConnSettForm::connectLink()
{
    d->updates->subscribe();
}

void ConnSettForm::disconnectLink()
{
    d->updates->unsubscribe();
}

void ConnSettForm::showEvent(QShowEvent *event)
{
    BaseForm::showEvent(event);
    d->edited.clear();
    d->controllerClock->setLabelT(kEmptyClock);
    d->panelClock->setLabelT(formatClock(QDateTime::currentDateTime()));
    d->panelClockTimer.start();
    retranslate();
    connectLink();
}

void ConnSettForm::hideEvent(QHideEvent *event)
{
    d->panelClockTimer.stop();
    disconnectLink();
    storeSettings();
    BaseForm::hideEvent(event);
}
