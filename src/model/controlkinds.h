// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include "controlkind.h"

#include <QVector>

// The registry of control kinds: every layer asks it what a kind is instead of deciding again.
// Built on first use from an explicit list (static libraries drop objects nobody references, so
// nothing registers itself from a static initialiser).
namespace ControlKinds {

// Every kind, in the order of their codes.
const QVector<const ControlKind *> &all();
// The description of a kind code, or of an element tag (exact, case-sensitive); null if none.
const ControlKind *byKind(int kind);
const ControlKind *byTag(const QString &tag);

// The number that names a control's record in the controller (a lamp's, a switch's, a sensor's,
// a thermostat's), or -1 for kinds without one.
int controllerNumber(const BaseControlV1 *control);

} // namespace ControlKinds
