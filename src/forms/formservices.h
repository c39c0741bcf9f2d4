// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

class ControlerData;
class EAudioPlayer;
class LinkCommands;
class QObject;
class RoomsV1;

// The screens' one seam to the long-lived services that the application core holds. A test may
// run a screen with any of them absent: every caller copes with null.
namespace FormServices {
RoomsV1 *rooms();
ControlerData *link();
EAudioPlayer *audioPlayer();
// The commands of a link object: its own when it implements LinkCommands (a test's stand-in), the
// queued commands of the controller link, or null for null and for any other object.
LinkCommands *linkCommands(QObject *link);
// Text of the language table by id.
QString text(int id);
// The folder the panel's archive and alarm log go to: the configuration folder, or for the demo
// (whose configuration sits in the read-only resources) the folder it was unpacked into.
QString logFolder();
} // namespace FormServices
