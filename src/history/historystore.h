// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "historytypes.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class ArchiveIndex;
class AlarmLogStore;

// Answers the history screen's questions from a configuration folder's archive and alarm log:
// the lines of up to four parameters over a time range, decimated to the pixels shown, and the
// alarm events of the range. It is meant to live in a thread of its own (the first reading of a
// year of files takes a second); the screen calls request() queued and hears back through
// resultReady(). A request overtaken by a newer one before it started is dropped.
class HistoryStore : public QObject
{
    Q_OBJECT
public:
    explicit HistoryStore(const QString &configurationFolder, QObject *parent = nullptr);
    ~HistoryStore() override;

    QString configurationFolder() const;
    // The clock that decides which day's files may still grow; tests set their own.
    void setClock(const std::function<QDateTime()> &clock);

    // Answers in the calling thread.
    HistoryResult compute(const HistoryQuery &query);
    const ArchiveIndex &index() const;

    // Requests with a smaller serial than this are dropped unread. Any thread may set it.
    void setLatestSerial(quint64 serial) { m_latest.store(serial); }

    // Queued entry points, run in the store's thread.
    void request(const HistoryQuery &query);
    // The screen's way in and out, from any thread: a query is left in a mailbox and answered in
    // the store's thread (a newer one replaces one not yet started); the answer is left in the
    // mailbox for takeResult() after resultAvailable(). The mailbox's own lock orders what
    // crosses the threads, where the queued values alone would rely on Qt's internal queue.
    void post(const HistoryQuery &query);
    bool takeResult(HistoryResult *result);
    // Writes the rows and events of [from, to] for the given parameters (id and caption) into
    // `folder`; reports the paths written.
    void exportRange(qint64 from, qint64 to, const QVector<int> &ids, const QStringList &names,
                     const QString &folder);

signals:
    void resultReady(const HistoryResult &result);
    void resultAvailable();
    void queryPosted();
    void exportFinished(const QStringList &paths, const QString &error);

private:
    void runPosted();

    struct Private;
    std::unique_ptr<Private> d;
    std::atomic<quint64> m_latest{0};
    std::mutex m_mailbox;
    std::optional<HistoryQuery> m_postedQuery;
    std::optional<HistoryResult> m_result;
};
