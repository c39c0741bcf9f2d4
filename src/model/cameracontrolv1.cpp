// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "cameracontrolv1.h"

CameraControlV1::CameraControlV1() {}

CameraControlV1::~CameraControlV1() = default;
