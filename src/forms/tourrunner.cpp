// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "tourrunner.h"

#include "ecoreapp.h"
#include "estackwidget.h"
#include "maincontentform.h"
#include "maincontentworker.h"
#include "mainwindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>

namespace {
// Time for the first status answer before the pictures start, and for a shown page to receive its
// first live values; a tour against a silent controller still finishes, showing that state.
const int kLinkWaitSteps = 30;
const int kStepMs = 100;
const int kPageSettleMs = 700;
} // namespace

TourRunner::TourRunner(MainWindow *window, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_window(window)
    , m_folder(folder)
{
    connect(window, &MainWindow::loadingFailed, this,
            [this](const QString &message) { finish(2, message); });
    // Connected up front: the standard configuration loads on the window's own first timer.
    connect(window, &MainWindow::controlsReady, this, &TourRunner::waitForLink,
            Qt::QueuedConnection);
}

QString TourRunner::pictureName(int index, const QString &title)
{
    QString slug = title.toLower();
    slug.replace(QRegularExpression(QStringLiteral("[^\\w]+"), QRegularExpression::UseUnicodePropertiesOption),
                 QStringLiteral("-"));
    slug.remove(QRegularExpression(QStringLiteral("^-+|-+$")));
    if (slug.isEmpty())
        slug = QStringLiteral("page");
    return QStringLiteral("%1-%2.png").arg(index, 2, 10, QLatin1Char('0')).arg(slug);
}

void TourRunner::start()
{
    if (!QDir().mkpath(m_folder)) {
        finish(2, QStringLiteral("cannot create the folder ") + m_folder);
        return;
    }
    QTimer::singleShot(0, this, &TourRunner::loadConfiguration);
}

void TourRunner::loadConfiguration()
{
    ECoreApp *app = ECoreApp::instance();
    switch (app->startMode()) {
    case StartMode::Demo:
        snap(QStringLiteral("splash.png"));
        m_window->loadEngDemoConfig();
        break;
    case StartMode::Multi:
        snap(QStringLiteral("selector.png"));
        if (app->multiConfigurations().entries.isEmpty()) {
            finish(2, QStringLiteral("multi.xml lists no configuration"));
            return;
        }
        m_window->loadMultiConfigs(app->multiConfigurations().entries.first()->name);
        break;
    case StartMode::Standard:
        // The window schedules the standard load itself.
        break;
    }
}

void TourRunner::waitForLink()
{
    if (m_done)
        return;
    const auto state = m_window->mainContent()->connectionState();
    const bool answered = state.icon.startsWith(QLatin1String("connected"));
    if (!answered && ++m_waited < kLinkWaitSteps) {
        QTimer::singleShot(kStepMs, this, &TourRunner::waitForLink);
        return;
    }
    showPage(0);
}

void TourRunner::showPage(int index)
{
    if (m_done)
        return;
    EStackWidget *stack = m_window->mainContent()->stack();
    if (index >= stack->count()) {
        // The tour ends where a person starts: on the home page.
        stack->setCurrentIndex(MainContentWorker::kHomePage);
        finish(0);
        return;
    }
    stack->setCurrentIndex(index);
    QTimer::singleShot(kPageSettleMs, this, [this, index] {
        MainContentWorker *worker = m_window->mainContent()->worker();
        // The history page's picture is found by that word whatever the language.
        const QString title =
            index == worker->historyPage() ? QStringLiteral("history") : worker->pageTitle(index);
        if (!snap(pictureName(index, title))) {
            finish(3, QStringLiteral("cannot write pictures into ") + m_folder);
            return;
        }
        showPage(index + 1);
    });
}

bool TourRunner::snap(const QString &name)
{
    const QPixmap picture = m_window->grab();
    if (picture.isNull() || !picture.save(QDir(m_folder).filePath(name)))
        return false;
    ++m_written;
    return true;
}

void TourRunner::finish(int exitCode, const QString &message)
{
    if (m_done)
        return;
    m_done = true;
    QTextStream err(stderr);
    if (!message.isEmpty())
        err << "verandix: tour: " << message << "\n";
    else
        err << "verandix: tour: " << m_written << " pictures in " << m_folder << "\n";
    err.flush();
    emit finished(exitCode);
}
