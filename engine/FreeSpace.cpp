#include "FreeSpace.h"

#include "PassEngine.h"
#include "ShellRunner.h"

#include <QFile>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#ifdef __APPLE__
#include <sys/mount.h>
#include <sys/param.h>
#else
#include <mntent.h>
#endif

namespace {
std::function<long long(const QString&)> g_source;
bool g_unnamedFillers = true;

#ifdef __APPLE__
const char kMarkName[] = "com.korvane.filler";
#else
const char kMarkName[] = "user.korvane.filler";
#endif
constexpr mode_t kFillerMode = 0200;

#ifdef __APPLE__
long long DiskutilFreeSpace(const QString& folder)
{
    return DiskutilInfoFreeSpace(OnIterateBuffer(QStringLiteral("diskutil info ") + ShellQuote(folder)));
}
#else
long long StatvfsFreeSpace(const QString& folder)
{
    struct statvfs st;
    if (statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return 0;
    const unsigned long long blocks = geteuid() == 0 ? st.f_bfree : st.f_bavail;
    return static_cast<long long>(blocks * st.f_frsize);
}
#endif

bool SetMark(int fd)
{
#ifdef __APPLE__
    return fsetxattr(fd, kMarkName, "1", 1, 0, 0) == 0;
#else
    return fsetxattr(fd, kMarkName, "1", 1, 0) == 0;
#endif
}

// 1: the file carries the mark; 0: it does not; -1: the file system keeps no attributes.
int HasMark(int fd)
{
    char value[8];
#ifdef __APPLE__
    const ssize_t n = fgetxattr(fd, kMarkName, value, sizeof value, 0, 0);
#else
    const ssize_t n = fgetxattr(fd, kMarkName, value, sizeof value);
#endif
    if (n == 1 && value[0] == '1')
        return 1;
    return n < 0 && (errno == ENOTSUP || errno == EOPNOTSUPP) ? -1 : 0;
}

// Descriptors 0 to 2 are left to the standard streams (and the pass engine takes a
// descriptor below 1 for none).
int AboveStandard(int fd)
{
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    const int error = errno;
    ::close(fd);
    errno = error;
    return moved;
}

bool Skipped(const char* type)
{
    // Virtual, network and automounted file systems: no filler was ever made there by a
    // process that may write, or looking could hang the start.
    static const char* const kTypes[] = {
        "proc",       "sysfs",    "devtmpfs",   "devpts",  "cgroup",      "cgroup2",
        "debugfs",    "tracefs",  "securityfs", "pstore",  "bpf",         "mqueue",
        "hugetlbfs",  "configfs", "fusectl",    "autofs",  "binfmt_misc", "efivarfs",
        "rpc_pipefs", "nfsd",     "nfs",        "nfs4",    "cifs",        "smb3",
        "smbfs",      "afpfs",    "webdav",     "9p",      "ceph",        "devfs",
        "nsfs",       "ramfs",    "squashfs",   "iso9660", "fuse.sshfs",  "fuse.gvfsd-fuse"};
    for (const char* skipped : kTypes) {
        if (std::strcmp(type, skipped) == 0)
            return true;
    }
    return false;
}
} // namespace

namespace FreeSpaceTesting {
void SetSource(const std::function<long long(const QString&)>& source)
{
    g_source = source;
}
void SetUnnamedFillers(bool allowed)
{
    g_unnamedFillers = allowed;
}
} // namespace FreeSpaceTesting

long long ParseDiskutilFreeSpace(const QString& answer)
{
    const int open = answer.indexOf(QLatin1Char('('));
    if (open < 0)
        return 0;
    const QString rest = answer.mid(open + 1);
    const int bytes = rest.indexOf(QLatin1String("Bytes"));
    if (bytes < 1)
        return 0;
    bool ok = false;
    const long long value = rest.left(bytes - 1).toLongLong(&ok, 10);
    return ok ? value : 0;
}

long long DiskutilInfoFreeSpace(const QString& info)
{
    const QStringList lines = info.split(QLatin1Char('\n'));
    for (const char* key : {"Volume Free Space:", "Volume Available Space:", "Container Free Space:"}) {
        for (const QString& line : lines) {
            if (!line.trimmed().startsWith(QLatin1String(key)))
                continue;
            const long long bytes = ParseDiskutilFreeSpace(line);
            if (bytes > 0)
                return bytes;
        }
    }
    return 0;
}

long long VolumeFreeSpace(const QString& folder)
{
    if (g_source)
        return g_source(folder);
#ifdef __APPLE__
    return DiskutilFreeSpace(folder);
#else
    return StatvfsFreeSpace(folder);
#endif
}

namespace Filler {

bool IsFillerName(const char* name)
{
    const size_t prefix = std::strlen(kNamePrefix);
    if (std::strncmp(name, kNamePrefix, prefix) != 0 || name[prefix] == '\0')
        return false;
    for (const char* p = name + prefix; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
    }
    return true;
}

int Create(int dirFd, QByteArray* name)
{
    name->clear();
#ifdef O_TMPFILE
    if (g_unnamedFillers) {
        const int fd = ::openat(dirFd, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        if (fd >= 0)
            return AboveStandard(fd);
    }
#endif
    // A fresh name every time: an existing file is never taken over, whoever made it.
    const long long first = DrawRandomValue();
    for (long long n = first; n < first + 1000; ++n) {
        const QByteArray candidate = kNamePrefix + QByteArray::number(n);
        int fd =
            ::openat(dirFd, candidate.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, kFillerMode);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return -1;
        fd = AboveStandard(fd);
        if (fd < 0 || ::fchmod(fd, kFillerMode) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (fd >= 0)
                ::close(fd);
            ::unlinkat(dirFd, candidate.constData(), 0);
            errno = error;
            return -1;
        }
        SetMark(fd); // where attributes are kept; elsewhere name and mode are the marks
        *name = candidate;
        return fd;
    }
    errno = EEXIST;
    return -1;
}

bool IsStale(int dirFd, const char* name)
{
    if (!IsFillerName(name))
        return false;
    struct stat before;
    if (::fstatat(dirFd, name, &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode) ||
        (before.st_mode & 07777) != kFillerMode || before.st_nlink != 1)
        return false;
    if (geteuid() != 0 && before.st_uid != geteuid())
        return false;
    const int fd = ::openat(dirFd, name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened;
    bool stale = ::fstat(fd, &opened) == 0 && opened.st_dev == before.st_dev && opened.st_ino == before.st_ino &&
                 HasMark(fd) != 0;
    // A filler still being filled is locked by the process that fills it.
    stale = stale && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return stale;
}

int RemoveStale(const QString& mountPoint)
{
    const QByteArray folder = QFile::encodeName(mountPoint) + '/' + kFolderName;
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd < 0)
        return 0;
    const int listFd = ::fcntl(dirFd, F_DUPFD_CLOEXEC, 3);
    DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr;
    if (!dir) {
        if (listFd >= 0)
            ::close(listFd);
        ::close(dirFd);
        return 0;
    }
    QList<QByteArray> stale;
    bool onlyFiller = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (IsStale(dirFd, entry->d_name))
            stale << QByteArray(entry->d_name);
        else
            onlyFiller = false;
    }
    ::closedir(dir);
    int removed = 0;
    for (const QByteArray& name : stale)
        removed += ::unlinkat(dirFd, name.constData(), 0) == 0 ? 1 : 0;
    ::close(dirFd);
    if (onlyFiller)
        ::rmdir(folder.constData()); // fails, as it should, if a filler appeared meanwhile
    return removed;
}

int RemoveStaleEverywhere()
{
    QStringList mountPoints;
#ifdef __APPLE__
    struct statfs* mounts = nullptr;
    const int count = getmntinfo(&mounts, MNT_NOWAIT);
    for (int i = 0; i < count; ++i) {
        if (!(mounts[i].f_flags & MNT_RDONLY) && !Skipped(mounts[i].f_fstypename))
            mountPoints << QFile::decodeName(mounts[i].f_mntonname);
    }
#else
    FILE* table = ::setmntent("/proc/self/mounts", "r");
    if (!table)
        return 0;
    while (const mntent* mount = ::getmntent(table)) {
        if (!::hasmntopt(mount, "ro") && !Skipped(mount->mnt_type) && std::strncmp(mount->mnt_type, "fuse", 4) != 0)
            mountPoints << QFile::decodeName(mount->mnt_dir);
    }
    ::endmntent(table);
#endif
    int removed = 0;
    for (const QString& mountPoint : mountPoints)
        removed += RemoveStale(mountPoint);
    return removed;
}

} // namespace Filler
