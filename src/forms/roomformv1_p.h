// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

// The room screen's private state, shared by the files its work is split into: roomformv1.cpp
// (building, showing, widgets, navigation, dragging), roomformv1_link.cpp (the link session,
// commands and refresh from the controller), roomformv1_association.cpp (association mode) and
// roomformv1_scenes.cpp (the scene bar by page type).

#include "roomformv1.h"

#include <QHash>
#include <QLoggingCategory>
#include <QPointer>

class EGridLayout;
class EImageWidget;
class ELabelWidget;
class ExtScenesWidget;
class ExtToolboxWidget;
class SaveSceneDialog;

Q_DECLARE_LOGGING_CATEGORY(lcRoom)

namespace RoomFormV1Layout {
constexpr int kTextMoveMode = 61103;
constexpr int kTextEditingOff = 61562;
constexpr int kTextNoTarget = 61563;
constexpr int kTitleFont = 1;
constexpr qreal kSceneBarWidth = 170;
constexpr qreal kToolboxWidth = 210;
constexpr qreal kToolboxHeight = 76;
constexpr qreal kTitleRowTop = 5;
constexpr qreal kTitleRowHeight = 40;
} // namespace RoomFormV1Layout

struct RoomFormV1Private
{
    BaseRoomV1 *room = nullptr;
    // The plan picture is read when the page is first shown: a project has dozens of pages and
    // reading every plan up front made start-up slow and memory-hungry.
    bool planWanted = false;
    EGridLayout *grid = nullptr;
    EImageWidget *plan = nullptr;
    ELabelWidget *title = nullptr;
    ExtScenesWidget *scenes = nullptr;
    ExtToolboxWidget *toolbox = nullptr;
    SaveSceneDialog *saveDialog = nullptr;
    QPointer<QObject> testLink;
    bool linkOverridden = false;
    // The link the three signals are connected to while active.
    QPointer<QObject> connectedLink;
    bool active = false;
    bool fullPlan = false;
    int selectedSwitch = -1;
    int selectedSensor = -1;
    // Widgets by runtime id; sub-room icons are found by id as well.
    QHash<QString, EBaseWidget *> widgets;
    // Write-pending controls and the polls seen since their command went out.
    QHash<int, int> pendingAge;
    // The controller's values are shown: connected, and an answer came since the page was shown.
    bool valuesKnown = false;
    // The problem of an unreadable project file, on the page of its (empty) tree.
    ELabelWidget *problem = nullptr;
    // The part of the screen in view; empty: all of it.
    QRectF visibleArea;
    // A notice that comes and goes (a button that opens nothing).
    ELabelWidget *notice = nullptr;
};
