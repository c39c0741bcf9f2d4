// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

// Root of the control records: a record can produce a deep copy of itself.
class Cloneable
{
public:
    virtual ~Cloneable() = default;
    virtual Cloneable *clone() const = 0;

protected:
    Cloneable() = default;
    Cloneable(const Cloneable &) = default;
    Cloneable &operator=(const Cloneable &) = default;
};
