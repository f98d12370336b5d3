#include "NameScrub.h"

#include <QList>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// No '.', so that no draw is "." or ".." or a hidden name.
constexpr char kAlphabet[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kDrawsPerLength = 8;

QByteArray RandomName(int length)
{
    QByteArray name(length, '0');
    for (char& c : name)
        c = kAlphabet[QRandomGenerator::system()->bounded(static_cast<int>(sizeof(kAlphabet) - 1))];
    return name;
}

// renameat that never replaces an entry: EEXIST when `to` exists.
int RenameNoReplace(int dirfd, const char* from, const char* to)
{
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    const int result = ::renameat2(dirfd, from, dirfd, to, RENAME_NOREPLACE);
    if (result == 0 || errno != EINVAL)
        return result;
        // A file system without the flag (some network and FUSE ones): check, then rename.
#elif defined(__APPLE__)
    return ::renameatx_np(dirfd, from, dirfd, to, RENAME_EXCL);
#endif
    struct stat st;
    if (::fstatat(dirfd, to, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(dirfd, from, dirfd, to);
}

constexpr int kMaxDepth = 256;

void ScrubSubfolders(int dirfd, int depth)
{
    const int copy = ::dup(dirfd);
    DIR* dir = copy < 0 ? nullptr : ::fdopendir(copy);
    if (!dir) {
        if (copy >= 0)
            ::close(copy);
        return;
    }
    QList<QByteArray> folders;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        struct stat st;
        if (name != "." && name != ".." && ::fstatat(dirfd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(st.st_mode))
            folders << name;
    }
    ::closedir(dir);
    for (QByteArray name : folders) {
        const int sub = ::openat(dirfd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (sub < 0)
            continue;
        if (depth < kMaxDepth)
            ScrubSubfolders(sub, depth + 1);
        ::close(sub);
        ScrubNameAt(dirfd, name);
    }
}

} // namespace

void ScrubFolderNames(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    ScrubSubfolders(fd, 0);
#ifdef __linux__
    ::syncfs(fd);
#else
    ::sync();
#endif
    ::close(fd);
}

bool ScrubNameAt(int dirfd, QByteArray& name)
{
    bool renamed = false;
    // Halving the length each time (n, n/2, ..., 1) still lands a shorter entry in the slot
    // the previous one left, at a fraction of the renames of one per length, which cost a
    // third of the speed on many small files.
    for (int length = name.size(); length >= 1; length = length == 1 ? 0 : (length + 1) / 2) {
        bool done = false;
        for (int draw = 0; draw < kDrawsPerLength && !done; ++draw) {
            const QByteArray next = RandomName(length);
            if (RenameNoReplace(dirfd, name.constData(), next.constData()) == 0) {
                name = next;
                renamed = done = true;
            } else if (errno != EEXIST) {
                return renamed;
            }
        }
    }
    return renamed;
}

bool UnlinkScrubbed(const QByteArray& path)
{
    const int slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    const QByteArray original = path.mid(slash + 1);
    const int dirfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd < 0)
        return ::unlink(path.constData()) == 0;
    QByteArray name = original;
    const bool scrubbed = ScrubNameAt(dirfd, name);
    const bool removed = ::unlinkat(dirfd, name.constData(), 0) == 0;
    if (!removed && scrubbed)
        RenameNoReplace(dirfd, name.constData(), original.constData());
    ::close(dirfd);
    return removed;
}
