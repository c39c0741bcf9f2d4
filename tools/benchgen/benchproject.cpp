// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "benchproject.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>

namespace {

// Page numbers: the home page, the lighting root, then one block for floors and one for rooms,
// far enough apart for any sensible size.
constexpr int kHomePage = 1;
constexpr int kLightPage = 10;
constexpr int kFirstFloorPage = 100;
constexpr int kFirstRoomPage = 1000;
// Controller addresses the generated controls use; lamps repeat over the first 64 lamp records
// and numbers over a 200-byte block, which is all a poll needs to have something to read.
constexpr int kLamps = 64;
constexpr int kNumberBase = 2000;
constexpr int kNumberBytes = 200;
constexpr int kBoolBase = 2400;

const char kConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<config version="2">
 <language value="en_US"/>
 <show_settings value="true"/>
 <ipaddress value="127.0.0.1"/>
 <ipaddress2 value="127.0.0.1"/>
 <ipport value="1502"/>
 <timeout value="500"/>
 <offset value="0"/>
 <reconnecttime value="60"/>
 <wndview value="normal"/>
 <readfunctionmb value="3"/>
</config>
)";

bool writeBytes(const QString &path, const QByteArray &data, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        *error = QStringLiteral("cannot write ") + path;
        return false;
    }
    return true;
}

bool writePng(const QString &path, const QImage &image, QString *error)
{
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        *error =
            QStringLiteral("cannot write ") + path + QStringLiteral(": ") + writer.errorString();
        return false;
    }
    return true;
}

QImage icon(const QColor &colour)
{
    QImage img(48, 48, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(colour);
    p.setPen(QPen(Qt::black, 2));
    p.drawEllipse(QRectF(4, 4, 40, 40));
    return img;
}

// A floor plan with walls, furniture and a title, laid out from the room's own seed so no two
// plans are the same picture (a shared cache entry would hide what each page costs).
QImage plan(int index, const BenchProjectOptions &o)
{
    QImage img(o.planWidth, o.planHeight, QImage::Format_RGB32);
    QRandomGenerator rng(quint32(7919 * (index + 1)));
    img.fill(QColor(236, 232, 222));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = o.planWidth;
    const int h = o.planHeight;
    // Floor texture: thin boards, slightly varied, as a drawn plan's hatching would be.
    for (int y = 0; y < h; y += 12) {
        const int shade = 210 + int(rng.bounded(30));
        p.setPen(QColor(shade, shade - 8, shade - 20));
        p.drawLine(0, y, w, y);
    }
    p.setPen(QPen(QColor(60, 60, 70), 14));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(40, 40, w - 80, h - 80));
    for (int i = 0; i < 4; ++i) {
        const int x = 200 + int(rng.bounded(w - 400));
        p.drawLine(x, 40, x, 200 + int(rng.bounded(h - 300)));
    }
    p.setPen(QPen(QColor(90, 80, 70), 3));
    for (int i = 0; i < 18; ++i) {
        const QColor fill = QColor::fromHsv(int(rng.bounded(360)), 60, 200);
        p.setBrush(fill);
        const QRectF r(80 + rng.bounded(w - 360), 80 + rng.bounded(h - 300), 60 + rng.bounded(200),
                       40 + rng.bounded(160));
        if (i % 3 == 0)
            p.drawEllipse(r);
        else
            p.drawRoundedRect(r, 8, 8);
    }
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(64);
    p.setFont(font);
    p.setPen(QColor(40, 40, 50));
    p.drawText(QRect(0, h - 180, w, 120), Qt::AlignCenter,
               QStringLiteral("Room %1").arg(index + 1));
    p.end();
    return img;
}

QString roomControls(int room, const BenchProjectOptions &o)
{
    QString xml;
    for (int k = 0; k < o.controls; ++k) {
        const int n = room * o.controls + k;
        const QString name = QStringLiteral("r%1_c%2").arg(room + 1).arg(k + 1);
        // Spread the controls over the plan in a grid that fits any count.
        const int columns = 6;
        const double x = 5.0 + (k % columns) * 15.0;
        const double y = 8.0 + ((k / columns) % 10) * 9.0;
        switch (k % 3) {
        case 0:
            xml += QStringLiteral(
                       "   <lamp name=\"%1\" textB=\"Lamp %2\" imageOff=\"img/lightoff.png\" "
                       "imageOn=\"img/lighton.png\" sliderColor=\"blue\" lmpNumber=\"%3\" "
                       "dimmer=\"%4\" isSlider=\"false\" posX=\"%5\" posY=\"%6\" "
                       "zIndex=\"0.8\"/>\n")
                       .arg(name)
                       .arg(k + 1)
                       .arg(1 + n % kLamps)
                       .arg(n % 2 ? QStringLiteral("true") : QStringLiteral("false"))
                       .arg(x)
                       .arg(y);
            break;
        case 1:
            xml += QStringLiteral(
                       "   <bytecnt name=\"%1\" textB=\"Value %2\" image=\"\" typeD=\"WORD\" "
                       "fontColor=\"black\" titleColor=\"black\" maximum=\"100\" "
                       "minimum=\"0\" precisionView=\"1\" maxval=\"1000\" "
                       "byteAddress=\"%3\" fontSize=\"12\" width=\"160\" height=\"70\" "
                       "step=\"0.5\" posX=\"%4\" posY=\"%5\" zIndex=\"0.5\" "
                       "isReadOnly=\"true\" showRound=\"true\" isEditable=\"false\"/>\n")
                       .arg(name)
                       .arg(k + 1)
                       .arg(kNumberBase + (2 * n) % kNumberBytes)
                       .arg(x)
                       .arg(y);
            break;
        default:
            xml +=
                QStringLiteral("   <boolcnt name=\"%1\" textB=\"State %2\" imageOn=\"img/on.png\" "
                               "imageOff=\"img/off.png\" isReadOnly=\"1\" byteAddress=\"%3\" "
                               "bitNumber=\"%4\" posX=\"%5\" posY=\"%6\" zIndex=\"0.5\"/>\n")
                    .arg(name)
                    .arg(k + 1)
                    .arg(kBoolBase + (n / 8) % 64)
                    .arg(n % 8)
                    .arg(x)
                    .arg(y);
            break;
        }
    }
    return xml;
}

QByteArray lightConfig(const BenchProjectOptions &o)
{
    QString xml = QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\n"
                                 "<subsystems name=\"light\" textB=\"Lighting\" fontColor=\"#000\" "
                                 "image=\"plans/house.png\" pageID=\"%1\" showScenes=\"false\">\n")
                      .arg(kLightPage);
    const int floors = (o.rooms + o.roomsPerFloor - 1) / o.roomsPerFloor;
    for (int f = 0; f < floors; ++f) {
        xml +=
            QStringLiteral(" <floor name=\"floor%1\" textB=\"Floor %1\" fontColor=\"#000\" "
                           "image=\"plans/house.png\" pageID=\"%2\" showScenes=\"false\" "
                           "drawRect=\"true\" posX=\"%3\" posY=\"%4\" zIndex=\"0.5\" width=\"64\" "
                           "height=\"64\" cont_image=\"icons/floor.png\">\n")
                .arg(f + 1)
                .arg(kFirstFloorPage + f)
                .arg(5 + (f % 8) * 11.5)
                .arg(10 + (f / 8 % 8) * 11.0);
        for (int r = f * o.roomsPerFloor; r < qMin(o.rooms, (f + 1) * o.roomsPerFloor); ++r) {
            const int slot = r - f * o.roomsPerFloor;
            xml += QStringLiteral("  <room name=\"room%1\" textB=\"Room %1\" fontColor=\"#000\" "
                                  "image=\"%2\" pageID=\"%3\" showScenes=\"false\" "
                                  "drawRect=\"false\" posX=\"%4\" posY=\"%5\" zIndex=\"0.6\" "
                                  "width=\"96\" height=\"64\" cont_image=\"icons/room.png\">\n")
                       .arg(r + 1)
                       .arg(benchPlanPath(r))
                       .arg(kFirstRoomPage + r)
                       .arg(5 + (slot % 6) * 15.0)
                       .arg(10 + (slot / 6 % 8) * 11.0);
            xml += roomControls(r, o);
            xml += QStringLiteral("  </room>\n");
        }
        xml += QStringLiteral(" </floor>\n");
    }
    xml += QStringLiteral("</subsystems>\n");
    return xml.toUtf8();
}

QByteArray mainConfig()
{
    return QStringLiteral("<?xml version='1.0' encoding='UTF-8'?>\n"
                          "<subsystems name=\"home\" textB=\"Home\" fontColor=\"#ffffff\" "
                          "image=\"plans/home.png\" pageID=\"%1\" showScenes=\"false\">\n"
                          " <syscontrol name=\"btn_light\" textB=\"Lighting\" fileName=\"\" "
                          "image=\"icons/light.png\" systType=\"light\" posX=\"10\" posY=\"20\" "
                          "zIndex=\"0.5\"/>\n"
                          " <syscontrol name=\"btn_exit\" textB=\"Exit\" fileName=\"\" "
                          "image=\"icons/exit.png\" "
                          "systType=\"exit\" posX=\"89\" posY=\"85\" zIndex=\"1\"/>\n"
                          "</subsystems>\n")
        .arg(kHomePage)
        .toUtf8();
}

} // namespace

QString benchPlanPath(int index)
{
    return QStringLiteral("plans/room%1.png").arg(index + 1, 4, 10, QLatin1Char('0'));
}

bool writeBenchProject(const QString &folder, const BenchProjectOptions &o, QString *error)
{
    const QDir dir(folder);
    for (const char *sub : {"plans", "icons", "img"}) {
        if (!dir.mkpath(QLatin1String(sub))) {
            *error = QStringLiteral("cannot create ") + dir.filePath(QLatin1String(sub));
            return false;
        }
    }
    if (!writeBytes(dir.filePath(QStringLiteral("config.xml")), kConfig, error) ||
        !writeBytes(dir.filePath(QStringLiteral("main_config.xml")), mainConfig(), error) ||
        !writeBytes(dir.filePath(QStringLiteral("light_config.xml")), lightConfig(o), error))
        return false;

    const struct
    {
        const char *path;
        QColor colour;
    } icons[] = {
        {"icons/light.png", QColor(250, 200, 60)}, {"icons/exit.png", QColor(200, 60, 60)},
        {"icons/floor.png", QColor(90, 140, 200)}, {"icons/room.png", QColor(120, 180, 120)},
        {"img/lighton.png", QColor(255, 230, 80)}, {"img/lightoff.png", QColor(90, 90, 90)},
        {"img/on.png", QColor(60, 200, 60)},       {"img/off.png", QColor(150, 150, 150)},
    };
    for (const auto &i : icons) {
        if (!writePng(dir.filePath(QLatin1String(i.path)), icon(i.colour), error))
            return false;
    }
    QImage overview(o.planWidth, o.planHeight, QImage::Format_RGB32);
    overview.fill(QColor(50, 56, 64));
    if (!writePng(dir.filePath(QStringLiteral("plans/home.png")), overview, error) ||
        !writePng(dir.filePath(QStringLiteral("plans/house.png")), overview, error))
        return false;
    for (int r = 0; r < o.rooms; ++r) {
        if (!writePng(dir.filePath(benchPlanPath(r)), plan(r, o), error))
            return false;
    }
    return true;
}
