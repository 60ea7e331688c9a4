// SPDX-License-Identifier: MIT
#pragma once

#include <QSet>
#include <QString>

// Where saved images go, and whether every save asks first. Kept in the preference store under
// "save.folder" and "save.ask".
namespace SaveLocation {

// The stored save folder, or the default folder when none is stored or the stored one cannot
// take files (a file, a folder of someone else's, a relative path).
QString folder();
// The Desktop folder; where the user has none (the desktop location is the home folder, or
// missing), the Pictures folder's "Screenshots", which the first save makes.
QString defaultFolder();
// Stores the save folder.
void setFolder(const QString &path);

// The stored "ask each time" choice; true when nothing, or something not a boolean, is stored.
bool askEachTime();
// Stores the "ask each time" choice.
void setAskEachTime(bool ask);

// folder/name.png, or the first of "name 2.png", "name 3.png", ... that does not exist there;
// paths in taken count as existing (files about to be written).
QString unusedURL(const QString &folder, const QString &name, const QSet<QString> &taken = {});

} // namespace SaveLocation
