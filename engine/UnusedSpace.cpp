// Unused-space erasure: filler files that take the volume's free space, each chunk of them
// overwritten with every pass and check of the chosen algorithm and verification, then
// removed. Fillers are unnamed where the file system allows, so that no end of the process
// can leave the volume full; named ones carry marks that tell them from any user's file.
#include "MainWipeThread.h"

#include "AlgorithmTable.h"
#include "Discard.h"
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "PassEngine.h"
#include "ReservedPool.h"
#include "Verification.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// At most this many chunks go into one named filler (4 GiB with the production chunk size),
// a size every file system takes. An unnamed filler grows until the volume is full.
constexpr long long kChunksPerFiller = 16;
constexpr long long kLargePagesFrom = 64LL << 20;

bool IsFull(int error)
{
    return error == ENOSPC || error == EDQUOT;
}
} // namespace

long long MainWipeThread::SetDriveSpace(const QString& mountPoint)
{
    return VolumeFreeSpace(mountPoint);
}

bool MainWipeThread::OnWipeUnusedSpace(const QString& mountPoint, long long freeSize, int algorithm, int verification)
{
    const ReservedPool pool(mountPoint); // ext4's reserved clusters join the fill until we return
    m_fillerFailed = false;
    // Filler a crashed run left behind holds space that is to be erased now.
    Filler::RemoveStale(mountPoint);
    OnMakeandRemoveDir(mountPoint, false);
    if (freeSize <= 0)
        qDebug("No free space reported for %s", qPrintable(mountPoint)); // unknown: nothing was erased
    if (m_fillerFolderMade && freeSize > 0)
        FillDataInFile(mountPoint, freeSize, chunkSize, algorithm, verification);
    OnMakeandRemoveDir(mountPoint, true);
    const bool erased = m_fillerFolderMade && freeSize > 0 && !m_fillerFailed && !StopRequested();
    if (erased && KorvaneApp::GetInstance()->discardAfterFill && !DiscardFreeSpace(mountPoint))
        qWarning("The device of %s did not take the discard of its free space", qPrintable(mountPoint));
    return erased;
}

void MainWipeThread::OnMakeandRemoveDir(const QString& mountPoint, bool remove)
{
    if (!remove) {
        fillerDir = mountPoint + QLatin1Char('/') + QLatin1String(Filler::kFolderName);
        const QByteArray native = QFile::encodeName(fillerDir);
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            qDebug("Cannot make the filler folder: %s", strerror(errno));
        m_fillerDirFd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        m_fillerFolderMade = m_fillerDirFd >= 0;
        return;
    }
    RecursiveDeleteAllfiles();
    if (m_fillerDirFd >= 0)
        ::close(m_fillerDirFd);
    m_fillerDirFd = -1;
    // Only an empty folder goes: files that are not filler stay where they are.
    ::rmdir(QFile::encodeName(fillerDir).constData());
}

int MainWipeThread::CreateFiller()
{
    FillerFile filler;
    filler.fd = m_fillerDirFd >= 0 ? Filler::Create(m_fillerDirFd, &filler.name) : -1;
    struct stat st;
    if (filler.fd < 0 || ::fstat(filler.fd, &st) != 0) {
        const int error = errno;
        qDebug("Not handle");
        if (filler.fd >= 0)
            ::close(filler.fd);
        errno = error;
        return -1;
    }
    filler.device = st.st_dev;
    filler.inode = st.st_ino;
    m_fillers.append(filler);
    return m_fillers.size() - 1;
}

QString MainWipeThread::OnCreateFile()
{
    const int index = CreateFiller();
    if (index < 0)
        return QString();
    const QByteArray& name = m_fillers.at(index).name;
    return name.isEmpty() ? QString() : fillerDir + QLatin1Char('/') + QFile::decodeName(name);
}

long long MainWipeThread::FillOneFiller(FillerFile& filler, long long size, int algorithm, int verification,
                                        const QString& mountPoint, bool* volumeFull)
{
    char noPath[] = "";
    ChunkPolicy policy(size, algorithm, verification, chunkSize);
    long long taken = 0;
    // With one byte written throughout, a chunk's read-back runs while the next chunk is
    // written; a check that fails there fails the item as one on the spot does.
    const bool overlap = UniformPassByte(algorithm, qMin(size, chunkSize)) >= 0;
    BackgroundCheck checks[2];
    int pending = 0;
    long long pendingLength = 0;
    const auto join = [&] {
        const bool ok = !checks[pending].Running() || checks[pending].Join();
        if (!ok) {
            qDebug("Filler chunk failed its check");
            m_fillerFailed = true;
            taken -= pendingLength;
        }
        pendingLength = 0;
        return ok;
    };
    for (long long offset = 0, index = 0; offset < size && !StopRequested(); offset += chunkSize, ++index) {
        const long long length = qMin(chunkSize, size - offset);
        if (!m_largePages && length >= kLargePagesFrom) {
            AdviseLargePages(buffer, chunkSize + 1);
            m_largePages = true;
        }
        long geometry[2] = {static_cast<long>(chunkSize), 1};
        long long claimed = length;
        bool last = size - offset <= chunkSize;
        bool ended = false;
        bool ok = WipeNow(offset, buffer, length, noPath, filler.fd, geometry, algorithm);
        if (!join())
            return taken;
        if (!ok) {
            const int error = LastTransferError();
            if (!IsFull(error) && error != EFBIG) {
                qDebug("Filler write failed: %s", strerror(error));
                m_fillerFailed = true;
                return taken;
            }
            // The chunk met the end of the volume (or of the file size) within its first pass:
            // what it took holds that pass and gets every later one, now that no more space is
            // needed for it (every pass again where the first one checks itself, or where a
            // later pass met the end).
            *volumeFull = IsFull(error);
            last = ended = true;
            struct stat st;
            if (::fstat(filler.fd, &st) != 0) {
                m_fillerFailed = true;
                return taken;
            }
            claimed = qBound(0LL, static_cast<long long>(st.st_size) - offset, length);
            const int from = LastFailedPass() == 0 && AlgorithmPasses(algorithm).at(0).check == PassCheck::None ? 1 : 0;
            ok = claimed == 0 || WipeNow(offset, buffer, claimed, noPath, filler.fd, geometry, algorithm, from);
            if (!ok && IsFull(LastTransferError())) {
                // A copy-on-write file system needs new space for every pass: the part is given
                // back (it had the first pass) rather than left half overwritten.
                ok = ::ftruncate(filler.fd, offset) == 0;
                claimed = 0;
            }
        }
        if (ok && claimed > 0) {
            const ChunkPolicy::Check check = policy.Next(index, offset, last);
            BackgroundCheck& next = checks[pending ^ 1];
            if (check == ChunkPolicy::Check::Flush) {
                // Not read back: the filler's last flush, before its space is given back, puts
                // the chunk on the medium and fails the item if it cannot.
            } else if (overlap && length >= kLargePagesFrom && check == ChunkPolicy::Check::FlushCompare &&
                       next.Start(filler.fd, offset, claimed, LastPass().value)) {
                pending ^= 1;
                pendingLength = claimed;
            } else {
                ok = RunCheck(check, offset, buffer, claimed, noPath, filler.fd, geometry);
            }
        }
        if (!ok) {
            qDebug("Filler chunk failed: %s", strerror(LastTransferError()));
            m_fillerFailed = true;
            return taken;
        }
        taken += claimed;
        bytesDone += claimed;
        emit WipingStatus(bytesDone, mountPoint);
        if (ended)
            break;
    }
    if (!join())
        return taken;
    // Every pass must be on the medium before the filler's space is given back.
    if (taken > 0 && !FlushToMedium(filler.fd))
        m_fillerFailed = true;
    return taken;
}

void MainWipeThread::FillDataInFile(const QString& mountPoint, long long size, long long chunk, int algorithm,
                                    int verification)
{
    // One filler after another while the volume reports free space. The refill ends when a
    // write meets the full volume, on any other error (which fails the item), or when a whole
    // filler took no bytes: space reported free but never handed out must not loop forever.
    Q_UNUSED(chunk);         // the run's chunk size, already in chunkSize
    long long measured = -1; // the last figure asked of the volume (the first is the job's)
    bool probed = false;
    for (long long remaining = size; remaining > 0 && !StopRequested() && !m_fillerFailed;) {
        const bool someFilled = !m_fillers.isEmpty();
        const int index = CreateFiller();
        if (index < 0) {
            // A volume that has no room left even for a new file is full, once fillers took it.
            m_fillerFailed = !(someFilled && IsFull(errno));
            break;
        }
        FillerFile& filler = m_fillers[index];
        const long long limit =
            filler.name.isEmpty() ? std::numeric_limits<long long>::max() : kChunksPerFiller * chunkSize;
        bool volumeFull = false;
        const long long taken =
            FillOneFiller(filler, qMin(remaining, limit), algorithm, verification, mountPoint, &volumeFull);
        if (!filler.name.isEmpty()) {
            // A named filler is closed once filled (its name keeps the space); an unnamed one
            // holds its space only while it is open.
            ::close(filler.fd);
            filler.fd = -1;
        }
        if (volumeFull || taken == 0 || m_fillerFailed || probed)
            break;
        remaining = SetDriveSpace(mountPoint);
        // No write met the full volume yet: one more chunk is tried even when the figure says
        // nothing is free, since it may leave out blocks that a file can still be given.
        if (remaining <= 0) {
            probed = true;
            remaining = chunkSize;
            continue;
        }
        // A figure that does not drop while fillers take space (one that lags, or counts
        // space the system may purge) must not make the refill endless.
        if (measured >= 0 && remaining > measured - taken / 2)
            break;
        measured = remaining;
    }
}

void MainWipeThread::RecursiveDeleteAllfiles()
{
    // This run's fillers only, each checked to be the file that was filled.
    for (FillerFile& filler : m_fillers) {
        if (!filler.name.isEmpty() && m_fillerDirFd >= 0) {
            struct stat st;
            const bool same = ::fstatat(m_fillerDirFd, filler.name.constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                              st.st_dev == filler.device && st.st_ino == filler.inode;
            if (same && ::unlinkat(m_fillerDirFd, filler.name.constData(), 0) != 0)
                m_fillerFailed = true;
        }
        if (filler.fd >= 0)
            ::close(filler.fd);
    }
    m_fillers.clear();
}
