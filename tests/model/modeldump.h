// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QStringList>
#include <QVariantMap>

class BaseControlV1;
class BaseRoomV1;
class MainStructV1;

// Every stored field of pages and control records as a name -> value map, written independently
// of the reader and the writer so that round trips compare against something they do not share.
namespace ModelDump {

QVariantMap control(const BaseControlV1 *control);
QVariantMap page(const BaseRoomV1 *page);
// One line per differing field, "path: field: a != b"; empty when equal.
QStringList compareTrees(const MainStructV1 *a, const MainStructV1 *b);

} // namespace ModelDump
