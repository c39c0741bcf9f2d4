// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "plancache.h"

#include "corenames.h"
#include "ecoreapp.h"
#include "eimagewidget.h"
#include "picturereader.h"

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QSet>

#include <list>

namespace {

struct Key
{
    QString path;
    QSize size;
    bool operator==(const Key &o) const { return path == o.path && size == o.size; }
};

uint qHash(const Key &key, uint seed = 0)
{
    return ::qHash(key.path, seed) ^ ::qHash(key.size.width() * 65599 + key.size.height(), seed);
}

struct Entry
{
    Key key;
    QImage image;
};

struct Binding
{
    QPointer<EImageWidget> widget;
    QString path;
    Key shown; // what the widget holds now; an empty path when nothing
};

} // namespace

struct PlanCachePrivate
{
    qint64 budget = qint64(PlanCache::kDefaultBudgetMiB) * 1024 * 1024;
    qint64 held = 0;
    int decodes = 0;
    // Most recently shown first.
    std::list<Entry> entries;
    QHash<Key, std::list<Entry>::iterator> index;
    QHash<EImageWidget *, Binding> bindings;
};

PlanCache *PlanCache::instance()
{
    static QPointer<PlanCache> cache;
    if (!cache)
        cache = new PlanCache(QCoreApplication::instance());
    return cache;
}

PlanCache::PlanCache(QObject *parent) : QObject(parent), d(std::make_unique<PlanCachePrivate>()) {}

PlanCache::~PlanCache() = default;

void PlanCache::setBudgetBytes(qint64 bytes)
{
    d->budget = qMax<qint64>(0, bytes);
    trim();
}

qint64 PlanCache::budgetBytes() const
{
    return d->budget;
}

qint64 PlanCache::heldBytes() const
{
    return d->held;
}

int PlanCache::pictureCount() const
{
    return int(d->entries.size());
}

int PlanCache::decodeCount() const
{
    return d->decodes;
}

QImage PlanCache::decode(const QString &path, const QSize &size)
{
    // Formats that can (JPEG) decode straight to a smaller size; the others are read in full
    // and scaled once, so only the drawn size stays in memory. A plan declaring more pixels
    // than PictureReader::kMaxSide is refused from its header, without decoding it.
    PictureReader::Outcome outcome = PictureReader::Outcome::Unreadable;
    QSize declared;
    QImage image = PictureReader::read(path, size.isEmpty() ? QSize() : size, &outcome, &declared);
    if (outcome == PictureReader::Outcome::TooLarge) {
        if (ECoreApp *app = ECoreApp::instance())
            app->reportRefusedPicture(path, declared);
    }
    if (image.isNull()) {
        image.load(QLatin1String(CoreNames::kMissingImage));
        if (!size.isEmpty() && !image.isNull())
            image = image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return image;
}

void PlanCache::show(EImageWidget *widget, const QString &path)
{
    if (!widget)
        return;
    auto it = d->bindings.find(widget);
    if (it == d->bindings.end()) {
        it = d->bindings.insert(widget, Binding{widget, path, Key{}});
        connect(widget, &EGraphicsWidget::onGeometryChanged, this, [this, widget] {
            if (widget->isVisible())
                refit(widget);
        });
        // A hidden plan holds no picture: the cache alone keeps it, within the budget.
        connect(widget, &QGraphicsObject::visibleChanged, this, [this, widget] {
            if (widget->isVisible())
                return;
            auto b = d->bindings.find(widget);
            if (b != d->bindings.end())
                b->shown = Key{};
            widget->setImage(QImage());
        });
        connect(widget, &QObject::destroyed, this, [this, widget] { d->bindings.remove(widget); });
    }
    it->path = path;
    refit(widget);
}

void PlanCache::refit(EImageWidget *widget)
{
    auto it = d->bindings.find(widget);
    if (it == d->bindings.end())
        return;
    if (it->path.isEmpty()) {
        it->shown = Key{};
        widget->setImage(QImage());
        return;
    }
    const Key key{it->path, widget->size().toSize()};
    auto found = d->index.find(key);
    if (found != d->index.end()) {
        // Most recently shown goes to the front.
        d->entries.splice(d->entries.begin(), d->entries, found.value());
    } else {
        const QImage image = decode(key.path, key.size);
        ++d->decodes;
        d->entries.push_front(Entry{key, image});
        d->index.insert(key, d->entries.begin());
        d->held += image.sizeInBytes();
    }
    const bool changed = !(it->shown == key);
    it->shown = key;
    if (changed || widget->image().isNull())
        widget->setImage(d->entries.front().image);
    trim();
}

void PlanCache::trim()
{
    if (d->held <= d->budget)
        return;
    // Pictures on screen stay whatever the budget.
    QSet<Key> onScreen;
    for (const Binding &b : qAsConst(d->bindings)) {
        if (b.widget && b.widget->isVisible() && !b.shown.path.isEmpty())
            onScreen.insert(b.shown);
    }
    int position = int(d->entries.size());
    auto it = d->entries.end();
    while (d->held > d->budget && it != d->entries.begin()) {
        --it;
        if (--position < kKeptRecent)
            break;
        if (onScreen.contains(it->key))
            continue;
        for (Binding &b : d->bindings) {
            if (b.shown == it->key) {
                b.shown = Key{};
                if (b.widget)
                    b.widget->setImage(QImage());
            }
        }
        d->held -= it->image.sizeInBytes();
        d->index.remove(it->key);
        it = d->entries.erase(it);
    }
}
