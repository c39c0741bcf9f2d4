// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
// What showing a room costs once its plan picture was evicted from the plan cache: the plan of a
// generated room (a 1600x1200 PNG) decoded at the size a 1280x740 window draws it, then the plan
// widget's first paint, as one figure; next to the same paint with the picture still cached.
// Prints the minimum and the median of the runs.
//
//   bench_plancache [--runs N]     (default 21)
#include "benchproject.h"
#include "eimagewidget.h"
#include "plancache.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

// The plan area of a room screen in a 1280x740 window (below the title row).
const QSize kDrawn(1280, 680);

QString figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return QStringLiteral("min %1 ms, median %2 ms")
        .arg(ms.front(), 0, 'f', 1)
        .arg(ms[ms.size() / 2], 0, 'f', 1);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int at = app.arguments().indexOf(QStringLiteral("--runs"));
    const int runs = at > 0 ? qBound(3, app.arguments().value(at + 1).toInt(), 1000) : 21;
    QTextStream out(stdout);

    QTemporaryDir dir;
    BenchProjectOptions options;
    options.rooms = 1;
    options.controls = 0;
    QString error;
    if (!dir.isValid() || !writeBenchProject(dir.path(), options, &error)) {
        out << "cannot write the plan: " << error << "\n";
        return 2;
    }
    const QString plan = dir.filePath(benchPlanPath(0));

    QGraphicsScene scene(0, 0, kDrawn.width(), kDrawn.height());
    auto *widget = new EImageWidget;
    widget->setFillMode(EImageWidget::Stretch);
    scene.addItem(widget);
    widget->setGeometry(QRectF(QPointF(), QSizeF(kDrawn)));
    QImage target(kDrawn, QImage::Format_ARGB32_Premultiplied);
    const auto paint = [&] {
        QPainter p(&target);
        scene.render(&p);
    };

    std::vector<double> evicted;
    std::vector<double> cached;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        // A new cache each run: the picture is not held, as after an eviction.
        PlanCache cache;
        widget->hide();
        widget->show();
        timer.start();
        cache.show(widget, plan);
        paint();
        evicted.push_back(timer.nsecsElapsed() / 1e6);

        widget->hide();
        widget->show();
        timer.start();
        cache.show(widget, plan);
        paint();
        cached.push_back(timer.nsecsElapsed() / 1e6);
    }
    out << "plan " << options.planWidth << "x" << options.planHeight << " PNG drawn at "
        << kDrawn.width() << "x" << kDrawn.height() << ", " << runs << " runs\n"
        << "evicted (decode at the drawn size + first paint): " << figures(evicted) << "\n"
        << "still cached (first paint only):                  " << figures(cached) << "\n";
    return 0;
}
