// SPDX-License-Identifier: MIT
#pragma once

#include "clipboard/clipitem.h"

#include <QStringList>

#include <functional>
#include <optional>

// Which copies the history keeps and in what form: pure rules, no clipboard or display needed.
namespace ClipRules {

// The marker this application puts on every entry it writes back to the clipboard.
inline const QString marker = QStringLiteral("local.kiwano-snapper.clip");
// Set by password managers on Linux; only the value "public" marks an ordinary copy.
inline const QString passwordHint = QStringLiteral("x-kde-passwordManagerHint");
inline const QString fileListType = QStringLiteral("text/uri-list");
inline const QString gnomeFilesType = QStringLiteral("x-special/gnome-copied-files");
inline const QString pngType = QStringLiteral("image/png");
inline const QString tiffType = QStringLiteral("image/tiff");
// X terminals, xclip and xsel name their text only by the X11 target; kept when no MIME name is
// offered for the text.
inline const QString legacyTextType = QStringLiteral("UTF8_STRING");

enum class Kind { plainText, richText, html, png, tiff, fileList, other };

// Types that mark a copy as private or transient; such a copy is never recorded.
const QStringList &ignoredTypes();
// The types kept, in capture order; everything else on the clipboard is neither stored nor hashed.
const QStringList &storedTypes();
Kind kind(const QString &type);

// True when the offered types mark the copy as private. passwordHint is asked for the hint's value
// only when the hint is offered; a hint that cannot be read counts as private.
bool isPrivate(const QStringList &types, const std::function<std::optional<QByteArray>()> &hintValue);
// True when at least one offered type is worth keeping.
bool hasStoredType(const QStringList &types);
// True for the built-in password managers (compared exactly) and the user's own list.
bool isIgnoredApp(const QString &app, const QStringList &userIgnoredApps);

// The types capture reads from a copy offering these, in order, with the password hint first when
// offered; nothing for a copy marked private by type. TIFF is left out when PNG is offered, as
// it would be dropped unread.
QStringList readOrder(const QStringList &types);
// The captured representations: offered stored types in capture order, each read through data;
// a type that yields nothing contributes nothing. Reading stops once the kept bytes pass sizeCap.
QList<Representation> capture(const QStringList &types,
                              const std::function<std::optional<QByteArray>(const QString &)> &data);
// TIFF is never kept: every TIFF goes, and the first becomes PNG when no PNG was offered.
QList<Representation> replaceTiff(QList<Representation> representations);
// True when the copy is nothing but plain text that is blank once trimmed.
bool isBlankText(const QList<Representation> &representations);
// The most bytes one copy may hold, all representations together.
constexpr qint64 sizeCap = 30 * 1024 * 1024;
bool exceedsSizeCap(const QList<Representation> &representations);

// Terminals paste the clipboard with Ctrl+Shift+V.
bool isTerminal(const QString &app);
// Applications with no key that pastes the clipboard: for them an entry is only copied.
bool cannotPasteClipboard(const QString &app);

// The URIs of a text/uri-list, comments and blank lines left out.
QStringList uriListEntries(const QByteArray &uriList);

} // namespace ClipRules
