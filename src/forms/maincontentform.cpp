// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "maincontentform.h"

#include "adminaccess.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "egridlayout.h"
#include "eimagewidget.h"
#include "elabelwidget.h"
#include "estackwidget.h"
#include "extcalendarwidget.h"
#include "extroomformv1.h"
#include "exttoolwidget.h"
#include "formslog.h"
#include "maincontentworker.h"
#include "roomconstantsv1.h"

#include <QGraphicsLinearLayout>
#include <QLocale>
#include <QPainter>

namespace {

// Below this width the back button shows its icon only.
const qreal kWideBackButton = 870;

// Screens that change the configuration: with an administration PIN they open only to whoever
// gives it.
bool changesConfiguration(int index)
{
    return index == RoomConstantsV1::FormSettings || index == RoomConstantsV1::FormConnection;
}

QLocale programLocale()
{
    const QString language =
        ECoreApp::instance()->settings().value(EAppSettings::Language).toString();
    if (language.isEmpty() || language == QLatin1String("system"))
        return QLocale::system();
    return QLocale(language);
}

ExtToolWidget *barButton(const QString &icon, qreal width)
{
    auto *button = new ExtToolWidget(icon, QString());
    button->setCaptionColor(Qt::white);
    button->setShowCaption(true);
    button->setCaptionBeside(true);
    button->setMinimumWidth(width);
    button->setMaximumWidth(width);
    button->setPreferredWidth(width);
    return button;
}

} // namespace

MainContentForm::MainContentForm(QGraphicsItem *parent)
    : EGraphicsWidget(parent), m_worker(new MainContentWorker(this))
{
    auto *grid = new EGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    grid->setRowFixedHeight(0, kBarHeight);
    grid->setRowStretch(1, 1);

    auto *bar = new EGridLayout;
    bar->setContentsMargins(0, 0, 0, 0);
    bar->setSpacing(0);
    bar->setColumnStretch(0, 1);
    bar->setColumnFixedWidth(1, 570);
    m_back = barButton(QStringLiteral("back2.png"), 66);
    m_back->setCaptionColor(QColor(81, 150, 196));
    bar->addWidget(m_back, 0, 0, 1, 1, Qt::AlignLeft | Qt::AlignVCenter);

    auto *right = new QGraphicsLinearLayout(Qt::Horizontal);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    m_home = barButton(QStringLiteral("home.png"), 125);
    m_connection = barButton(QStringLiteral("connecting_ip1.png"), 135);
    m_alarm = barButton(QStringLiteral("alert_red.png"), 135);
    m_connection->setStatusLook(true);
    m_alarm->setStatusLook(true);
    m_calendar = new ExtCalendarWidget;
    m_calendar->setPreferredWidth(64);
    m_calendar->setMaximumWidth(64);
    m_clock = new ELabelWidget(QStringLiteral("20:00"));
    m_clock->setColortext(Qt::white);
    m_clock->setAlignment(Qt::AlignCenter);
    m_clock->setPreferredWidth(70);
    m_clock->setMaximumWidth(70);
    m_view = barButton(QStringLiteral("minimize.png"), 50);
    m_view->setShowCaption(false);
    m_view->setLongClickMode(true);
    // Anchored to the right edge: the group stays put when the home button hides at home.
    right->addStretch(1);
    for (QGraphicsLayoutItem *item : std::initializer_list<QGraphicsLayoutItem *>{
             m_home, m_connection, m_alarm, m_calendar, m_clock, m_view})
        right->addItem(item);
    bar->addItem(right, 0, 1);
    grid->addItem(bar, 0, 0);

    // The background picture shares the content cell with the page stack: a grid cell holds one
    // item, so the picture follows the stack's geometry instead of sitting in the layout.
    m_stack = new EStackWidget;
    grid->addWidget(m_stack, 1, 0);
    setLayout(grid);
    m_background = new EImageWidget(this);
    m_background->setAcceptedMouseButtons(Qt::NoButton);
    m_background->setZValue(-1);
    connect(m_stack, &EGraphicsWidget::onGeometryChanged, m_background,
            [this](const QRectF &rect) { m_background->setGeometry(rect); });

    connect(m_back, &EBaseWidget::clicked, this, &MainContentForm::gotoBack);
    connect(m_home, &EBaseWidget::clicked, this, &MainContentForm::GotoHome);
    connect(m_connection, &EBaseWidget::clicked, this, &MainContentForm::ShowConnections);
    connect(m_alarm, &EBaseWidget::clicked, this, &MainContentForm::ShowAlerts);
    connect(m_view, &EBaseWidget::clicked, this, &MainContentForm::showHideClicked);
    connect(m_view, &EBaseWidget::onLongClicked, this, &MainContentForm::onViewLongClicked);
    connect(m_stack, &EStackWidget::currentChanged, this, &MainContentForm::TabIndexChanged);

    connect(m_worker, &MainContentWorker::stackIndexChanged, this,
            &MainContentForm::stackIndexChanged);
    connect(m_worker, &MainContentWorker::stackTextChanged, this,
            &MainContentForm::stackTextChanged);
    connect(m_worker, &MainContentWorker::ChangeFone, this, &MainContentForm::ChangeFone);
    connect(m_worker, &MainContentWorker::updateRoom, this, &MainContentForm::updateRoomSettings);
    connect(m_worker, &MainContentWorker::finished, this, &MainContentForm::controlsIsLoaded);
    connect(m_worker, &MainContentWorker::createdSystemForms, this,
            &MainContentForm::systemFormsIsLoaded);
    connect(m_worker, &MainContentWorker::createdLights, this,
            &MainContentForm::lightFormsIsLoaded);
    connect(m_worker, &MainContentWorker::createdHeats, this, &MainContentForm::heatFormsIsLoaded);
    connect(m_worker, &MainContentWorker::createdSubForms, this,
            &MainContentForm::subsustemFormsIsLoaded);

    if (ELocale *locale = ECoreApp::instance()->locale())
        connect(locale, &ELocale::changedLocale, this, &MainContentForm::changedLocale);
    // Locked again after the idle time: a settings screen left open closes to the home page.
    connect(AdminAccess::events(), &AdminAccess::Events::relocked, this, [this] {
        if (changesConfiguration(m_stack->currentIndex()))
            m_stack->setCurrentIndex(MainContentWorker::kHomePage);
    });
    retranslate();
    updateBackButton();
}

MainContentForm::~MainContentForm() = default;

void MainContentForm::setFonts(const QFont &caption, const QFont &clock, const QFont &month,
                               const QFont &day)
{
    for (ExtToolWidget *button : {m_home, m_connection, m_alarm})
        button->setFont(caption);
    m_clock->setFont(clock);
    m_calendar->setFonts(month, day);
    m_back->setFont(ECoreApp::instance()->font(4));
}

void MainContentForm::createForms(RoomsV1 *rooms)
{
    m_worker->createElementForms(m_stack, rooms);
}

void MainContentForm::applyButton(ExtToolWidget *button, const ButtonState &state)
{
    button->setResourceImage(state.icon);
    QString text = state.textId ? localText(state.textId) : QString();
    if (!state.argument.isNull())
        text = state.textId ? text.arg(state.argument) : state.argument;
    // The language table writes line breaks as CR LF; the caption breaks on LF alone.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    button->setText(text);
    button->setEnabled(state.enabled);
}

void MainContentForm::setAlarmState(const ButtonState &state)
{
    m_alarmState = state;
    m_statusShown = true;
    applyButton(m_alarm, state);
}

void MainContentForm::setConnectionState(const ButtonState &state)
{
    m_connectionState = state;
    m_statusShown = true;
    applyButton(m_connection, state);
}

void MainContentForm::setDateTime(const QDateTime &now)
{
    const QString clock = now.toString(QStringLiteral("hh:mm"));
    if (clock != m_clock->labelT())
        m_clock->setLabelT(clock);
    const QLocale locale = programLocale();
    m_calendar->setDayText(locale.toString(now.date(), QStringLiteral("dd")));
    m_calendar->setMonthText(locale.toString(now.date(), QStringLiteral("MMM")));
}

QString MainContentForm::clockText() const
{
    return m_clock->labelT();
}

void MainContentForm::setViewButtonIcon(const QString &icon)
{
    m_view->setResourceImage(icon);
}

void MainContentForm::showControllerPage(int value)
{
    m_worker->selectControllerPage(value);
}

void MainContentForm::setPagesVisible(bool visible)
{
    m_stack->setVisible(visible);
    m_background->setVisible(visible);
}

void MainContentForm::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->fillRect(QRectF(0, 0, size().width(), kBarHeight), QColor(37, 40, 43));
}

void MainContentForm::changedLocale(const QString &)
{
    retranslate();
}

void MainContentForm::applyTexts()
{
    m_home->setText(localText(61016));
    // The back caption names a page in the language it was shown in: say it again.
    if (m_worker)
        m_worker->refreshBackCaption();
    if (m_statusShown) {
        applyButton(m_connection, m_connectionState);
        applyButton(m_alarm, m_alarmState);
        return;
    }
    m_connectionState = {QStringLiteral("connecting_ip1.png"), 61011, QString(), true};
    m_alarmState = {QStringLiteral("alert_red.png"), 61011, QString(), false};
    applyButton(m_connection, m_connectionState);
    applyButton(m_alarm, m_alarmState);
}

void MainContentForm::ChangeFone()
{
    const QString name = ECoreApp::instance()->settings().value(EAppSettings::FoneImage).toString();
    if (name.isEmpty())
        return;
    m_background->setFillMode(EImageWidget::Stretch);
    m_background->setSource(ECoreApp::instance()->backgroundImagePath(name));
}

void MainContentForm::stackIndexChanged(int index)
{
    if (index < 0 || index >= m_stack->count() || index == m_stack->currentIndex())
        return;
    if (changesConfiguration(index) && !AdminAccess::isUnlocked()) {
        AdminAccess::request(this, [this, index] { stackIndexChanged(index); });
        return;
    }
    m_stack->setCurrentIndex(index);
}

void MainContentForm::stackTextChanged(const QString &text)
{
    m_back->setText(text);
}

void MainContentForm::updateRoomSettings(int index)
{
    if (ExtRoomFormV1 *form = m_worker->createdRoomForm(index))
        form->updateSettings();
}

void MainContentForm::controlsIsLoaded()
{
    emit controlsFinished();
}

void MainContentForm::systemFormsIsLoaded()
{
    emit systemFormsFinished();
}

void MainContentForm::lightFormsIsLoaded()
{
    emit lightFormsFinished();
}

void MainContentForm::heatFormsIsLoaded()
{
    emit heatFormsFinished();
}

void MainContentForm::subsustemFormsIsLoaded()
{
    emit subsystemFormsFinished();
}

void MainContentForm::ShowAlerts()
{
    if (m_alarm->isEnabled() && m_stack->isVisible())
        stackIndexChanged(m_alarmState.security ? RoomConstantsV1::FormSecure
                                                : RoomConstantsV1::FormAlerts);
}

void MainContentForm::GotoHome()
{
    if (!m_home->isEnabled())
        return;
    stackIndexChanged(MainContentWorker::kHomePage);
    m_home->hide();
    m_home->setEnabled(false);
}

void MainContentForm::ShowConnections()
{
    if (m_connection->isEnabled() && m_stack->isVisible())
        stackIndexChanged(4);
}

void MainContentForm::CloseSystem()
{
    stackIndexChanged(MainContentWorker::kHomePage);
}

void MainContentForm::TabIndexChanged(int index)
{
    qCDebug(lcForms, "page %d shown", index);
    const bool away = index != MainContentWorker::kHomePage;
    m_home->setVisible(away);
    m_home->setEnabled(away);
    m_back->setEnabled(away);
    m_worker->TabIndexChanged(index);
}

void MainContentForm::gotoBack()
{
    m_worker->gotoBack();
}

void MainContentForm::ResetHideTimer()
{
    m_inactivity = 0;
}

void MainContentForm::geometryUpdated()
{
    EGraphicsWidget::geometryUpdated();
    updateBackButton();
}

void MainContentForm::updateBackButton()
{
    const bool wide = size().width() >= kWideBackButton;
    const qreal width = wide ? 300 : 66;
    m_back->setShowCaption(wide);
    // The minimum stays narrow: a wide minimum would hold the form at the threshold width.
    m_back->setMinimumWidth(66);
    m_back->setMaximumWidth(width);
    m_back->setPreferredWidth(width);
}
