// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: Verandix developers
#include "pinhash.h"

#include "corelogging.h"

#include <QStringList>

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

namespace {
const char *const kScheme = "pbkdf2-sha256";
constexpr int kSaltBytes = 16;
constexpr int kHashBytes = 32;
// Bounds for counts read back from a file: below the lower one a hash is too cheap to guess
// against, above the upper one a hostile file could keep the panel busy for minutes.
constexpr int kMinIterations = 1000;
constexpr int kMaxIterations = 10000000;

const QByteArray::Base64Options kBase64 =
    QByteArray::Base64Encoding | QByteArray::OmitTrailingEquals;

QByteArray derive(const QString &pin, const QByteArray &salt, int iterations)
{
    const QByteArray secret = pin.toUtf8();
    QByteArray out(kHashBytes, '\0');
    const int ok = PKCS5_PBKDF2_HMAC(secret.constData(), secret.size(),
                                     reinterpret_cast<const unsigned char *>(salt.constData()),
                                     salt.size(), iterations, EVP_sha256(), out.size(),
                                     reinterpret_cast<unsigned char *>(out.data()));
    return ok == 1 ? out : QByteArray();
}

struct Parsed
{
    int iterations = 0;
    QByteArray salt;
    QByteArray hash;
};

bool parse(const QString &stored, Parsed *parsed)
{
    // "", scheme, iterations, salt, hash
    const QStringList parts = stored.split(QLatin1Char('$'));
    if (parts.size() != 5 || !parts.at(0).isEmpty() || parts.at(1) != QLatin1String(kScheme))
        return false;
    bool ok = false;
    parsed->iterations = parts.at(2).toInt(&ok);
    if (!ok || parsed->iterations < kMinIterations || parsed->iterations > kMaxIterations)
        return false;
    const auto decode = [](const QString &text, QByteArray *into) {
        const auto result =
            QByteArray::fromBase64Encoding(text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        *into = result.decoded;
        return result.decodingStatus == QByteArray::Base64DecodingStatus::Ok && !into->isEmpty();
    };
    return decode(parts.at(3), &parsed->salt) && decode(parts.at(4), &parsed->hash) &&
           parsed->hash.size() == kHashBytes;
}
} // namespace

namespace PinHash {

QString make(const QString &pin, int iterations)
{
    QByteArray salt(kSaltBytes, '\0');
    if (RAND_bytes(reinterpret_cast<unsigned char *>(salt.data()), salt.size()) != 1) {
        qCWarning(lcCore, "no random salt for a PIN hash");
        return QString();
    }
    iterations = qBound(kMinIterations, iterations, kMaxIterations);
    const QByteArray hash = derive(pin, salt, iterations);
    if (hash.isEmpty())
        return QString();
    return QStringLiteral("$%1$%2$%3$%4")
        .arg(QLatin1String(kScheme))
        .arg(iterations)
        .arg(QString::fromLatin1(salt.toBase64(kBase64)),
             QString::fromLatin1(hash.toBase64(kBase64)));
}

bool isHash(const QString &stored)
{
    // By its form alone: a damaged hash is still no PIN anyone could type.
    return stored.startsWith(QLatin1Char('$') + QLatin1String(kScheme) + QLatin1Char('$'));
}

bool matches(const QString &stored, const QString &pin)
{
    Parsed parsed;
    if (!parse(stored, &parsed))
        return false;
    const QByteArray hash = derive(pin, parsed.salt, parsed.iterations);
    // Compared in constant time: how long a wrong entry takes says nothing of the right one.
    return hash.size() == parsed.hash.size() &&
           CRYPTO_memcmp(hash.constData(), parsed.hash.constData(), hash.size()) == 0;
}

} // namespace PinHash
