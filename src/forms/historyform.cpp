// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "historyform.h"

#include "controlerdata.h"
#include "controllertypes.h"
#include "demohistory.h"
#include "eappsettings.h"
#include "ecoreapp.h"
#include "formservices.h"
#include "historyscreen.h"

#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QThread>

namespace {

Q_LOGGING_CATEGORY(lcHistoryForm, "verandix.forms.history", QtWarningMsg)

// Header captions of the archive and the alarm log, by language table id, as the writers use.
constexpr int kProgramTime = 61111;
constexpr int kControllerTime = 61112;
constexpr int kData = 61113;
// How long the demo's past waits for the controller's first values before it is written anyway.
constexpr int kJoinWaitMs = 3000;
const int kAlarmCaptions[] = {61114, 61111, 61115, 61116, 61117, 61118, 61119, 61120, 61121, 61122};

} // namespace

HistoryForm::HistoryForm(QGraphicsItem *parent) : BaseForm(parent), m_screen(new HistoryScreen)
{
    setContentItem(m_screen);
    ECoreApp *app = ECoreApp::instance();
    const QString folder = FormServices::logFolder();
    if (app->startMode() == StartMode::Demo && !folder.isEmpty() &&
        DemoHistory::isStale(folder, QDateTime::currentDateTime())) {
        // The past ends where the controller's present begins: written at its first status
        // record, before the panel's archive writer (connected after this page was made)
        // appends that record's row. Without an answer soon, the curves end as they are.
        const auto writePast = [this, folder](const QMap<int, double> &current) {
            disconnect(m_firstValues);
            m_joinWait.stop();
            prepareDemoHistory(folder, QDateTime::currentDateTime(), current);
        };
        if (ControlerData *link = FormServices::link()) {
            m_firstValues = connect(link, &ControlerData::ReadyUpdateAlerts, this,
                                    [writePast](const ReservVariables &record) {
                                        writePast(archiveValues(record));
                                    });
            m_joinWait.setSingleShot(true);
            m_joinWait.setInterval(kJoinWaitMs);
            connect(&m_joinWait, &QTimer::timeout, this, [writePast] { writePast({}); });
            m_joinWait.start();
        } else {
            writePast({});
        }
    }

    QList<HistoryScreen::Parameter> parameters;
    for (const EAppSettings::MessageText &p : app->settings().parameters())
        parameters.append({p.id, p.text});
    m_screen->setParameters(parameters);
    if (!folder.isEmpty())
        m_screen->setConfigurationFolder(folder);
}

HistoryForm::~HistoryForm()
{
    // The files of the past are being written into the demo's folder: finish them whole.
    waitForDemoHistory();
    delete m_demoWriter;
}

bool HistoryForm::waitForDemoHistory(int ms)
{
    if (!m_demoWriter)
        return true;
    return ms < 0 ? m_demoWriter->wait() : m_demoWriter->wait(ms);
}

QMap<int, double> HistoryForm::archiveValues(const ReservVariables &record)
{
    // As the archive writer records them: scaled over a parameter record's range, else the byte.
    QMap<int, double> values;
    const QList<EAppSettings::MessageText> records =
        ECoreApp::instance()->settings().parameters();
    for (int id = 1; id <= qMin(16, int(record.parameterBytes.size())); ++id) {
        const quint8 byte = quint8(record.parameterBytes.at(id - 1));
        double value = byte;
        for (const EAppSettings::MessageText &p : records) {
            if (p.id == id)
                value = (p.maximum - p.minimum) * (byte / 255.0) + p.minimum;
        }
        values.insert(id, value);
    }
    return values;
}

bool HistoryForm::prepareDemoHistory(const QString &folder, const QDateTime &now,
                                     const QMap<int, double> &current)
{
    if (m_demoWriter || !DemoHistory::isStale(folder, now))
        return false;
    // The demo's folder is its own temporary one: what an earlier day's demo left there goes, so
    // the new past joins the present without a seam.
    DemoHistory::clear(folder);
    const EAppSettings &settings = ECoreApp::instance()->settings();
    QList<DemoHistory::Record> parameters;
    QStringList archiveCaptions{FormServices::text(kProgramTime),
                                FormServices::text(kControllerTime)};
    const QList<EAppSettings::MessageText> records = settings.parameters();
    for (int id = 1; id <= 16; ++id) {
        QString caption = FormServices::text(kData) + QLatin1Char(' ') + QString::number(id);
        for (const EAppSettings::MessageText &p : records) {
            if (p.id == id) {
                parameters.append({p.id, p.text, p.minimum, p.maximum});
                caption = p.text;
            }
        }
        archiveCaptions << caption;
    }
    QList<DemoHistory::Record> messages;
    for (const EAppSettings::MessageText &m : settings.messages())
        messages.append({m.id, m.text, m.minimum, m.maximum});
    QStringList alarmCaptions;
    for (int id : kAlarmCaptions)
        alarmCaptions << FormServices::text(id);

    // Today at once: the panel's own writers append to today's files as soon as the link runs.
    QElapsedTimer timer;
    timer.start();
    DemoHistory::Plan today;
    today.end = now;
    today.days = 1;
    today.joinValues = current;
    today.joinAt = now;
    const DemoHistory::Written written =
        DemoHistory::write(folder, parameters, messages, archiveCaptions, alarmCaptions, today);
    qCDebug(lcHistoryForm) << "demo history of today:" << written.rows << "rows in"
                           << timer.elapsed() << "ms";

    // The days before in the background (about half a second of work): nothing else writes
    // them, and each file appears whole.
    DemoHistory::Plan past;
    past.end = QDateTime(now.date(), QTime(0, 0)).addSecs(-1);
    past.days = 364;
    past.fineDays = 1;
    past.joinValues = current;
    past.joinAt = now;
    m_demoWriter = QThread::create([=] {
        QElapsedTimer t;
        t.start();
        const DemoHistory::Written w =
            DemoHistory::write(folder, parameters, messages, archiveCaptions, alarmCaptions, past);
        qCDebug(lcHistoryForm) << "demo history of the year before:" << w.rows << "rows,"
                               << w.events << "events," << w.bytes << "bytes in" << t.elapsed()
                               << "ms";
    });
    m_demoWriter->setObjectName(QStringLiteral("demo history"));
    connect(m_demoWriter, &QThread::finished, m_screen, &HistoryScreen::refresh);
    m_demoWriter->start(QThread::LowPriority);
    return true;
}
