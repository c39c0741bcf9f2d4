// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
//
// bench_toolkit: time of one full repaint of a scene of 500 toolkit widgets (icon buttons, labels,
// numeric fields, sliders) into an image, against 500 plain rectangle items of the same sizes in
// the same run. Prints milliseconds per repaint and the ratio. Options: --frames N (default 30),
// --widgets N (default 500). Run it under QT_QPA_PLATFORM=offscreen.
#include "eiconwidget.h"
#include "elabelwidget.h"
#include "enumericwidget.h"
#include "esliderwidget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QPainter>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int kColumns = 20;
constexpr qreal kCellW = 180;
constexpr qreal kCellH = 90;

enum Kind { Icon, Label, Numeric, Slider, KindCount };

QSizeF sizeOf(Kind kind)
{
    switch (kind) {
    case Icon:
        return QSizeF(72, 76);
    case Label:
        return QSizeF(150, 24);
    case Numeric:
        return QSizeF(150, 40);
    case Slider:
        return QSizeF(160, 36);
    default:
        return QSizeF(10, 10);
    }
}

QImage iconPicture()
{
    QImage img(40, 40, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(255, 196, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(6, 4, 28, 28));
    p.setBrush(QColor(90, 100, 116));
    p.drawRect(QRectF(15, 32, 10, 6));
    return img;
}

QPointF cellPos(int i)
{
    return QPointF((i % kColumns) * kCellW + 10, (i / kColumns) * kCellH + 10);
}

// Fills the scene with n items; `only` picks one kind, KindCount mixes them in turn.
void addToolkitWidgets(QGraphicsScene &scene, int n, Kind only)
{
    const QImage picture = iconPicture();
    for (int i = 0; i < n; ++i) {
        const Kind kind = only == KindCount ? Kind(i % KindCount) : only;
        QGraphicsWidget *w = nullptr;
        switch (kind) {
        case Icon: {
            auto *icon = new EIconWidget;
            icon->setImage(picture);
            icon->setText(QStringLiteral("Lamp %1").arg(i));
            icon->setChecked(i % 7 == 0);
            w = icon;
            break;
        }
        case Label:
            w = new ELabelWidget(QStringLiteral("Room temperature %1").arg(i));
            break;
        case Numeric: {
            auto *num = new ENumericWidget;
            num->setDecimals(1);
            num->setValue(i % 100);
            w = num;
            break;
        }
        case Slider: {
            auto *slider = new ESliderWidget;
            slider->setValue(i % 100);
            w = slider;
            break;
        }
        default:
            break;
        }
        scene.addItem(w);
        w->setGeometry(QRectF(cellPos(i), sizeOf(kind)));
    }
}

void addRectItems(QGraphicsScene &scene, int n, Kind only)
{
    for (int i = 0; i < n; ++i) {
        const Kind kind = only == KindCount ? Kind(i % KindCount) : only;
        auto *r = new QGraphicsRectItem(QRectF(QPointF(), sizeOf(kind)));
        r->setPos(cellPos(i));
        r->setBrush(QColor(58, 71, 90));
        r->setPen(QPen(QColor(0, 0, 0, 90), 1));
        scene.addItem(r);
    }
}

// Milliseconds per full repaint (median of the frames, after two warm-up frames that build the
// caches the way the first paint on screen does).
double timeRepaint(QGraphicsScene &scene, QImage &target, int frames)
{
    auto frame = [&] {
        target.fill(QColor(208, 219, 234));
        QPainter p(&target);
        p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                         QPainter::SmoothPixmapTransform);
        scene.render(&p, QRectF(target.rect()), scene.sceneRect());
    };
    frame();
    frame();
    std::vector<double> ms;
    ms.reserve(frames);
    QElapsedTimer t;
    for (int i = 0; i < frames; ++i) {
        t.start();
        frame();
        ms.push_back(t.nsecsElapsed() / 1.0e6);
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption framesOpt(QStringLiteral("frames"), QStringLiteral("Timed frames."),
                                 QStringLiteral("N"), QStringLiteral("30"));
    QCommandLineOption widgetsOpt(QStringLiteral("widgets"), QStringLiteral("Items per scene."),
                                  QStringLiteral("N"), QStringLiteral("500"));
    parser.addOption(framesOpt);
    parser.addOption(widgetsOpt);
    parser.process(app);
    const int frames = qBound(3, parser.value(framesOpt).toInt(), 10000);
    const int n = qBound(1, parser.value(widgetsOpt).toInt(), 100000);

    const int rows = (n + kColumns - 1) / kColumns;
    const QRectF sceneRect(0, 0, kColumns * kCellW, rows * kCellH);
    QImage target(sceneRect.size().toSize(), QImage::Format_ARGB32_Premultiplied);

    QTextStream out(stdout);
    out << "Full repaint of " << n << " items into a " << target.width() << "x" << target.height()
        << " image, median of " << frames << " frames\n";
    // The clearing of the image is in every frame; timed alone it shows what the items cost.
    QGraphicsScene empty(sceneRect);
    const double clearMs = timeRepaint(empty, target, frames);
    out << QStringLiteral("empty scene (image clear only): %1 ms\n").arg(clearMs, 0, 'f', 2);
    const char *names[] = {"icon buttons", "labels", "numeric fields", "sliders", "mix"};
    for (int k = KindCount; k >= 0; --k) {
        QGraphicsScene toolkit(sceneRect);
        QGraphicsScene plain(sceneRect);
        addToolkitWidgets(toolkit, n, Kind(k));
        addRectItems(plain, n, Kind(k));
        const double tk = timeRepaint(toolkit, target, frames);
        const double rect = timeRepaint(plain, target, frames);
        const double netRatio = (tk - clearMs) / qMax(0.01, rect - clearMs);
        out << QStringLiteral("%1: toolkit %2 ms, plain rectangles %3 ms, ratio %4 "
                              "(%5 without the clear)\n")
                   .arg(QString::fromLatin1(names[k]), -15)
                   .arg(tk, 0, 'f', 2)
                   .arg(rect, 0, 'f', 2)
                   .arg(tk / rect, 0, 'f', 2)
                   .arg(netRatio, 0, 'f', 1);
        out.flush();
    }
    return 0;
}
