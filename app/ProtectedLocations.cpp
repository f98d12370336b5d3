#include "ProtectedLocations.h"

#include <QStringList>

namespace {

struct VolumeRoot
{
    QString base;  // the folder that volumes are mounted below
    int rootDepth; // components of a volume's mount point, e.g. /Volumes/Disk is 2
};

struct Layout
{
    QStringList roots;          // tested as plain prefixes
    QStringList volumeSuffixes; // tested as suffixes inside a volume
    QStringList homeNames;      // compared whole, ignoring case
    QString usersFolder;
    QList<VolumeRoot> volumeRoots;
    bool volumeBaseIsWholeComponent; // "/media" must not match "/mediaX"
    bool protectVolumeBases;         // the folders that hold mount points are protected too
};

const Layout& MacLayout()
{
    static const Layout layout{
        {"/Applications", "/Developer", "/Library", "/Network", "/System", "/usr", "/var", "/tmp", "/sockets.log",
         "/sbin", "/private", "/net", "/mach_kernel", "/home", "/hfsdebug", "/etc", "/dev", "/cores", "/bin"},
        {"/Applications/", "/Developer/",  "/Library/", "/Network/", "/System/", "/usr/",         "/var/",
         "/tmp/",          "/sockets.log", "/sbin/",    "/private/", "/net/",    "/mach_kernel/", "/home/",
         "/var/",          "/hfsdebug/",   "/etc/",     "/dev/",     "/cores/",  "/bin/"},
        {"Desktop", "Downloads", "Library", "Documents", "Movies", "Music", "Pictures"},
        "/Users",
        {{"/Volumes", 2}},
        false,
        false};
    return layout;
}

const Layout& LinuxLayout()
{
    static const Layout layout{{"/bin", "/boot", "/dev", "/etc", "/lib", "/lost+found", "/opt", "/proc", "/root",
                                "/run", "/sbin", "/snap", "/srv", "/sys", "/tmp", "/usr", "/var"},
                               {"/bin/", "/boot/", "/dev/", "/etc/", "/home/", "/lib/", "/opt/", "/proc/", "/root/",
                                "/run/", "/sbin/", "/srv/", "/sys/", "/tmp/", "/usr/", "/var/"},
                               {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos", "Public",
                                "Templates", ".config", ".local", ".ssh"},
                               "/home",
                               {{"/run/media", 4}, {"/media", 3}, {"/mnt", 2}},
                               true,
                               true};
    return layout;
}

bool IsHomeName(const Layout& layout, const QString& name)
{
    for (const QString& home : layout.homeNames) {
        if (name.compare(home, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool StartsWithBase(const QString& path, const QString& base, bool wholeComponent)
{
    if (!wholeComponent)
        return path.startsWith(base);
    return path == base || path.startsWith(base + QLatin1Char('/'));
}

} // namespace

bool IsProtectedLocation(const QString& path, PlatformKind platform)
{
    const Layout& layout = platform == PlatformKind::MacOS ? MacLayout() : LinuxLayout();
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const int count = parts.size();

    if (path == QLatin1String("/"))
        return true;

    const VolumeRoot* volume = nullptr;
    for (const VolumeRoot& root : layout.volumeRoots) {
        if (StartsWithBase(path, root.base, layout.volumeBaseIsWholeComponent)) {
            volume = &root;
            break;
        }
    }

    // Mount points may sit below a system root (/run/media), so volumes are exempt here.
    if (!volume || !layout.volumeBaseIsWholeComponent) {
        for (const QString& root : layout.roots) {
            if (path.startsWith(root))
                return true;
        }
    }

    const QString& users = layout.usersFolder;
    if (path.compare(users, Qt::CaseInsensitive) == 0 || path.compare(users + '/', Qt::CaseInsensitive) == 0)
        return true;

    if (path.startsWith(users)) {
        if (count == 2 || count == 3)
            return true;
        if (count == 4)
            return IsHomeName(layout, parts.at(3));
        return false;
    }

    if (volume) {
        if (layout.protectVolumeBases && count < volume->rootDepth)
            return true;
        for (const QString& suffix : layout.volumeSuffixes) {
            if (path.endsWith(suffix))
                return true;
        }
        if (!path.contains(users))
            return false;
        const int depth = volume->rootDepth;
        if (count <= depth + 3)
            return true;
        if (count == depth + 4)
            return IsHomeName(layout, parts.at(depth + 3));
        return false;
    }
    return false;
}
