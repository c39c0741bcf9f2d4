// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

// What every control record tells about itself: its kind code (ControlConstants::Kind).
class IControl
{
public:
    virtual ~IControl() = default;
    virtual int kind() const = 0;

protected:
    IControl() = default;
    IControl(const IControl &) = default;
    IControl &operator=(const IControl &) = default;
};
