#include "Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

PlatformKind HostPlatform()
{
#ifdef Q_OS_MACOS
    return PlatformKind::MacOS;
#else
    return PlatformKind::Linux;
#endif
}

namespace PlatformPaths {

namespace {
const char kUserFolderName[] = "/korvane-file-eraser";

bool Writable(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

// mkdir -p, with the folders it creates closed to other users.
void MakePrivatePath(const QString& path)
{
    QString built;
    for (const QString& part : QDir::cleanPath(path).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        built += QLatin1Char('/') + part;
        ::mkdir(QFile::encodeName(built).constData(), 0700);
    }
}
} // namespace

QString AgreementFlagFile(PlatformKind platform)
{
    if (platform == PlatformKind::MacOS)
        return QStringLiteral("/Users/Shared/KVLicense.plist");
    return QStringLiteral("/var/lib/korvane-file-eraser/KVLicense.plist");
}

QString AgreementFlagFallback()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/KVLicense.plist");
}

QString RootHome(PlatformKind platform)
{
    return platform == PlatformKind::MacOS ? QStringLiteral("/private/var/root") : QStringLiteral("/root");
}

QString UsersFolder(PlatformKind platform)
{
    return platform == PlatformKind::MacOS ? QStringLiteral("/Users") : QStringLiteral("/home");
}

QString UserHome()
{
    const QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    if (const passwd* entry = getpwuid(getuid()))
        return QFile::decodeName(entry->pw_dir);
    return QString();
}

QString XdgFolder(const char* variable, const char* fallbackBelowHome)
{
    // The base directory rules ignore a relative path.
    const QString value = qEnvironmentVariable(variable);
    if (value.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(value);
    return QDir::cleanPath(UserHome() + QLatin1Char('/') + QLatin1String(fallbackBelowHome));
}

bool CanWriteBundle(const QString& bundle)
{
    // access() asks for the real user, who is the one that runs the program.
    const QString resources = bundle + QStringLiteral("/Resources");
    return Writable(bundle) && (!QFileInfo::exists(resources) || Writable(resources));
}

FolderLayout ChooseFolderLayout(PlatformKind platform, const QString& bundle, bool bundleWritable)
{
    FolderLayout layout;
    if (platform == PlatformKind::MacOS || bundleWritable) {
        layout.settingsFolder = bundle + QStringLiteral("/Resources");
        layout.logFolder = bundle;
        layout.certificateFolder = bundle;
        layout.taskFolder = bundle + QStringLiteral("/KVFTASK");
        layout.infoFile = bundle + QStringLiteral("/Resources") + QStringLiteral("/KVFInfo.txt");
        return layout;
    }
    const QString cache = XdgFolder("XDG_CACHE_HOME", ".cache") + kUserFolderName;
    layout.perUser = true;
    layout.settingsFolder = XdgFolder("XDG_CONFIG_HOME", ".config") + kUserFolderName;
    layout.logFolder = XdgFolder("XDG_STATE_HOME", ".local/state") + kUserFolderName;
    layout.certificateFolder = XdgFolder("XDG_DATA_HOME", ".local/share") + kUserFolderName;
    layout.taskFolder = cache + QStringLiteral("/KVFTASK");
    layout.infoFile = cache + QStringLiteral("/KVFInfo.txt");
    return layout;
}

void MakeUserFolders(const FolderLayout& layout)
{
    if (!layout.perUser)
        return;
    for (const QString& folder :
         {layout.settingsFolder, layout.logFolder, layout.certificateFolder, QFileInfo(layout.infoFile).path()})
        MakePrivatePath(folder);
}

QString UserDownloadFolder()
{
    return XdgFolder("XDG_CACHE_HOME", ".cache") + kUserFolderName + QStringLiteral("/update/");
}

} // namespace PlatformPaths

bool RefuseSetIdExecution(const char* program)
{
#ifdef Q_OS_LINUX
    if (getuid() == geteuid() && getgid() == getegid())
        return false;
    std::fprintf(stderr,
                 "%s: refusing to run with set-user-id or set-group-id privileges: the calling user would "
                 "choose what a privileged process loads and runs.\n"
                 "Remove the bit (chmod u-s,g-s) and run the program as root through sudo or pkexec instead, "
                 "for example: sudo %s\n",
                 program, program);
    return true;
#else
    // The macOS build keeps its specified start: set-user-id execution is allowed.
    (void)program;
    QCoreApplication::setSetuidAllowed(true);
    return false;
#endif
}
