// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QPointer>
#include <QString>

// What the application core needs of the alarm sound player it owns: play one sound file. The
// player lives in a library above the core and announces its state (started, finished, not
// found, error) with signals of its own, which the screens connect to on the concrete type.
class ISoundService
{
public:
    virtual ~ISoundService() = default;
    virtual void playFile(const QString &path) = 0;
};

// Lets any player object with a play(const QString &) member serve as the sound service without
// its library knowing this interface. The call is typed and checked by the compiler; a player
// that is gone by the time a sound is asked for is simply not called.
template<typename Player> class SoundServiceAdapter final : public ISoundService
{
public:
    explicit SoundServiceAdapter(Player *player) : m_player(player) {}
    void playFile(const QString &path) override
    {
        if (m_player)
            m_player->play(path);
    }

private:
    QPointer<Player> m_player;
};
