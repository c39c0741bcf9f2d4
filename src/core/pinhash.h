// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#pragma once

#include <QString>

// A PIN or password kept as a slow salted hash (PBKDF2 with HMAC-SHA-256), written as
// "$pbkdf2-sha256$ITERATIONS$SALT$HASH" with SALT and HASH in base64. Only the hash is stored;
// checking an entry costs as much as making the hash, which is what makes guessing slow.
namespace PinHash {
// Iterations of a hash made now; stored hashes name their own count.
constexpr int kIterations = 200000;

// A new hash of `pin` with a fresh random salt; empty when no random salt could be had.
QString make(const QString &pin, int iterations = kIterations);
// Whether `stored` is meant as a hash made by make() (anything else is a PIN in clear).
bool isHash(const QString &stored);
// Whether `pin` is the PIN `stored` was made from. A malformed hash matches nothing.
bool matches(const QString &stored, const QString &pin);
} // namespace PinHash
