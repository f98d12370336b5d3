// Unused-space erasure: filler files that take the volume's free space, overwritten like any
// file, then removed with their folder.
#include "MainWipeThread.h"

#include "Discard.h"
#include "FolderWalk.h"
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "PassEngine.h"
#include "ReservedPool.h"

#include <QDebug>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// At most this many chunks go into one filler file (4 GiB with the production chunk size).
constexpr long long kChunksPerFiller = 16;
} // namespace

long long MainWipeThread::SetDriveSpace(const QString& mountPoint)
{
    return VolumeFreeSpace(mountPoint);
}

bool MainWipeThread::OnWipeUnusedSpace(const QString& mountPoint, long long freeSize, int algorithm, int verification)
{
    const ReservedPool pool(mountPoint); // ext4's reserved clusters join the fill until we return
    OnMakeandRemoveDir(mountPoint, false);
    if (m_fillerFolderMade)
        FillDataInFile(mountPoint, freeSize, chunkSize, algorithm, verification);
    OnMakeandRemoveDir(mountPoint, true);
    if (KorvaneApp::GetInstance()->discardAfterFill && m_fillerFolderMade && !StopRequested() &&
        !DiscardFreeSpace(mountPoint))
        qWarning("The device of %s did not take the discard of its free space", qPrintable(mountPoint));
    return m_fillerFolderMade && !StopRequested();
}

void MainWipeThread::OnMakeandRemoveDir(const QString& mountPoint, bool remove)
{
    if (!remove) {
        fillerDir = mountPoint + QStringLiteral("/$$SWUS4B56465553");
        const QByteArray native = QFile::encodeName(fillerDir);
        struct stat st;
        m_fillerFolderMade =
            (::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode)) || ::mkdir(native.constData(), 0700) == 0;
        return;
    }
    RecursiveDeleteAllfiles();
    ::rmdir(QFile::encodeName(fillerDir).constData());
}

QString MainWipeThread::OnCreateFile()
{
    const QString path = fillerDir + QStringLiteral("/$$SWUSTEMP") + QString::number(DrawRandomValue());
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::close(fd);
    return path;
}

void MainWipeThread::FillDataInFile(const QString& mountPoint, long long size, long long chunk, int algorithm,
                                    int verification)
{
    // One filler file after another while the volume reports free space. The refill ends
    // when the volume says it is full, or when a whole filler file took no bytes: space that
    // is reported free but never handed out (reserved blocks, quotas) must not loop forever.
    Q_UNUSED(chunk); // the run's chunk size, already in chunkSize
    for (long long remaining = size; remaining > 0 && !StopRequested();) {
        QByteArray native = QFile::encodeName(OnCreateFile());
        const int fd = OnOpenDisk(native.constData());
        if (fd < 0)
            qDebug("Not handle");
        const ChunkRun run =
            OverwriteChunks(native.data(), fd, remaining, kChunksPerFiller, algorithm, verification, mountPoint, true);
        if (fd >= 0)
            FlushToMedium(fd); // the filler's pages must reach the disk before the file goes
        struct stat st;
        const bool tookBytes = ::stat(native.constData(), &st) == 0 && st.st_size > 0;
        OnCloseDisk(fd);
        if (StopRequested() || run.volumeFull || !tookBytes)
            break;
        remaining = SetDriveSpace(mountPoint);
    }
}

void MainWipeThread::RecursiveDeleteAllfiles()
{
    WalkFiles(QFile::encodeName(fillerDir), [](const QByteArray& file) {
        ::unlink(file.constData());
        return true;
    });
}
