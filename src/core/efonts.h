// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QFont>
#include <QMap>
#include <QObject>

// The seven fixed fonts every screen draws with, by id. The family is always "Arial".
class EFonts : public QObject
{
    Q_OBJECT
public:
    enum FontId {
        Small = 0,
        Large = 1,
        Large2 = 2,
        LargeBold = 3,
        Medium = 4,
        SmallBold = 5,
        Small2 = 6
    };

    explicit EFonts(QObject *parent = nullptr);
    // A default-constructed QFont for an id that is not registered.
    QFont font(int fontId) const;

private:
    QMap<int, QFont> m_fonts;
};
