// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QImage>
#include <QObject>
#include <QSize>

#include <memory>

class EImageWidget;
struct PlanCachePrivate;

// The plan pictures of the room screens, decoded at the size they are drawn and kept in memory
// up to a budget in bytes (the setting "plan_cache_mb", 128 MiB by default). A screen hands its
// plan widget over when it is shown; the cache sets the picture and follows the widget's size.
// Past the budget the least recently shown pictures go and the hidden widgets that showed them
// let go of them too; the picture of a widget on screen and the few most recently shown ones
// always stay, so going back is as quick as going forward. A widget whose picture went gets it
// again, decoded anew, when it is shown next. GUI thread only.
class PlanCache : public QObject
{
    Q_OBJECT
public:
    static constexpr int kDefaultBudgetMiB = 128;
    // Pictures kept whatever the budget: the shown page and its nearest neighbours in time.
    static constexpr int kKeptRecent = 3;

    // The one cache of the process, created on first use.
    static PlanCache *instance();

    explicit PlanCache(QObject *parent = nullptr);
    ~PlanCache() override;

    void setBudgetBytes(qint64 bytes);
    qint64 budgetBytes() const;
    // Bytes of the pictures held now.
    qint64 heldBytes() const;
    int pictureCount() const;
    // Pictures decoded from their files since construction (a hit decodes nothing).
    int decodeCount() const;

    // Shows the picture at `path` in `widget`, at the widget's size (the file's own size while
    // the widget has none yet), and keeps it fitted when the widget is resized. An empty path
    // clears the widget. A file that cannot be read shows the program's missing-picture sign.
    void show(EImageWidget *widget, const QString &path);

    // Decodes the picture at `path` to cover `size` exactly (the file's size when `size` is
    // empty); the missing-picture sign when the file cannot be read.
    static QImage decode(const QString &path, const QSize &size);

private:
    void refit(EImageWidget *widget);
    void trim();

    std::unique_ptr<PlanCachePrivate> d;
};
