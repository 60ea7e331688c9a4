// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

// The update options the settings show. Packages bring new versions on Linux, so the flag is only
// remembered (under "update.automaticChecks") and nothing is ever fetched.
class UpdateSettings : public QObject
{
    Q_OBJECT
public:
    explicit UpdateSettings(QObject *parent = nullptr);

    // True unless the user turned it off.
    bool automaticChecks() const;
    void setAutomaticChecks(bool on);
    // The version this program was built as: "0.1.0".
    static QString version();
    // What checking now amounts to here: the sentence to show.
    QString checkNow();
    // Whether new versions come only from the package manager; then the settings offer no
    // update controls at all, only this fact.
    static bool fromPackageManager();

signals:
    void automaticChecksChanged(bool on);
};
