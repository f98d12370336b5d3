// Linux: one line per application desktop entry of the user and of the system, shaped like
// the macOS list ("    <name> Location: <path>"), so that the same grep finds an application
// by name and the text from the first "/" on is a path that exists.
#include "InstalledApplications.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>
#include <QTextStream>

namespace {
struct DesktopEntry
{
    QString type;
    QString name;
    QString exec;
    QString tryExec;
    bool hidden = false;
};

// The string escapes of desktop entry values: \s \n \t \r \\.
QString Unescape(const QString& value)
{
    QString out;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        const QChar e = value.at(++i);
        if (e == QLatin1Char('s'))
            out += QLatin1Char(' ');
        else if (e == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (e == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (e == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else
            out += e;
    }
    return out;
}

DesktopEntry ReadEntry(const QString& path)
{
    DesktopEntry entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    bool inMainGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (!inMainGroup || eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = Unescape(line.mid(eq + 1).trimmed());
        if (key == QLatin1String("Type"))
            entry.type = value;
        else if (key == QLatin1String("Name"))
            entry.name = value;
        else if (key == QLatin1String("Exec"))
            entry.exec = value;
        else if (key == QLatin1String("TryExec"))
            entry.tryExec = value;
        else if (key == QLatin1String("Hidden"))
            entry.hidden = value == QLatin1String("true");
    }
    return entry;
}

// The arguments of an Exec value, with its double-quote rules.
QStringList SplitExec(const QString& exec)
{
    QStringList args;
    QString current;
    bool quoted = false;
    bool any = false;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted && c == QLatin1Char('\\') && i + 1 < exec.size()) {
            current += exec.at(++i);
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (!quoted && c.isSpace()) {
            if (any || !current.isEmpty())
                args << current;
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.isEmpty())
        args << current;
    return args;
}

// An existing program file for a command name or path, or empty.
QString ResolveProgram(const QString& program)
{
    if (program.isEmpty())
        return QString();
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isFile() ? QFileInfo(program).absoluteFilePath() : QString();
    return QStandardPaths::findExecutable(program);
}

// The program an Exec line starts, looking through "env [VAR=value...]".
QString ExecProgram(const QString& exec)
{
    const QStringList args = SplitExec(exec);
    int i = 0;
    if (i < args.size() && QFileInfo(args.at(i)).fileName() == QLatin1String("env")) {
        ++i;
        while (i < args.size() && (args.at(i).contains(QLatin1Char('=')) || args.at(i).startsWith(QLatin1Char('-')))) {
            // -u NAME and -C FOLDER take the next argument with them
            const bool takesValue = args.at(i) == QLatin1String("-u") || args.at(i) == QLatin1String("-C");
            i += takesValue ? 2 : 1;
        }
    }
    return i < args.size() ? ResolveProgram(args.at(i)) : QString();
}

class LinuxInstalledApplications : public InstalledApplicationsWriter
{
public:
    bool Write(const QString& listPath) override
    {
        QFile file(listPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return false;
        QTextStream out(&file);
        out.setCodec("UTF-8");
        for (const QString& line : DesktopEntryLines(DesktopEntryFolders()))
            out << line << '\n';
        out.flush();
        return file.error() == QFile::NoError;
    }
};
} // namespace

QStringList DesktopEntryFolders()
{
    QStringList bases;
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    bases << (dataHome.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : dataHome);
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    bases << dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);

    QStringList folders;
    for (const QString& base : qAsConst(bases)) {
        const QString folder = base + QStringLiteral("/applications");
        if (!folders.contains(folder))
            folders << folder;
    }
    return folders;
}

QStringList DesktopEntryLines(const QStringList& applicationFolders)
{
    QStringList lines;
    QSet<QString> seenIds;
    for (const QString& folder : applicationFolders) {
        QStringList files;
        QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.sort();
        for (const QString& path : qAsConst(files)) {
            // The desktop-file id: the path below the folder with "/" written as "-".
            const QString id = path.mid(folder.size() + 1).replace(QLatin1Char('/'), QLatin1Char('-'));
            if (seenIds.contains(id))
                continue;
            seenIds.insert(id);
            const DesktopEntry entry = ReadEntry(path);
            if (entry.hidden || entry.type != QLatin1String("Application") || entry.name.isEmpty())
                continue;
            QString location = path;
            if (!entry.tryExec.isEmpty()) {
                location = ResolveProgram(entry.tryExec);
                if (location.isEmpty())
                    continue; // the program it needs is not installed
            } else {
                const QString program = ExecProgram(entry.exec);
                if (!program.isEmpty())
                    location = program;
            }
            if (location.contains(QLatin1Char('\n')))
                continue;
            // The reader takes the path from the first "/" and splits at line feeds.
            QString name = entry.name;
            name.replace(QLatin1Char('/'), QLatin1Char('-'));
            for (QChar& c : name) {
                if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t'))
                    c = QLatin1Char(' ');
            }
            lines << QStringLiteral("    ") + name + QStringLiteral(" Location: ") + location;
        }
    }
    return lines;
}

std::unique_ptr<InstalledApplicationsWriter> CreateLinuxInstalledApplicationsWriter()
{
    return std::make_unique<LinuxInstalledApplications>();
}
