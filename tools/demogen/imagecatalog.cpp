// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "imagecatalog.h"

#include "democonstants.h"
#include "iconpainter.h"
#include "planpainter.h"

#include <QHash>

namespace {

using namespace DemoConstants;
using Tile = IconPainter::Tile;

const QColor kGlyphLight(0xf4, 0xf7, 0xfa);
const QColor kGlyphIdle(0x9a, 0xa5, 0xb1);
const QColor kAlarmRed(0xe5, 0x39, 0x35);

struct StatePair
{
    const char *onGlyph;
    const char *offGlyph;
    QColor accent;
};

// "<prefix>_on.png" / "_open.png" draws lit with the first glyph, "_off.png" / "_closed.png"
// dim with the second: the same two looks for every bit on every page.
const QHash<QString, StatePair> &statePairs()
{
    static const QHash<QString, StatePair> table = {
        {QStringLiteral("window"), {"window_open", "window", QColor(0xff, 0xa7, 0x26)}},
        {QStringLiteral("door"), {"door_open", "door", QColor(0xff, 0xa7, 0x26)}},
        {QStringLiteral("smoke"), {"smoke", "smoke", kAlarmRed}},
        {QStringLiteral("siren"), {"bell", "bell", kAlarmRed}},
        {QStringLiteral("alert"), {"alert", "alert", kAlarmRed}},
        {QStringLiteral("leak"), {"drop", "drop_outline", kAlarmRed}},
        {QStringLiteral("valve"), {"valve", "valve_closed", QColor(0x3e, 0xa6, 0xff)}},
        {QStringLiteral("power"), {"plug", "plug", QColor(0x43, 0xa0, 0x47)}},
        {QStringLiteral("generator"), {"bolt", "bolt", QColor(0xf5, 0xc5, 0x18)}},
        {QStringLiteral("plug"), {"plug", "plug", QColor(0x26, 0xa6, 0x9a)}},
        {QStringLiteral("flame"), {"flame", "flame", QColor(0xff, 0x70, 0x43)}},
        {QStringLiteral("pump"), {"pump", "pump", QColor(0x3e, 0xa6, 0xff)}},
        {QStringLiteral("sprinkler"), {"sprinkler", "sprinkler", QColor(0x7c, 0xb3, 0x42)}},
        {QStringLiteral("rain"), {"drop", "drop_outline", QColor(0x3e, 0xa6, 0xff)}},
        {QStringLiteral("gate"), {"gate_open", "gate", QColor(0xff, 0xa7, 0x26)}},
        {QStringLiteral("rec"), {"record", "record", kAlarmRed}},
        {QStringLiteral("fan0"), {"power", "power", QColor(0x4d, 0xd0, 0xa8)}},
        {QStringLiteral("fan1"), {"fan", "fan", QColor(0x4d, 0xd0, 0xa8)}},
        {QStringLiteral("fan2"), {"fan", "fan", QColor(0x4d, 0xd0, 0xa8)}},
        {QStringLiteral("fan3"), {"fan", "fan", QColor(0x4d, 0xd0, 0xa8)}},
        {QStringLiteral("mode_off"), {"power", "power", QColor(0xff, 0x70, 0x43)}},
        {QStringLiteral("mode_summer"), {"sun", "sun", QColor(0xff, 0xa7, 0x26)}},
        {QStringLiteral("mode_winter"), {"snow", "snow", QColor(0x42, 0xa5, 0xf5)}},
        {QStringLiteral("gate_cmd_open"), {"arrow_up", "arrow_up", QColor(0xab, 0x47, 0xbc)}},
        {QStringLiteral("gate_cmd_stop"), {"stop", "stop", QColor(0xab, 0x47, 0xbc)}},
        {QStringLiteral("gate_cmd_close"), {"arrow_down", "arrow_down", QColor(0xab, 0x47, 0xbc)}},
        {QStringLiteral("src_off"), {"power", "power", QColor(0xec, 0x40, 0x7a)}},
        {QStringLiteral("src_radio"), {"radio", "radio", QColor(0xec, 0x40, 0x7a)}},
        {QStringLiteral("src_tv"), {"tv", "tv", QColor(0xec, 0x40, 0x7a)}},
        {QStringLiteral("src_music"), {"music", "music", QColor(0xec, 0x40, 0x7a)}},
        {QStringLiteral(""), {"power", "power", QColor(0x43, 0xa0, 0x47)}}, // on.png / off.png
    };
    return table;
}

struct Plain
{
    int size;
    Tile tile;
    QColor accent;
    const char *glyph;
    QColor glyphColor;
};

const QHash<QString, Plain> &plainIcons()
{
    const QColor room(0x2f, 0x6f, 0xa8);
    const QColor floor(0x5b, 0x6b, 0xc0);
    static const QHash<QString, Plain> table = {
        {QStringLiteral("lighton.png"),
         {kIconSize, Tile::Round, QColor(0xf5, 0xb0, 0x2e), "bulb_lit", QColor(0xff, 0xfb, 0xe6)}},
        {QStringLiteral("lightoff.png"),
         {kIconSize, Tile::Round, QColor(0x3c, 0x44, 0x50), "bulb", kGlyphIdle}},
        {QStringLiteral("switch.png"),
         {kIconSize, Tile::Rounded, QColor(0x54, 0x60, 0x70), "switch", kGlyphLight}},
        {QStringLiteral("switchscn.png"),
         {kIconSize, Tile::RoundedLit, QColor(0x8e, 0x5c, 0xd9), "switch_scene", kGlyphLight}},
        {QStringLiteral("piron.png"),
         {kIconSize, Tile::RoundedLit, QColor(0xff, 0x8f, 0x00), "motion", kGlyphLight}},
        {QStringLiteral("piroff.png"),
         {kIconSize, Tile::Rounded, QColor(0x2e, 0x7d, 0x5b), "motion", kGlyphLight}},
        {QStringLiteral("pirdis.png"),
         {kIconSize, Tile::RoundedDim, QColor(0x40, 0x40, 0x40), "motion",
          QColor(0x6b, 0x74, 0x7f)}},
        {QStringLiteral("room_living.png"), {kIconSize, Tile::Round, room, "sofa", kGlyphLight}},
        {QStringLiteral("room_kitchen.png"), {kIconSize, Tile::Round, room, "pot", kGlyphLight}},
        {QStringLiteral("room_hall.png"), {kIconSize, Tile::Round, room, "door", kGlyphLight}},
        {QStringLiteral("room_boiler.png"), {kIconSize, Tile::Round, room, "boiler", kGlyphLight}},
        {QStringLiteral("room_study.png"), {kIconSize, Tile::Round, room, "desk", kGlyphLight}},
        {QStringLiteral("room_bedroom.png"), {kIconSize, Tile::Round, room, "bed", kGlyphLight}},
        {QStringLiteral("room_kids.png"), {kIconSize, Tile::Round, room, "teddy", kGlyphLight}},
        {QStringLiteral("room_guest.png"), {kIconSize, Tile::Round, room, "suitcase", kGlyphLight}},
        {QStringLiteral("room_landing.png"), {kIconSize, Tile::Round, room, "stairs", kGlyphLight}},
        {QStringLiteral("room_bath.png"), {kIconSize, Tile::Round, room, "bath", kGlyphLight}},
        {QStringLiteral("floor_ground.png"),
         {kIconSize, Tile::Round, floor, "house_lower", kGlyphLight}},
        {QStringLiteral("floor_first.png"),
         {kIconSize, Tile::Round, floor, "house_upper", kGlyphLight}},
        {QStringLiteral("sys_light.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0xf0, 0xa0, 0x20), "bulb_lit", kGlyphLight}},
        {QStringLiteral("sys_heat.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0xf4, 0x6a, 0x2e), "thermometer", kGlyphLight}},
        {QStringLiteral("sys_secure.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0xd3, 0x3f, 0x49), "shield", kGlyphLight}},
        {QStringLiteral("sys_alerts.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0xe0, 0x8e, 0x0b), "bell", kGlyphLight}},
        {QStringLiteral("sys_scenes.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0x8e, 0x5c, 0xd9), "scenes", kGlyphLight}},
        {QStringLiteral("sys_settings.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0x60, 0x7d, 0x8b), "gear", kGlyphLight}},
        {QStringLiteral("sys_connection.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0x00, 0x96, 0x88), "link", kGlyphLight}},
        {QStringLiteral("sys_info.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0x1e, 0x88, 0xe5), "info", kGlyphLight}},
        {QStringLiteral("sys_history.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0x2e, 0x7d, 0x5b), "chart", kGlyphLight}},
        {QStringLiteral("sys_exit.png"),
         {kSystemIconSize, Tile::Rounded, QColor(0x8e, 0x24, 0x2a), "exit", kGlyphLight}},
        {QStringLiteral("cmd_panic.png"),
         {kButtonIconSize, Tile::None, QColor(), "bell", kAlarmRed}},
        {QStringLiteral("cmd_reset.png"),
         {kButtonIconSize, Tile::None, QColor(), "power", QColor(0x1e, 0x6f, 0xc0)}},
        {QStringLiteral("cmd_water.png"),
         {kButtonIconSize, Tile::None, QColor(), "sprinkler", QColor(0x38, 0x8e, 0x3c)}},
        {QStringLiteral("cmd_wicket.png"),
         {kButtonIconSize, Tile::None, QColor(), "door_open", QColor(0x8e, 0x24, 0xaa)}},
        {QStringLiteral("cmd_garage.png"),
         {kButtonIconSize, Tile::None, QColor(), "arrow_up", QColor(0x8e, 0x24, 0xaa)}},
        {QStringLiteral("cmd_play.png"),
         {kButtonIconSize, Tile::None, QColor(), "play", QColor(0xc2, 0x18, 0x5b)}},
        {QStringLiteral("cmd_next.png"),
         {kButtonIconSize, Tile::None, QColor(), "next", QColor(0xc2, 0x18, 0x5b)}},
    };
    return table;
}

} // namespace

QImage ImageCatalog::image(const QString &name) const
{
    const QImage p = plan(name);
    return p.isNull() ? icon(name) : p;
}

QImage ImageCatalog::plan(const QString &name) const
{
    if (name == QLatin1String("home.png"))
        return PlanPainter::elevation(PlanPainter::Elevation::Home);
    if (name == QLatin1String("elev_light.png"))
        return PlanPainter::elevation(PlanPainter::Elevation::Light);
    if (name == QLatin1String("elev_heat.png"))
        return PlanPainter::elevation(PlanPainter::Elevation::Heat);
    for (const HouseLayout::Floor &floor : m_layout.floors()) {
        if (floor.planImage == name)
            return PlanPainter::floorPlan(floor);
        for (const HouseLayout::Room &room : floor.rooms) {
            if (room.planImage == name)
                return PlanPainter::roomPlan(floor, room);
        }
    }
    for (const SubsystemInfo &s : kSubsystems) {
        if (s.background == name)
            return PlanPainter::subsystemBackground(s.glyph, s.accent);
    }
    return QImage();
}

QImage ImageCatalog::icon(const QString &name) const
{
    const auto plain = plainIcons().constFind(name);
    if (plain != plainIcons().constEnd())
        return IconPainter::tileIcon(plain->size, plain->tile, plain->accent,
                                     QString::fromLatin1(plain->glyph), plain->glyphColor);
    for (const SubsystemInfo &s : kSubsystems) {
        if (s.icon == name)
            return IconPainter::tileIcon(kSystemIconSize, Tile::Rounded, s.accent, s.glyph,
                                         kGlyphLight);
    }

    QString base = name;
    if (!base.endsWith(QLatin1String(".png")))
        return QImage();
    base.chop(4);
    bool on = false;
    for (const char *suffix : {"_on", "_open", "_off", "_closed"}) {
        if (base.endsWith(QLatin1String(suffix))) {
            on = qstrcmp(suffix, "_on") == 0 || qstrcmp(suffix, "_open") == 0;
            base.chop(int(qstrlen(suffix)));
            break;
        }
        if (base == QLatin1String(suffix + 1)) {
            on = qstrcmp(suffix, "_on") == 0;
            base.clear();
            break;
        }
    }
    const auto pair = statePairs().constFind(base);
    if (pair == statePairs().constEnd())
        return QImage();
    // Fan speeds carry their step as dots; everything else is told apart by its glyph.
    QString badge;
    if (base.startsWith(QLatin1String("fan")) && base.size() == 4 && base.at(3) != QLatin1Char('0'))
        badge = base.mid(3);
    if (on)
        return IconPainter::tileIcon(kIconSize, Tile::RoundedLit, pair->accent,
                                     QString::fromLatin1(pair->onGlyph), kGlyphLight, badge);
    return IconPainter::tileIcon(kIconSize, Tile::RoundedDim, pair->accent,
                                 QString::fromLatin1(pair->offGlyph), kGlyphIdle, badge);
}
