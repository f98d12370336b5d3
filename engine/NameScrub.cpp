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
        c = kAlphabet[QRandomGenerator::global()->bounded(static_cast<int>(sizeof(kAlphabet) - 1))];
    return name;
}

// renameat that never replaces an entry: EEXIST when `to` exists. Where the file system
// cannot promise that (some network and FUSE ones), nothing is renamed: a check before a
// plain rename would leave a moment in which another program's new file is replaced.
int RenameNoReplace(int dirfd, const char* from, const char* to)
{
#if defined(__linux__) && defined(RENAME_NOREPLACE)
    return ::renameat2(dirfd, from, dirfd, to, RENAME_NOREPLACE);
#elif defined(__APPLE__)
    return ::renameatx_np(dirfd, from, dirfd, to, RENAME_EXCL);
#else
    Q_UNUSED(dirfd);
    Q_UNUSED(from);
    Q_UNUSED(to);
    errno = ENOTSUP;
    return -1;
#endif
}

} // namespace

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

bool UnlinkScrubbedAt(int dirfd, const QByteArray& name, bool folder, bool written)
{
    const int flags = folder ? AT_REMOVEDIR : 0;
    if (folder && !written) {
        // Removing a folder frees its directory blocks, and the last changes of a freed block
        // are never written: the names scrubbed in it must reach their place on the medium
        // first. fsync would only put the block into a journal; syncfs also writes it home.
        const int fd = ::openat(dirfd, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
#ifdef __linux__
            ::syncfs(fd);
#else
            ::fsync(fd);
#endif
            ::close(fd);
        }
    }
    QByteArray final = name;
    const bool scrubbed = ScrubNameAt(dirfd, final);
    if (::unlinkat(dirfd, final.constData(), flags) == 0)
        return true;
    if (scrubbed)
        RenameNoReplace(dirfd, final.constData(), name.constData());
    return false;
}
