#include "Discard.h"

#include <QFile>

#include <climits>
#include <fcntl.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

bool DiscardFreeSpace(const QString& folder, unsigned long long* trimmed)
{
#ifdef __linux__
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    // Blocks of files just removed return to the free pool only when the journal commits;
    // until then the trim would pass them over.
    ::syncfs(fd);
    struct fstrim_range range = {};
    range.start = 0;
    range.len = ULLONG_MAX;
    range.minlen = 0;
    const bool ok = ::ioctl(fd, FITRIM, &range) == 0;
    ::close(fd);
    if (ok && trimmed)
        *trimmed = range.len;
    return ok;
#else
    Q_UNUSED(folder);
    Q_UNUSED(trimmed);
    return false;
#endif
}
