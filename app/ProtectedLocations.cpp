#include "ProtectedLocations.h"

#include <QFile>
#include <QStringList>
#include <QVector>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif

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

namespace {

struct Mount
{
    QByteArray id;
    QByteArray device; // major:minor
    QByteArray root;   // the folder of the file system shown at the mount point
    QByteArray point;
    QByteArray type;
};

// mountinfo writes space, tab, newline and backslash as octal escapes.
QByteArray Unescape(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (int i = 0; i < field.size(); ++i) {
        if (field.at(i) == '\\' && i + 3 < field.size()) {
            bool ok = false;
            const int value = field.mid(i + 1, 3).toInt(&ok, 8);
            if (ok) {
                out += char(value);
                i += 3;
                continue;
            }
        }
        out += field.at(i);
    }
    return out;
}

QVector<Mount> ReadMounts()
{
    QVector<Mount> mounts;
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return mounts;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const int dash = fields.indexOf("-");
        if (fields.size() < 5 || dash < 5 || dash + 1 >= fields.size())
            continue;
        mounts.append(
            {fields.at(0), fields.at(2), Unescape(fields.at(3)), Unescape(fields.at(4)), fields.at(dash + 1)});
    }
    return mounts;
}

// The part of `path` below `folder`, "" for the folder itself; null when not below it.
QByteArray Below(const QByteArray& path, const QByteArray& folder)
{
    if (folder == "/")
        return path == "/" ? QByteArray("") : path;
    if (path == folder)
        return QByteArray("");
    if (path.startsWith(folder + '/'))
        return path.mid(folder.size());
    return QByteArray();
}

QByteArray Joined(const QByteArray& folder, const QByteArray& rest)
{
    if (rest.isEmpty())
        return folder;
    return folder == "/" ? rest : folder + rest;
}

} // namespace

QStringList BoundLocations(const QByteArray& path)
{
    // The folders above the item resolved; the item itself stays (a link is not followed).
    QByteArray resolved = path;
    const int slash = path.lastIndexOf('/');
    if (slash > 0) {
        char* parent = ::realpath(path.left(slash).constData(), nullptr);
        if (parent) {
            resolved = Joined(QByteArray(parent), path.mid(slash));
            ::free(parent);
        }
    }
    // Where a linked folder leads is one of the names the item has.
    QStringList locations;
    if (resolved != path)
        locations << QFile::decodeName(resolved);
    const QVector<Mount> mounts = ReadMounts();
    int best = -1;
    QByteArray rest;
    for (int i = 0; i < mounts.size(); ++i) {
        const QByteArray below = Below(resolved, mounts.at(i).point);
        // The later of two mounts at one point is the one on top.
        if (!below.isNull() && (best < 0 || mounts.at(i).point.size() >= mounts.at(best).point.size())) {
            best = i;
            rest = below;
        }
    }
    if (best < 0)
        return locations;
    const QByteArray source = Joined(mounts.at(best).root, rest); // within the file system
    for (int i = 0; i < mounts.size(); ++i) {
        const Mount& other = mounts.at(i);
        if (i == best || other.device != mounts.at(best).device)
            continue;
        const QByteArray inside = Below(source, other.root);
        if (!inside.isNull())
            locations << QFile::decodeName(Joined(other.point, inside));
    }
    return locations;
}

bool IsVirtualFileSystem(int fd)
{
#ifdef Q_OS_LINUX
    static const unsigned long kTypes[] = {
        0x9fa0,     // proc
        0x62656572, // sysfs
        0x1cd1,     // devpts
        0x64626720, // debugfs
        0x74726163, // tracefs
        0x27e0eb,   // cgroup
        0x63677270, // cgroup2
        0x73636673, // securityfs
        0x6165676c, // pstore
        0xcafe4a11, // bpf
        0x62656570, // configfs
        0xde5e83ca, // efivarfs
        0x65735543, // fusectl
        0x42494e4d, // binfmt_misc
        0xf97cff8c, // selinuxfs
        0x43415d53, // smackfs
        0x19800202, // mqueue
        0x6e736673, // nsfs
        0x67596969, // rpc_pipefs
        0x0187,     // autofs
    };
    struct statfs info;
    if (::fstatfs(fd, &info) != 0)
        return true; // what cannot be told is not erased
    const unsigned long type = static_cast<unsigned long>(info.f_type);
    for (unsigned long known : kTypes) {
        if (type == known)
            return true;
    }
    // devtmpfs shows itself as tmpfs: the mount table tells them apart.
#ifdef STATX_MNT_ID
    constexpr unsigned long kTmpfs = 0x01021994;
    struct statx sx;
    if (type != kTmpfs || ::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &sx) != 0 || !(sx.stx_mask & STATX_MNT_ID))
        return false;
    const QByteArray id = QByteArray::number(qulonglong(sx.stx_mnt_id));
    for (const Mount& mount : ReadMounts()) {
        if (mount.id == id)
            return mount.type == "devtmpfs";
    }
#endif
    return false;
#else
    Q_UNUSED(fd);
    return false;
#endif
}
