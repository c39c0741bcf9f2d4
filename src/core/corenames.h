// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

// Fixed file and folder names of a configuration and of the program's resources.
namespace CoreNames {
constexpr const char kProductFolder[] = "verandix";
constexpr const char kSettingsFile[] = "config.xml";
constexpr const char kMultiFile[] = "multi.xml";
constexpr const char kConfigsPackage[] = "configs.package";
constexpr const char kImagesPackage[] = "images.package";
constexpr const char kSoundsPackage[] = "sounds.package";
constexpr const char kDemoFolder[] = ":/resources/demo";
constexpr const char kMissingImage[] = ":/resources/no_image.png";
constexpr const char kResourcePrefix[] = ":/resources/";
constexpr const char kLanguageFolder[] = ":/resources/locale/";
constexpr const char kBackgroundFolder[] = "fone/";
// Exports of the history screen, inside the configuration's (or the demo copy's) folder.
constexpr const char kExportFolder[] = "Export";
// Left in the demo copy by "Reset demo": the next start replaces the copy.
constexpr const char kDemoResetMark[] = "reset-at-next-start";
} // namespace CoreNames
