// SPDX-License-Identifier: MIT
#include "capture/capture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <QUuid>

#include "capture/history.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder of the user's alone: made 0700 when missing; refused when it is a link, someone
// else's, or open to others.
bool isPrivateFolder(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    ::mkdir(name.constData(), 0700);
    struct stat status;
    if (::lstat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
        return false;
    return (status.st_mode & 077) == 0 || ::chmod(name.constData(), 0700) == 0;
}

} // namespace

Capture::Capture(const QString &toolPath, QObject *parent)
    : QObject(parent)
    , m_toolPath(toolPath)
    , m_readyLater(new QTimer(this))
{
    m_readyLater->setSingleShot(true);
    connect(m_readyLater, &QTimer::timeout, this, &Capture::startReadyTool);
    // The next tool starts once a grab is done, not while its overlay shows, and after the
    // editor's first frame.
    connect(this, &Capture::grabEnded, this, [this] {
        if (m_keepReady)
            m_readyLater->start(250);
    });
}

Capture::~Capture()
{
    // The waiting tool ends by itself when its input closes; grabs under way end with us.
    if (QProcess *waiting = takeReadyTool()) {
        waiting->closeWriteChannel();
        if (!waiting->waitForFinished(300))
            waiting->kill();
        waiting->waitForFinished(300);
    }
}

void Capture::keepToolReady(bool ready)
{
    m_keepReady = ready;
    if (ready) {
        m_readyLater->start(1500);
    } else if (QProcess *waiting = takeReadyTool()) {
        // Closed input ends it quietly.
        connect(waiting, &QProcess::finished, waiting, &QObject::deleteLater);
        waiting->closeWriteChannel();
    }
}

bool Capture::hasReadyTool() const
{
    return m_ready && m_ready->state() == QProcess::Running;
}

void Capture::startReadyTool()
{
    if (!m_keepReady || m_ready)
        return;
    auto *process = new QProcess(this);
    process->setProgram(m_toolPath);
    process->setArguments({QStringLiteral("--standby")});
    // Ended while it waited: not offered here, or gone with the display. A fresh tool serves the
    // next grab, and the one after it gets a waiting tool again.
    const auto ended = [this, process](bool notOffered) {
        if (m_ready != process)
            return;
        m_ready = nullptr;
        if (notOffered)
            m_keepReady = false;
        process->deleteLater();
    };
    connect(process, &QProcess::finished, this, [ended](int code, QProcess::ExitStatus status) {
        ended(status == QProcess::NormalExit && code == 3);
    });
    connect(process, &QProcess::errorOccurred, this, [ended](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            ended(true);
    });
    m_ready = process;
    process->start();
}

QProcess *Capture::takeReadyTool()
{
    // One still starting takes the request too: it reads it once ready, sooner than a fresh start
    // beside it would show anything.
    if (!m_ready || m_ready->state() == QProcess::NotRunning)
        return nullptr;
    QProcess *process = m_ready;
    m_ready = nullptr;
    disconnect(process, nullptr, this, nullptr);
    return process;
}

QString Capture::installedToolPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kiwano-capture");
}

QString Capture::temporaryFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime + QStringLiteral("/kiwano-snapper")))
        return runtime + QStringLiteral("/kiwano-snapper");
    const QString shared = QDir::tempPath() + QStringLiteral("/kiwano-snapper-") + QString::number(::geteuid());
    if (isPrivateFolder(shared))
        return shared;
    // Someone else holds that name in the shared folder: a fresh one, once per run.
    static const QString fresh = [] {
        QByteArray pattern = QFile::encodeName(QDir::tempPath() + QStringLiteral("/kiwano-snapper-XXXXXX"));
        return ::mkdtemp(pattern.data()) ? QFile::decodeName(pattern) : QString();
    }();
    return fresh;
}

void Capture::grabRegion()
{
    capture({QStringLiteral("-i")});
}

void Capture::grabWindow()
{
    capture({QStringLiteral("-iW")});
}

void Capture::grabScreen()
{
    capture({QStringLiteral("-m")});
}

void Capture::grabAgain(const GrabPlace &place)
{
    // The tool reads the place as its line tells it, without the words before.
    const QString where = place.toLine().section(QLatin1Char(' '), 2);
    capture({place.kind == GrabPlace::Kind::window ? QStringLiteral("-W") : QStringLiteral("-R"), where});
}

void Capture::capture(const QStringList &modeArguments)
{
    const QString folder = temporaryFolder();
    if (folder.isEmpty())
        return;
    const QString temporaryPath = folder + QStringLiteral("/kiwano-")
        + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + QStringLiteral(".png");
    const QStringList arguments = modeArguments + QStringList{QStringLiteral("-x"), temporaryPath};
    QProcess *process = takeReadyTool();
    const bool waiting = process != nullptr;
    if (!waiting) {
        process = new QProcess(this);
        process->setProgram(m_toolPath);
        process->setArguments(arguments);
        // The tool talks to the user through its overlay; when it cannot grab at all, its reason
        // comes on stderr; where the grab came from, on stdout.
        process->setStandardInputFile(QProcess::nullDevice());
    }
    // Whether the tool exited, crashed or never started, only the file it left decides; the
    // rest runs from the event loop, never inside the process notification.
    connect(process, &QProcess::finished, this, [this, process, temporaryPath] {
        process->deleteLater();
        finished(temporaryPath, process->readAllStandardError().right(4096),
                 process->readAllStandardOutput().right(4096));
    }, Qt::QueuedConnection);
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            process->deleteLater();
            QMetaObject::invokeMethod(this, &Capture::grabEnded, Qt::QueuedConnection);
        }
    });
    if (waiting) {
        // The waiting tool reads one line of the same arguments, tab-separated.
        process->write(arguments.join(QLatin1Char('\t')).toLocal8Bit() + '\n');
        process->closeWriteChannel();
    } else {
        process->start();
    }
}

void Capture::finished(const QString &temporaryPath, const QByteArray &errors, const QByteArray &output)
{
    if (!QFileInfo::exists(temporaryPath)) {
        // Only the tool's own lines count, not what its libraries print on the way.
        const QByteArray prefix("kiwano-capture: ");
        QString reason;
        for (const QByteArray &line : errors.split('\n')) {
            if (line.startsWith(prefix))
                reason = QString::fromUtf8(line.mid(prefix.size())).trimmed();
        }
        if (!reason.isEmpty())
            emit grabFailed(reason);
        emit grabEnded();
        return;
    }
    if (const auto entry = History::adopt(temporaryPath)) {
        emit grabLanded(*entry);
        if (const auto place = GrabPlace::lastIn(output))
            emit grabPlaced(*place);
    }
    emit grabEnded();
}
