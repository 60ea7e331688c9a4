// SPDX-License-Identifier: MIT
#include "clipboard/contentdigest.h"

#include "clipboard/cliprules.h"

#include <QCryptographicHash>

#include <openssl/evp.h>

#include <memory>

namespace {

// Plain text under any of its type names counts once, as "text/plain": X11 owners offer the same
// words as UTF8_STRING, text/plain and text/plain;charset=utf-8, and which of them a read takes
// depends on the owner's list, not on what was copied.
QList<Representation> canonical(const QList<Representation> &representations)
{
    static const QString plainType = QStringLiteral("text/plain");
    QList<Representation> kept;
    QList<QByteArray> texts;
    for (const Representation &representation : representations) {
        if (ClipRules::kind(representation.type) != ClipRules::Kind::plainText) {
            kept.append(representation);
            continue;
        }
        if (texts.contains(representation.data))
            continue;
        texts.append(representation.data);
        kept.append({plainType, representation.data});
    }
    return kept;
}

} // namespace

QString contentDigest(const QList<Representation> &given)
{
    const QList<Representation> representations = canonical(given);
    std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    bool ok = context && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    for (const Representation &representation : representations) {
        const QByteArray type = representation.type.toUtf8();
        ok = ok && EVP_DigestUpdate(context.get(), type.constData(), size_t(type.size())) == 1;
        ok = ok && EVP_DigestUpdate(context.get(), representation.data.constData(),
                                    size_t(representation.data.size())) == 1;
    }
    ok = ok && EVP_DigestFinal_ex(context.get(), digest, &length) == 1;
    if (!ok) {
        // Only when libcrypto cannot even allocate; the same digest, just slower.
        QCryptographicHash hash(QCryptographicHash::Sha256);
        for (const Representation &representation : representations) {
            hash.addData(representation.type.toUtf8());
            hash.addData(representation.data);
        }
        return QString::fromLatin1(hash.result().toHex());
    }
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex());
}
