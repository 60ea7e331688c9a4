// SPDX-License-Identifier: MIT
#include "platform/desktopentries.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMutex>
#include <QSet>
#include <QStandardPaths>

namespace {

// Undoes the escapes of the desktop-entry value type (\s \n \t \r \\).
QString unescapeValue(QStringView value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != u'\\' || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar next = value[++i];
        switch (next.unicode()) {
        case 's': out += u' '; break;
        case 'n': out += u'\n'; break;
        case 't': out += u'\t'; break;
        case 'r': out += u'\r'; break;
        case '\\': out += u'\\'; break; // Exec's own quoting then reads the single backslash
        default: out += u'\\'; out += next; break;
        }
    }
    return out;
}

// Splits an Exec value into words: double quotes group, and inside them a backslash escapes.
QStringList execWords(const QString &exec, int wanted)
{
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size() && words.size() < wanted; ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == u'\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else if (c == u'"') {
                quoted = false;
            } else {
                word += c;
            }
        } else if (c == u'"') {
            quoted = true;
            inWord = true;
        } else if (c == u' ' || c == u'\t') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord && words.size() < wanted)
        words << word;
    return words;
}

QString resolveProgram(const QString &program)
{
    if (program.isEmpty())
        return {};
    const QString path = program.contains(u'/') ? program
                                                : QStandardPaths::findExecutable(program);
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

QStringList applicationDirs(const QStringList &dataDirs)
{
    QStringList dirs;
    for (const QString &dataDir : dataDirs) {
        const QString dir = QDir(dataDir).filePath(QStringLiteral("applications"));
        if (!dirs.contains(dir))
            dirs << dir;
    }
    return dirs;
}

// What the cached index was built from: the folders and the times they last changed.
struct Stamp
{
    QStringList dirs;
    QList<QDateTime> times;
    // File systems keep these times in coarse ticks: a folder changed within the last moments
    // may change again without its time moving, so such a stamp proves nothing.
    bool recent = false;
    bool operator==(const Stamp &other) const
    {
        return dirs == other.dirs && times == other.times;
    }
};

Stamp stampOf(const QStringList &dirs)
{
    Stamp stamp;
    for (const QString &dir : dirs) {
        stamp.dirs << dir;
        stamp.times << QFileInfo(dir).lastModified();
        QDirIterator it(dir, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            stamp.dirs << it.next();
            stamp.times << it.fileInfo().lastModified();
        }
    }
    const QDateTime moments = QDateTime::currentDateTime().addSecs(-2);
    stamp.recent = std::any_of(stamp.times.cbegin(), stamp.times.cend(),
                               [&](const QDateTime &time) { return time > moments; });
    return stamp;
}

} // namespace

DesktopEntries::DesktopEntries(const QStringList &dataDirs)
{
    const QString locale = QLocale().name();
    QSet<QString> seen;
    for (const QString &dir : applicationDirs(dataDirs)) {
        QList<std::pair<QString, QString>> files; // id, path
        QDirIterator it(dir, {QStringLiteral("*.desktop")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QString id = QDir(dir).relativeFilePath(path);
            id.chop(int(qstrlen(".desktop")));
            id.replace(u'/', u'-');
            files.append({id, path});
        }
        std::sort(files.begin(), files.end());
        for (const auto &[id, path] : files) {
            // A file of the same id in an earlier folder hides this one, even a Hidden one.
            if (seen.contains(id))
                continue;
            seen.insert(id);
            if (auto entry = read(path, id, locale))
                m_entries << *entry;
        }
    }
}

std::shared_ptr<const DesktopEntries> DesktopEntries::installed()
{
    static QMutex mutex;
    static std::shared_ptr<const DesktopEntries> cached;
    static Stamp cachedStamp;

    const QStringList dataDirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    const Stamp stamp = stampOf(applicationDirs(dataDirs));
    QMutexLocker lock(&mutex);
    if (!cached || !(stamp == cachedStamp) || stamp.recent) {
        cached = std::make_shared<const DesktopEntries>(dataDirs);
        cachedStamp = stamp;
    }
    return cached;
}

std::optional<DesktopEntry> DesktopEntries::byId(const QString &id) const
{
    for (const DesktopEntry &entry : m_entries) {
        if (entry.id == id)
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntries::byStartupWmClass(const QString &wmClass) const
{
    if (wmClass.isEmpty())
        return std::nullopt;
    for (const DesktopEntry &entry : m_entries) {
        if (entry.startupWmClass == wmClass)
            return entry;
    }
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntries::forWindow(const QString &wmInstance,
                                                      const QString &wmClass,
                                                      const QString &executable) const
{
    if (auto entry = byStartupWmClass(wmClass))
        return entry;
    if (auto entry = byStartupWmClass(wmInstance))
        return entry;
    if (executable.isEmpty())
        return std::nullopt;

    // Interpreters and launchers start many applications: a program that several shown entries
    // share says nothing about which one this window belongs to.
    QList<const DesktopEntry *> shown;
    QList<const DesktopEntry *> all;
    for (const DesktopEntry &entry : m_entries) {
        if (entry.executable != executable)
            continue;
        all << &entry;
        if (!entry.noDisplay)
            shown << &entry;
    }
    if (shown.size() == 1)
        return *shown.first();
    if (shown.isEmpty() && all.size() == 1)
        return *all.first();
    return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntries::read(const QString &path, const QString &id,
                                                 const QString &locale)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    const QString language = locale.section(u'_', 0, 0);
    const QString exactName = QStringLiteral("Name[%1]").arg(locale);
    const QString languageName = QStringLiteral("Name[%1]").arg(language);
    QString name, localName, languageLocalName, type, exec;
    DesktopEntry entry;
    entry.id = id;
    bool inMainGroup = false;
    bool sawMainGroup = false;
    bool hidden = false;

    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[')) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            sawMainGroup = sawMainGroup || inMainGroup;
            continue;
        }
        if (!inMainGroup)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = unescapeValue(QStringView(line).mid(eq + 1).trimmed());
        if (key == QLatin1String("Name"))
            name = value;
        else if (key == exactName)
            localName = value;
        else if (key == languageName)
            languageLocalName = value;
        else if (key == QLatin1String("Type"))
            type = value;
        else if (key == QLatin1String("Exec"))
            exec = value;
        else if (key == QLatin1String("StartupWMClass"))
            entry.startupWmClass = value;
        else if (key == QLatin1String("Icon"))
            entry.icon = value;
        else if (key == QLatin1String("Hidden"))
            hidden = value == QLatin1String("true");
        else if (key == QLatin1String("NoDisplay"))
            entry.noDisplay = value == QLatin1String("true");
    }

    if (!sawMainGroup || hidden || type != QLatin1String("Application"))
        return std::nullopt;
    entry.name = !localName.isEmpty() ? localName
               : !languageLocalName.isEmpty() ? languageLocalName : name;
    entry.executable = resolveProgram(program(exec));
    return entry;
}

QString DesktopEntries::program(const QString &exec)
{
    const QStringList words = execWords(exec, 16);
    qsizetype i = 0;
    if (i < words.size() && (words[i] == QLatin1String("env")
                             || words[i] == QLatin1String("/usr/bin/env"))) {
        ++i;
        while (i < words.size() && words[i].contains(u'=') && !words[i].startsWith(u'/'))
            ++i;
    }
    return i < words.size() ? words[i] : QString();
}

QString DesktopEntries::executableOf(qint64 pid)
{
    if (pid <= 0)
        return {};
    QString path = QFile::symLinkTarget(QStringLiteral("/proc/%1/exe").arg(pid));
    // A program replaced on disk since it started still names its old file.
    if (path.endsWith(QLatin1String(" (deleted)")))
        path.chop(int(qstrlen(" (deleted)")));
    return path;
}
