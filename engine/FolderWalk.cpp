#include "FolderWalk.h"

#include "NameScrub.h"

#include <QList>
#include <QVector>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif
#include <unistd.h>

#ifndef AT_NO_AUTOMOUNT
#define AT_NO_AUTOMOUNT 0
#endif

bool NodeStat::OtherMount(const NodeStat& other) const
{
    if (mountId != 0 && other.mountId != 0 && mountId != other.mountId)
        return true;
    // A btrfs subvolume has a device of its own but lies on the same mount.
    return (mountId == 0 || other.mountId == 0) && dev != other.dev;
}

bool StatAt(int dirfd, const QByteArray& name, NodeStat* out)
{
    const int flags = AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT | (name.isEmpty() ? AT_EMPTY_PATH : 0);
#ifdef STATX_MNT_ID
    struct statx sx;
    if (::statx(dirfd, name.constData(), flags, STATX_BASIC_STATS | STATX_MNT_ID, &sx) == 0) {
        out->dev = makedev(sx.stx_dev_major, sx.stx_dev_minor);
        out->ino = sx.stx_ino;
        out->mode = sx.stx_mode;
        out->nlink = sx.stx_nlink;
        out->size = static_cast<long long>(sx.stx_size);
        out->mountId = (sx.stx_mask & STATX_MNT_ID) ? sx.stx_mnt_id : 0;
        return true;
    }
    if (errno != ENOSYS)
        return false;
#endif
    struct stat st;
    if (::fstatat(dirfd, name.constData(), &st, flags) != 0)
        return false;
    out->dev = st.st_dev;
    out->ino = st.st_ino;
    out->mode = st.st_mode;
    out->nlink = st.st_nlink;
    out->size = st.st_size;
    out->mountId = 0;
    return true;
}

Descriptor::~Descriptor()
{
    Reset(-1);
}

void Descriptor::Reset(int fd)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
}

void SplitPath(const QByteArray& path, QByteArray* parent, QByteArray* name)
{
    QByteArray trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith('/'))
        trimmed.chop(1);
    const int slash = trimmed.lastIndexOf('/');
    if (slash < 0) {
        *parent = ".";
        *name = trimmed;
        return;
    }
    *parent = slash == 0 ? QByteArray("/") : trimmed.left(slash);
    *name = trimmed.mid(slash + 1);
}

int OpenFolderPath(const QByteArray& path)
{
    int fd = ::open(path.startsWith('/') ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QByteArray& part : path.split('/')) {
        if (fd < 0 || part.isEmpty() || part == ".")
            continue;
        const int next = ::openat(fd, part.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(fd);
        fd = next;
    }
    return fd;
}

int OpenSubfolder(int dirfd, const QByteArray& name, const NodeStat& expected)
{
    const int fd = ::openat(dirfd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    NodeStat opened;
    if (fd >= 0 && StatAt(fd, QByteArray(), &opened) && opened.SameNode(expected) && !opened.OtherMount(expected))
        return fd;
    if (fd >= 0)
        ::close(fd);
    return -1;
}

bool RemoveErasedName(int dirfd, const QByteArray& name, const NodeStat& expected, bool folder, bool written)
{
    NodeStat now;
    if (!StatAt(dirfd, name, &now) || !now.SameNode(expected))
        return false;
    // The log and the certificate keep the real name; the folder's entry does not.
    return UnlinkScrubbedAt(dirfd, name, folder, written);
}

namespace {

// The names in a folder, read whole first, so that no directory stream stays open while
// its entries are erased and removed.
bool ReadNames(int fd, QVector<QByteArray>* names)
{
    const int own = ::openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (own < 0)
        return false;
    DIR* dir = ::fdopendir(own);
    if (!dir) {
        ::close(own);
        return false;
    }
    errno = 0;
    while (dirent* d = ::readdir(dir)) {
        if (qstrcmp(d->d_name, ".") != 0 && qstrcmp(d->d_name, "..") != 0)
            names->append(QByteArray(d->d_name));
        errno = 0;
    }
    const bool complete = errno == 0;
    ::closedir(dir);
    return complete;
}

} // namespace

bool FolderWalk::Walk(int rootFd, const QByteArray& rootPath)
{
    m_stopped = false;
    NodeStat root;
    if (!StatAt(rootFd, QByteArray(), &root))
        return false;
    return WalkLevel(rootFd, rootPath.endsWith('/') ? rootPath.left(rootPath.size() - 1) : rootPath, root);
}

bool FolderWalk::WalkLevel(int fd, const QByteArray& path, const NodeStat& root)
{
    QVector<QByteArray> names;
    bool clean = ReadNames(fd, &names);
    struct Emptied
    {
        QByteArray name;
        QByteArray path;
        NodeStat stat;
    };
    QVector<Emptied> emptiedFolders; // removed together once the level is through
    bool deferredKept = false;
    bool deferred = false;
    // Deferred entries hold this folder's descriptor: they are finished before it closes.
    const auto settle = [&] {
        if (deferred && onSettle)
            onSettle();
        deferred = false;
        return !deferredKept;
    };
    for (const QByteArray& name : names) {
        NodeStat st;
        if (!StatAt(fd, name, &st))
            continue; // gone meanwhile
        const QByteArray full = path + '/' + name;
        const Entry entry{fd, name, full, st, &deferredKept};
        if (st.OtherMount(root)) {
            if (onMountPoint)
                onMountPoint(entry);
            clean = false;
            continue;
        }
        if (!S_ISDIR(st.mode)) {
            const Visit visit = onEntry ? onEntry(entry) : Visit::Kept;
            if (visit == Visit::Stop) {
                settle();
                m_stopped = true;
                return false;
            }
            deferred = deferred || visit == Visit::Deferred;
            clean = clean && (visit == Visit::Done || visit == Visit::Deferred);
            continue;
        }
        Descriptor sub(OpenSubfolder(fd, name, st));
        if (!sub.IsOpen()) {
            clean = false; // swapped for something else, or not readable: it stays
            continue;
        }
        const bool emptied = WalkLevel(sub.Get(), full, root);
        sub.Reset(-1);
        if (m_stopped) {
            settle();
            return false;
        }
        if (emptied && onFolderEmptied)
            emptiedFolders.append({name, full, st});
        else
            clean = false;
    }
    clean = settle() && clean;
    if (!emptiedFolders.isEmpty() && onFoldersEmptying)
        onFoldersEmptying(fd);
    for (const Emptied& folder : emptiedFolders) {
        const Entry entry{fd, folder.name, folder.path, folder.stat, &deferredKept};
        clean = onFolderEmptied(entry) && clean;
    }
    return clean;
}
