#include "FolderWalk.h"

#include <QVector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Entry
{
    QByteArray name;
    bool isFolder = false;
    bool isFile = false;
};

// Reads a whole folder first so that no directory stream stays open while its files are
// erased and removed (and none is held across the recursion).
QVector<Entry> ReadFolder(const QByteArray& folder)
{
    QVector<Entry> entries;
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return entries;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return entries;
    }
    while (dirent* d = readdir(dir)) {
        const QByteArray name(d->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st;
        if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        Entry entry;
        entry.name = name;
        if (S_ISDIR(st.st_mode)) {
            entry.isFolder = true;
        } else if (S_ISREG(st.st_mode)) {
            entry.isFile = true;
        } else if (S_ISLNK(st.st_mode)) {
            struct stat target;
            // A link to a folder is left to the folder's removal; other links are files.
            entry.isFile = fstatat(fd, d->d_name, &target, 0) != 0 || !S_ISDIR(target.st_mode);
        }
        entries.append(entry);
    }
    closedir(dir);
    return entries;
}

} // namespace

bool WalkFiles(const QByteArray& folder, const std::function<bool(const QByteArray& path)>& visit)
{
    const QByteArray prefix = folder.endsWith('/') ? folder : folder + '/';
    for (const Entry& entry : ReadFolder(folder)) {
        const QByteArray path = prefix + entry.name;
        if (entry.isFolder) {
            if (!WalkFiles(path, visit))
                return false;
        } else if (entry.isFile && !visit(path)) {
            return false;
        }
    }
    return true;
}
