// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QProcess;
class QTimer;

#include "capture/grabentry.h"
#include "capture/grabplace.h"

// Runs the capture tool as a child process and takes what it writes into the history. There is
// no busy state: every grab runs its own tool with its own temporary file and lands when that
// tool ends, in the order the tools end. One tool may be kept started ahead, waiting for its
// request, so that its overlay shows at once.
class Capture : public QObject
{
    Q_OBJECT

public:
    // toolPath: the kiwano-capture executable (a stand-in in tests).
    explicit Capture(const QString &toolPath, QObject *parent = nullptr);
    ~Capture() override;

    // Where the tool writes its file: a 0700 folder of the user's, in the runtime folder when
    // there is one, else in the temporary folder; empty when none can be had.
    static QString temporaryFolder();

    // kiwano-capture installed beside the running program.
    static QString installedToolPath();

    void grabRegion();
    void grabWindow();
    void grabScreen();
    // The place of an earlier grab again, without the overlay: the same rectangle of the screen,
    // or the window whose frame is still there.
    void grabAgain(const GrabPlace &place);
    // Starts one grab with the tool's mode arguments and returns at once.
    void capture(const QStringList &modeArguments);

    // Keeps one tool started ahead (kiwano-capture --standby), connected to the display and
    // waiting, for the next grab: on X11 its overlay maps in about a sixth of a fresh start's
    // time. It is started a moment after this call and after each grab ends; a tool that says it
    // cannot wait here (exit status 3) is not asked again.
    void keepToolReady(bool ready);
    // Whether a tool waits now.
    bool hasReadyTool() const;

signals:
    // A grab is in the history; the application inserts it and shows the editor.
    void grabLanded(const GrabEntry &entry);
    // The tool could not grab and said why (the desktop refused, the compositor stopped
    // answering); a grab the user cancelled says nothing.
    void grabFailed(const QString &reason);
    // Where the grab that just landed came from, when the tool said so (after grabLanded).
    void grabPlaced(const GrabPlace &place);
    // The tool is done, whatever came of it (after grabLanded or grabFailed, if either).
    void grabEnded();

private:
    void finished(const QString &temporaryPath, const QByteArray &errors, const QByteArray &output);
    void startReadyTool();
    QProcess *takeReadyTool();

    QString m_toolPath;
    bool m_keepReady = false;
    QProcess *m_ready = nullptr;
    QTimer *m_readyLater;
};
