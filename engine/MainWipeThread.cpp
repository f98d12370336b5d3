#include "MainWipeThread.h"

#include "AlgorithmTable.h"
#include "FolderWalk.h"
#include "KorvaneApp.h"
#include "PassEngine.h"
#include "ShellRunner.h"
#include "Verification.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr long long kLargeRange = 64LL << 20;

bool IsVolumeFull(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}
} // namespace

using ErasureLog::ItemKind;
using ErasureLog::Outcome;

MainWipeThread::MainWipeThread(QObject* parent) : QThread(parent) {}

MainWipeThread::~MainWipeThread()
{
    FreePassBuffer(buffer, chunkSize + 1);
}

QString MainWipeThread::GetAlgorithmName(int index)
{
    return AlgorithmLogName(index);
}

QString MainWipeThread::GetVerificationName(int index)
{
    return VerificationLogName(index);
}

void MainWipeThread::LogItem(ItemKind kind, Outcome outcome, const QString& path)
{
    m_lastLineTime = KorvaneApp::Now();
    KorvaneApp::GetInstance()->CreateLogFile(ErasureLog::ItemLine(kind, outcome, path, m_lastLineTime));
}

void MainWipeThread::AddCertificateRow(const QString& path, bool result)
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (!app->searchMode)
        return;
    CERTIFICATEDATA row;
    row.fileName = path;
    row.erasedAt = m_lastLineTime;
    row.status = StopRequested() ? CERTIFICATEDATA::Stopped
                 : result        ? CERTIFICATEDATA::Erased
                                 : CERTIFICATEDATA::Failed;
    app->certificateList.append(row);
}

void MainWipeThread::run()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->erasureRunning = true;
    m_jobResults.clear();
    chunkSize = m_chunkSizeOverride > 0 ? m_chunkSizeOverride : kChunkSize;
    buffer = AllocatePassBuffer(chunkSize + 1);
    m_largePages = false;

    app->CreateLogLines(ErasureLog::RunHeader(GetAlgorithmName(app->algorithm), GetVerificationName(app->verification),
                                              KorvaneApp::Now()));

    for (APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
        if (StopRequested()) {
            app->CreateLogFile(ErasureLog::AbortLine(KorvaneApp::Now()));
            break;
        }
        const QString item = job->wipeType == APPWIPINGINFO::Plist ? job->plistPath : job->itemPath;
        emit WipingStart(item);
        m_jobResults.append(
            RunJob(job->wipeType, job->itemPath, job->plistPath, job->itemSize, job->algorithm, job->verification));
    }

    app->CreateLogLines(ErasureLog::RunFooter(KorvaneApp::Now()));
    FreePassBuffer(buffer, chunkSize + 1);
    buffer = nullptr;
    emit WipingComplete();
}

bool MainWipeThread::RunJob(int wipeType, const QString& path, const QString& plistPath, long long size, int algorithm,
                            int verification)
{
    const bool knownMethod =
        algorithm >= 0 && algorithm < kAlgorithmCount && verification >= 0 && verification < kVerificationCount;
    if (!buffer || !knownMethod) {
        // Without a pass buffer, or with an algorithm or verification the tables do not know,
        // nothing can be overwritten: the item is reported failed and the run still ends
        // through the normal path.
        if (wipeType == APPWIPINGINFO::Plist)
            LogItem(ItemKind::Plist, Outcome::Failed, plistPath);
        else if (wipeType != APPWIPINGINFO::UnusedSpace)
            LogItem(wipeType == APPWIPINGINFO::Folder ? ItemKind::Folder : ItemKind::File, Outcome::Failed, path);
        return false;
    }
    switch (wipeType) {
    case APPWIPINGINFO::File:
        return OnFileWipeNow(path, algorithm, verification);
    case APPWIPINGINFO::Folder:
        return OnDirWipeNow(path, algorithm, verification);
    case APPWIPINGINFO::Plist:
        return OnWipePlist(plistPath);
    case APPWIPINGINFO::UnusedSpace:
        return OnWipeUnusedSpace(path, size, algorithm, verification);
    }
    return false;
}

bool MainWipeThread::OnFileWipeNow(const QString& path, int algorithm, int verification)
{
    return WipeFileNative(QFile::encodeName(path), path, algorithm, verification);
}

bool MainWipeThread::WipeChunk(long long offset, long long length, bool last, char* nativePath, int fd, int algorithm,
                               ChunkPolicy& policy, long long index)
{
    if (!m_largePages && length >= kLargeRange) {
        AdviseLargePages(buffer, chunkSize + 1);
        m_largePages = true;
    }
    long geometry[2] = {static_cast<long>(chunkSize), 1};
    if (WipeNow(offset, buffer, length, nativePath, fd, geometry, algorithm))
        return RunCheck(policy.Next(index, offset, last), offset, buffer, length, nativePath, fd, geometry);
    // A failed pass: rewrite the range with what the buffer holds and read it back. On a full
    // volume the rewrite could only fail the same way.
    if (IsVolumeFull(LastTransferError()))
        return false;
    return WipeNow(offset, buffer, length, nativePath, fd, geometry, 0) &&
           Verification(offset, buffer, length, nativePath, fd, geometry, false, true);
}

MainWipeThread::ChunkRun MainWipeThread::OverwriteChunks(char* nativePath, int fd, long long size, long long maxChunks,
                                                         int algorithm, int verification, const QString& reportAs,
                                                         bool endWhenFull)
{
    ChunkRun run;
    ChunkPolicy policy(size, algorithm, verification, chunkSize);
    long long index = 0;
    for (long long offset = 0; offset < size && (maxChunks < 0 || index < maxChunks); offset += chunkSize, ++index) {
        if (StopRequested()) {
            run.cutShort = true;
            break;
        }
        const long long length = qMin(chunkSize, size - offset);
        const bool ok = WipeChunk(offset, length, size - offset <= chunkSize, nativePath, fd, algorithm, policy, index);
        if (ok) {
            bytesDone += length;
            emit WipingStatus(bytesDone, reportAs);
        }
        run.allChunks = run.allChunks && ok;
        if (!ok && endWhenFull) {
            run.volumeFull = IsVolumeFull(LastTransferError());
            if (run.volumeFull)
                break;
        }
    }
    return run;
}

bool MainWipeThread::RemoveLink(const QByteArray& nativePath, const QString& path)
{
    // A link is removed, never written through: its target is not what was chosen.
    const bool removed = ::unlink(nativePath.constData()) == 0;
    LogItem(ItemKind::File, removed ? Outcome::Successful : Outcome::Failed, path);
    AddCertificateRow(path, removed);
    return removed;
}

bool MainWipeThread::WipeFileNative(const QByteArray& nativePath, const QString& path, int algorithm, int verification)
{
    struct stat st;
    if (::lstat(nativePath.constData(), &st) != 0) {
        LogItem(ItemKind::File, Outcome::Missing, path);
        return false;
    }
    if (S_ISLNK(st.st_mode))
        return RemoveLink(nativePath, path);

    emit WipingStatus(bytesDone, path);
    QByteArray native = nativePath;
    const int fd = OnOpenDisk(native.constData());
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            OnCloseDisk(fd);
        LogItem(ItemKind::File, Outcome::AccessDenied, path);
        return false;
    }
    if (st.st_nlink > 1) {
        // Overwriting would destroy the data behind the file's other names: only the chosen
        // name goes, and the item is reported as not erased.
        OnCloseDisk(fd);
        ::unlink(native.constData());
        LogItem(ItemKind::File, Outcome::Failed, path);
        AddCertificateRow(path, false);
        return false;
    }

    const ChunkRun run = OverwriteChunks(native.data(), fd, st.st_size, -1, algorithm, verification, path, false);
    bool allChunks = run.allChunks;
    const bool cutShort = run.cutShort;

    bool removed = false;
    struct stat now;
    if (::lstat(native.constData(), &now) == 0) {
        // Truncation drops dirty pages: what was written must reach the medium first.
        if (!FlushToMedium(fd) || ::ftruncate(fd, 0) != 0)
            allChunks = false;
        removed = ::unlink(native.constData()) == 0;
        if (path.contains(QLatin1String("com.apple.LSSharedFileList.")))
            SystemCmd(QStringLiteral("killall sharedfilelistd"));
    }
    OnCloseDisk(fd);

    const bool result = allChunks && !cutShort && removed;
    LogItem(ItemKind::File, result ? Outcome::Successful : Outcome::Failed, path);
    AddCertificateRow(path, result);
    return result;
}

bool MainWipeThread::OnDirWipeNow(const QString& path, int algorithm, int verification)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st;
    if (::lstat(native.constData(), &st) != 0 || !(S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode))) {
        LogItem(ItemKind::Folder, Outcome::Missing, path);
        return false;
    }
    if (S_ISLNK(st.st_mode)) {
        const bool removed = ::unlink(native.constData()) == 0;
        LogItem(ItemKind::Folder, removed ? Outcome::Successful : Outcome::Failed, path);
        return removed;
    }

    bool allFiles = true;
    const bool walked = WalkFiles(native, [&](const QByteArray& file) {
        if (StopRequested())
            return false;
        allFiles = WipeFileNative(file, QFile::decodeName(file), algorithm, verification) && allFiles;
        return true;
    });
    if (!walked) {
        // The walk was stopped: the folder stays, so it was not erased.
        LogItem(ItemKind::Folder, Outcome::Failed, path);
        return false;
    }
    const int status = SystemCmd(QStringLiteral("rm -r -f ") + ShellQuote(path));
    LogItem(ItemKind::Folder, status == 0 ? Outcome::Successful : Outcome::Failed, path);
    return status == 0 && allFiles;
}

bool MainWipeThread::OnWipePlist(const QString& path)
{
    QString plist = path;
    const int at = plist.indexOf(QLatin1String(".plist"));
    if (at > 0)
        plist.truncate(at + 6);
    struct stat st;
    if (::lstat(QFile::encodeName(plist).constData(), &st) != 0) {
        LogItem(ItemKind::Plist, Outcome::Missing, plist);
        return false;
    }
    const int status = SystemCmd(QStringLiteral("rm -r -f ") + ShellQuote(plist));
    const QString user = OnIterateBuffer(QStringLiteral("whoami")).section(QLatin1Char('\n'), 0, 0);
    SystemCmd(QStringLiteral("killall -u ") + ShellQuote(user) + QStringLiteral(" cfprefsd"));
    LogItem(ItemKind::Plist, status == 0 ? Outcome::Successful : Outcome::Failed, plist);
    return status == 0;
}
