// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "efonts.h"

EFonts::EFonts(QObject *parent) : QObject(parent)
{
    struct Spec
    {
        int id;
        int pixelSize;
        int weight;
    };
    static const Spec specs[] = {
        {Small, 12, QFont::Normal},   {Large, 24, QFont::Normal},  {Large2, 24, QFont::Normal},
        {LargeBold, 24, QFont::Bold}, {Medium, 18, QFont::Normal}, {SmallBold, 12, QFont::Bold},
        {Small2, 12, QFont::Normal},
    };
    for (const Spec &s : specs) {
        QFont f(QStringLiteral("Arial"));
        f.setPixelSize(s.pixelSize);
        f.setWeight(s.weight);
        m_fonts.insert(s.id, f);
    }
}

QFont EFonts::font(int fontId) const
{
    return m_fonts.value(fontId, QFont());
}
