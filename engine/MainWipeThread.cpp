#include "MainWipeThread.h"

#include "AlgorithmTable.h"
#include "FolderWalk.h"
#include "KorvaneApp.h"
#include "PassEngine.h"
#include "ProtectedLocations.h"
#include "ShellRunner.h"
#include "Verification.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr long long kLargeRange = 64LL << 20;

bool IsVolumeFull(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG;
}

// Reads [offset, offset + length) through `fd` and checks that every byte is `value`.
bool ReadAndMatch(int fd, bool direct, long long offset, long long length, unsigned char value)
{
    constexpr long long kPiece = 8LL << 20;
    constexpr long long kAlign = 4096;
    void* memory = nullptr;
    if (posix_memalign(&memory, kAlign, kPiece + kAlign) != 0)
        return false;
    std::unique_ptr<unsigned char, decltype(&std::free)> scratch(static_cast<unsigned char*>(memory), &std::free);
    const auto& hooks = PassEngineTesting::Hooks();
    for (long long done = 0; done < length;) {
        const long long want = qMin(kPiece, length - done);
        // A direct read asks for whole blocks; at the end of the file it returns what there is.
        const long long ask = direct ? (want + kAlign - 1) / kAlign * kAlign : want;
        long long got = 0;
        while (got < want) {
            const ssize_t n = ::pread(fd, scratch.get() + got, static_cast<size_t>(ask - got), offset + done + got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            got += n;
            if (direct && got % kAlign != 0 && got < want)
                return false; // a short direct read inside the file
        }
        if (hooks.onRead)
            hooks.onRead(offset + done, scratch.get(), want);
        if (scratch.get()[0] != value ||
            std::memcmp(scratch.get(), scratch.get() + 1, static_cast<size_t>(want - 1)) != 0)
            return false;
        done += want;
    }
    return true;
}
} // namespace

// The check of a written chunk on a thread of its own: the read-back through a descriptor of
// its own, direct where the file system takes it.
MainWipeThread::BackgroundCheck::~BackgroundCheck()
{
    Join();
}

bool MainWipeThread::BackgroundCheck::Start(int fd, long long offset, long long length, unsigned char value)
{
    int reader = -1;
    bool direct = false;
#ifdef __linux__
    const QByteArray own = "/proc/self/fd/" + QByteArray::number(fd);
    direct = offset % 4096 == 0;
    reader = direct ? ::open(own.constData(), O_RDONLY | O_CLOEXEC | O_DIRECT) : -1;
    if (reader < 0) {
        direct = false;
        reader = ::open(own.constData(), O_RDONLY | O_CLOEXEC);
    }
    NodeStat mine;
    NodeStat theirs;
    if (reader >= 0 &&
        (!StatAt(reader, QByteArray(), &mine) || !StatAt(fd, QByteArray(), &theirs) || !mine.SameNode(theirs))) {
        ::close(reader);
        reader = -1;
    }
#endif
    if (reader < 0)
        return false;
    m_fd = reader;
    m_running = true;
    m_result = false;
    m_thread = std::thread([this, fd, direct, offset, length, value] {
        // A direct read is served by the medium, never by the page cache (the kernel writes any
        // cached pages of the range home first), so it needs no flush of its own: the writes
        // go on meanwhile, and the item's last flush makes the chunk stay. Without direct
        // reads the chunk is flushed and dropped from the page cache before it is read.
        m_result =
            (direct || OnFlushDisk(offset, length, "", fd, true)) && ReadAndMatch(m_fd, direct, offset, length, value);
    });
    return true;
}

bool MainWipeThread::BackgroundCheck::Join()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_running = false;
    return m_result;
}

using ErasureLog::ItemKind;
using ErasureLog::Outcome;

MainWipeThread::MainWipeThread(QObject* parent) : QThread(parent), m_searchMode(KorvaneApp::GetInstance()->searchMode)
{
}

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
    if (kind == ItemKind::File) {
        ++m_filesDone;
        ReportProgress(false);
    }
}

bool MainWipeThread::OnPieceDone(long long bytes, bool write)
{
    if (bytesDone != m_pieceBase) { // a new chunk began
        m_pieceBase = bytesDone;
        m_pieceBytes = 0;
    }
    if (write)
        m_pieceBytes += bytes;
    ReportProgress(false);
    return !StopRequested();
}

void MainWipeThread::ReportProgress(bool force)
{
    if (!force && m_progressClock.isValid() && m_progressClock.elapsed() < kProgressInterval)
        return;
    m_progressClock.start();
    const long long inChunk = m_pieceBase == bytesDone ? qMin<long long>(m_pieceBytes / m_passCount, chunkSize) : 0;
    emit WipingProgress(bytesDone + inChunk);
    emit WipingFiles(m_filesDone);
}

void MainWipeThread::AddCertificateRow(const QString& path, bool result)
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (!m_searchMode)
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
    m_filesDone = 0;
    m_pieceBase = -1;
    m_progressClock.start();
    SetTransferObserver([this](long long bytes, bool write) { return OnPieceDone(bytes, write); });

    app->CreateLogLines(ErasureLog::RunHeader(GetAlgorithmName(app->algorithm), GetVerificationName(app->verification),
                                              KorvaneApp::Now()));

    for (APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
        if (StopRequested()) {
            app->CreateLogFile(ErasureLog::AbortLine(KorvaneApp::Now()));
            break;
        }
        const QString item = job->wipeType == APPWIPINGINFO::Plist ? job->plistPath : job->itemPath;
        emit WipingStart(item);
        m_passCount = qMax(1, AlgorithmPasses(job->algorithm).size());
        m_jobResults.append(RunJob(*job));
    }

    app->CreateLogLines(ErasureLog::RunFooter(KorvaneApp::Now()));
    SetTransferObserver({});
    ReportProgress(true);
    FreePassBuffer(buffer, chunkSize + 1);
    buffer = nullptr;
    emit WipingComplete();
}

bool MainWipeThread::RunJob(const APPWIPINGINFO& job)
{
    const int wipeType = job.wipeType;
    const QString& path = job.itemPath;
    const bool knownMethod = job.algorithm >= 0 && job.algorithm < kAlgorithmCount && job.verification >= 0 &&
                             job.verification < kVerificationCount;
    if (!buffer || !knownMethod) {
        // Without a pass buffer, or with an algorithm or verification the tables do not know,
        // nothing can be overwritten: the item is reported failed and the run still ends
        // through the normal path.
        if (wipeType == APPWIPINGINFO::Plist)
            LogItem(ItemKind::Plist, Outcome::Failed, job.plistPath);
        else if (wipeType != APPWIPINGINFO::UnusedSpace)
            LogItem(wipeType == APPWIPINGINFO::Folder ? ItemKind::Folder : ItemKind::File, Outcome::Failed, path);
        return false;
    }
    const QByteArray native = job.nativePath.isEmpty() ? QFile::encodeName(path) : job.nativePath;
    switch (wipeType) {
    case APPWIPINGINFO::File:
        return WipeFileJob(native, path, job.algorithm, job.verification);
    case APPWIPINGINFO::Folder:
        return WipeFolderJob(native, path, job.algorithm, job.verification);
    case APPWIPINGINFO::Plist:
        return OnWipePlist(job.plistPath);
    case APPWIPINGINFO::UnusedSpace:
        return OnWipeUnusedSpace(path, job.itemSize, job.algorithm, job.verification);
    }
    return false;
}

bool MainWipeThread::OnFileWipeNow(const QString& path, int algorithm, int verification)
{
    return WipeFileJob(QFile::encodeName(path), path, algorithm, verification);
}

bool MainWipeThread::WipeChunk(long long offset, long long position, long long length, bool last, char* nativePath,
                               int fd, int algorithm, ChunkPolicy& policy, long long index)
{
    return WipeChunkChecked(offset, length, nativePath, fd, algorithm, policy.Next(index, position, last), nullptr);
}

bool MainWipeThread::WipeChunkChecked(long long offset, long long length, char* nativePath, int fd, int algorithm,
                                      ChunkPolicy::Check check, BackgroundCheck* background)
{
    if (!m_largePages && length >= kLargeRange) {
        AdviseLargePages(buffer, chunkSize + 1);
        m_largePages = true;
    }
    long geometry[2] = {static_cast<long>(chunkSize), 1};
    if (WipeNow(offset, buffer, length, nativePath, fd, geometry, algorithm)) {
        // A chunk that is not read back gets no flush of its own: the item's last flush, before
        // it is truncated and removed, puts it on the medium and fails the item if it cannot.
        if (check == ChunkPolicy::Check::Flush)
            return true;
        // The read-back of a chunk that holds one byte throughout needs nothing of the pass
        // buffer: it reads the medium directly while the next chunk is written.
        if (background && check == ChunkPolicy::Check::FlushCompare &&
            background->Start(fd, offset, length, LastPass().value))
            return true;
        return RunCheck(check, offset, buffer, length, nativePath, fd, geometry);
    }
    // A failed pass: rewrite the range with what the buffer holds and read it back. On a full
    // volume the rewrite could only fail the same way; a stop ends the range at once.
    if (IsVolumeFull(LastTransferError()) || LastTransferError() == ECANCELED)
        return false;
    return WipeNow(offset, buffer, length, nativePath, fd, geometry, 0) &&
           Verification(offset, LastPass(), buffer, length, nativePath, fd, geometry, false, true);
}

MainWipeThread::ChunkRun MainWipeThread::OverwriteRanges(char* nativePath, int fd, const Ranges& ranges, int algorithm,
                                                         int verification, const QString& reportAs)
{
    ChunkRun run;
    long long total = 0;
    for (const auto& range : ranges)
        total += range.second - range.first;
    // The checks are decided in the order of the item, as the policy counts its chunks.
    struct Planned
    {
        long long offset;
        long long length;
        ChunkPolicy::Check check;
    };
    std::vector<Planned> plan;
    ChunkPolicy policy(total, algorithm, verification, chunkSize);
    long long index = 0;
    long long position = 0; // counted over the ranges, as the policy sees one item
    for (const auto& range : ranges) {
        for (long long offset = range.first; offset < range.second; offset += chunkSize, ++index) {
            const long long length = qMin(chunkSize, range.second - offset);
            plan.push_back({offset, length, policy.Next(index, position, position + length >= total)});
            position += length;
        }
    }
    // With one byte written throughout, read-backs overlap the writing of the next chunk; the
    // last chunk goes first then, so that its read-back is not left until the end.
    const bool overlap =
        plan.size() > 1 && plan.front().length >= kLargeRange && UniformPassByte(algorithm, plan.front().length) >= 0;
    if (overlap && plan.back().check == ChunkPolicy::Check::FlushCompare)
        std::rotate(plan.begin(), plan.end() - 1, plan.end());
    BackgroundCheck checks[2];
    int pending = 0; // checks[pending] reads back the chunk before
    long long pendingLength = 0;
    size_t pendingIndex = 0;
    const auto join = [&] {
        if (checks[pending].Running() && !checks[pending].Join()) {
            // As a chunk whose check failed on the spot: rewritten once and read back.
            long geometry[2] = {static_cast<long>(chunkSize), 1};
            const Planned& failed = plan[pendingIndex];
            if (!WipeNow(failed.offset, buffer, failed.length, nativePath, fd, geometry, 0) ||
                !Verification(failed.offset, LastPass(), buffer, failed.length, nativePath, fd, geometry, false,
                              true)) {
                run.allChunks = false;
                bytesDone -= pendingLength;
            }
        }
        pendingLength = 0;
    };
    for (size_t at = 0; at < plan.size(); ++at) {
        const Planned& chunk = plan[at];
        if (StopRequested()) {
            run.cutShort = true;
            break;
        }
        BackgroundCheck& next = checks[pending ^ 1];
        const bool ok = WipeChunkChecked(chunk.offset, chunk.length, nativePath, fd, algorithm, chunk.check,
                                         overlap ? &next : nullptr);
        join();
        if (next.Running()) {
            pending ^= 1;
            pendingLength = chunk.length;
            pendingIndex = at;
        }
        if (ok) {
            bytesDone += chunk.length;
            emit WipingStatus(bytesDone, reportAs);
        }
        run.allChunks = run.allChunks && ok;
    }
    join();
    return run;
}

namespace {

// The ranges of [0, size) that hold data: holes of a sparse file are skipped. The whole
// range where the file system cannot tell.
QVector<QPair<long long, long long>> DataRanges(int fd, long long size)
{
    QVector<QPair<long long, long long>> ranges;
#ifdef SEEK_DATA
    for (long long at = 0; at < size;) {
        const off_t data = ::lseek(fd, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO)
                return ranges; // only holes from here on
            ranges.clear();
            break;
        }
        if (data >= size)
            return ranges;
        off_t hole = ::lseek(fd, data, SEEK_HOLE);
        if (hole < 0)
            hole = size;
        ranges.append({data, qMin<long long>(hole, size)});
        at = hole;
    }
    if (!ranges.isEmpty() || size == 0)
        return ranges;
#endif
    if (size > 0)
        ranges.append({0, size});
    return ranges;
}

// What of `ranges` is not in `done` (both sorted and disjoint).
QVector<QPair<long long, long long>> Uncovered(const QVector<QPair<long long, long long>>& ranges,
                                               const QVector<QPair<long long, long long>>& done)
{
    QVector<QPair<long long, long long>> out;
    for (auto range : ranges) {
        for (const auto& covered : done) {
            if (covered.second <= range.first || covered.first >= range.second)
                continue;
            if (covered.first > range.first)
                out.append({range.first, covered.first});
            range.first = qMax(range.first, covered.second);
            if (range.first >= range.second)
                break;
        }
        if (range.first < range.second)
            out.append(range);
    }
    return out;
}

void AddRanges(QVector<QPair<long long, long long>>& done, const QVector<QPair<long long, long long>>& more)
{
    done += more;
    std::sort(done.begin(), done.end());
    QVector<QPair<long long, long long>> merged;
    for (const auto& range : done) {
        if (!merged.isEmpty() && range.first <= merged.last().second)
            merged.last().second = qMax(merged.last().second, range.second);
        else
            merged.append(range);
    }
    done = merged;
}

// Rounds of overwriting what a file grew by while it was erased, before it counts as failed.
constexpr int kGrowthRounds = 4;

} // namespace

bool MainWipeThread::EraseFileAt(int dirfd, const QByteArray& name, const QString& path, int algorithm,
                                 int verification)
{
    NodeStat st;
    if (!StatAt(dirfd, name, &st)) {
        LogItem(ItemKind::File, Outcome::Missing, path);
        return false;
    }
    if (S_ISLNK(st.mode)) {
        // A link is removed, never written through: its target is not what was chosen.
        const bool removed = RemoveErasedName(dirfd, name, st);
        LogItem(ItemKind::File, removed ? Outcome::Successful : Outcome::Failed, path);
        AddCertificateRow(path, removed);
        return removed;
    }
    if (!S_ISREG(st.mode)) {
        // Devices, pipes and sockets are never opened.
        LogItem(ItemKind::File, Outcome::AccessDenied, path);
        return false;
    }

    emit WipingStatus(bytesDone, path);
    Descriptor file(::openat(dirfd, name.constData(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    NodeStat opened;
    if (!file.IsOpen() || !StatAt(file.Get(), QByteArray(), &opened) || !S_ISREG(opened.mode) || !opened.SameNode(st)) {
        LogItem(ItemKind::File, Outcome::AccessDenied, path);
        return false;
    }
    const int fd = file.Get();
    if (opened.nlink > 1) {
        // Overwriting would destroy the data behind the file's other names: only the chosen
        // name goes, and the item is reported as not erased.
        RemoveErasedName(dirfd, name, opened);
        LogItem(ItemKind::File, Outcome::Failed, path);
        AddCertificateRow(path, false);
        return false;
    }
    return FinishFile(dirfd, name, path, fd, opened, Ranges(), false, algorithm, verification);
}

bool MainWipeThread::FinishFile(int dirfd, const QByteArray& name, const QString& path, int fd, const NodeStat& opened,
                                Ranges done, bool flushed, int algorithm, int verification)
{
    // Every byte that holds data is overwritten with every pass, and then what the file
    // gained meanwhile (it grew, or holes were filled), until nothing new is found.
    // The file is written through its descriptor only, never reopened by name (a name can
    // lead elsewhere by now).
    char noPath[] = "";
    bool allChunks = true;
    bool cutShort = false;
    bool settled = false;
    for (int round = 0; round <= kGrowthRounds && !cutShort; ++round) {
        NodeStat now;
        if (!StatAt(fd, QByteArray(), &now)) {
            allChunks = false;
            break;
        }
        const Ranges todo = Uncovered(DataRanges(fd, now.size), done);
        if (todo.isEmpty()) {
            settled = true;
            break;
        }
        if (round == kGrowthRounds)
            break; // still growing
        const ChunkRun run = OverwriteRanges(noPath, fd, todo, algorithm, verification, path);
        flushed = false;
        allChunks = allChunks && run.allChunks;
        cutShort = run.cutShort;
        AddRanges(done, todo);
    }

    // Truncation drops dirty pages: what was written must reach the medium first.
    if ((!flushed && !FlushToMedium(fd)) || ::ftruncate(fd, 0) != 0)
        allChunks = false;
    const bool removed = RemoveErasedName(dirfd, name, opened);
    if (path.contains(QLatin1String("com.apple.LSSharedFileList.")))
        SystemCmd(QStringLiteral("killall sharedfilelistd"));

    const bool result = allChunks && settled && !cutShort && removed;
    LogItem(ItemKind::File, result ? Outcome::Successful : Outcome::Failed, path);
    AddCertificateRow(path, result);
    return result;
}

namespace {
// A file goes into a batch when all its passes together take at most this many bytes; the
// batch is settled once its passes take kBatchBytes or it holds the most files it may.
constexpr long long kBatchFileBytes = 1LL << 20;
constexpr long long kBatchBytes = 32LL << 20;
constexpr int kBatchFiles = 512;

// How many files a batch may hold open: a quarter of what this process may open.
int BatchLimit()
{
    struct rlimit limit;
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return kBatchFiles;
    return static_cast<int>(qMin<rlim_t>(kBatchFiles, limit.rlim_cur / 4));
}
} // namespace

bool MainWipeThread::TryDefer(int dirfd, const QByteArray& name, const QByteArray& path, const NodeStat& st, bool* kept,
                              int algorithm)
{
    const QVector<PassStep>& passes = AlgorithmPasses(algorithm);
    if (m_batchLimit < 2 || passes.isEmpty() || st.size > chunkSize || st.size * passes.size() > kBatchFileBytes)
        return false;
    if (!m_batch.empty() && (static_cast<int>(m_batch.size()) >= m_batchLimit ||
                             m_batchBytes + st.size * passes.size() > kBatchBytes || m_batchAlgorithm != algorithm))
        SettleBatch();
    const int fd = ::openat(dirfd, name.constData(), O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    NodeStat opened;
    const bool usable = fd >= 0 && StatAt(fd, QByteArray(), &opened) && S_ISREG(opened.mode) && opened.SameNode(st) &&
                        opened.nlink == 1 && opened.size == st.size;
    const Ranges ranges = usable ? DataRanges(fd, opened.size) : Ranges();
    if (!usable || (opened.size > 0 && ranges != Ranges{{0, opened.size}})) {
        if (fd >= 0)
            ::close(fd); // anything unusual is erased on its own, which says what it is
        return false;
    }
    // Each pass's bytes are drawn now, file by file, in the order a file erased on its own
    // draws them; the pass buffer is the scratch space, as it would be then.
    PendingFile file;
    file.folder = dirfd;
    file.name = name;
    file.path = QFile::decodeName(path);
    file.opened = opened;
    file.fd = fd;
    file.kept = kept;
    const long long size = opened.size;
    file.passes.resize(static_cast<int>(size * passes.size()));
    long geometry[2] = {static_cast<long>(chunkSize), 1};
    for (int i = 0; i < passes.size(); ++i) {
        FillPassBytes(passes.at(i), buffer, size, geometry);
        std::memcpy(file.passes.data() + i * size, buffer, static_cast<size_t>(size));
    }
    m_batchBytes += size * passes.size();
    m_batch.push_back(std::move(file));
    return true;
}

void MainWipeThread::FlushRound(std::vector<PendingFile>& batch)
{
    const auto& hooks = PassEngineTesting::Hooks();
    int any = -1;
    for (PendingFile& file : batch) {
        if (file.failed || file.released)
            continue;
        if (hooks.onFlush && !hooks.onFlush())
            file.failed = true;
        else
            any = file.fd;
    }
    if (any < 0 || FlushFileSystem(any))
        return;
    // Some write-back failed: each file's own flush tells whose.
    for (PendingFile& file : batch) {
        if (!file.failed && !file.released && ::fdatasync(file.fd) != 0)
            file.failed = true;
    }
}

void MainWipeThread::SettleBatch()
{
    if (m_batch.empty())
        return;
    std::vector<PendingFile> batch;
    batch.swap(m_batch);
    m_batchBytes = 0;
    const int algorithm = m_batchAlgorithm;
    const QVector<PassStep>& passes = AlgorithmPasses(algorithm);
    long geometry[2] = {static_cast<long>(chunkSize), 1};
    char noPath[] = "";

    // Every pass reaches the medium before the next one is written.
    for (int i = 0; i < passes.size(); ++i) {
        for (size_t f = 0; f < batch.size(); ++f) {
            PendingFile& file = batch[f];
            if (i == 0 && StopRequested()) {
                for (size_t rest = f; rest < batch.size(); ++rest)
                    batch[rest].released = true; // a stop takes effect between files
                break;
            }
            if (file.failed || file.released)
                continue;
            if (i == 0)
                emit WipingStatus(bytesDone, file.path);
            const long long size = file.opened.size;
            auto* data = reinterpret_cast<unsigned char*>(file.passes.data()) + i * size;
            if (size > 0 && !OnReadDisk(0, data, size, noPath, file.fd, geometry, 1))
                file.failed = true;
        }
        FlushRound(batch);
        if (passes.at(i).check == PassCheck::None && i + 1 < passes.size())
            continue;
        // What reached the medium is read back from it: after the last pass always, and after
        // every pass that checks itself.
        for (PendingFile& file : batch) {
            const long long size = file.opened.size;
            if (file.failed || file.released || size == 0)
                continue;
            DropFromCache(file.fd, 0, size);
            if (!OnReadDisk(0, buffer, size, noPath, file.fd, geometry, 0) ||
                std::memcmp(buffer, file.passes.constData() + i * size, static_cast<size_t>(size)) != 0)
                file.failed = true;
        }
    }

    for (PendingFile& file : batch) {
        Descriptor own(file.fd);
        if (file.released) {
            *file.kept = true;
            continue;
        }
        Ranges done;
        if (!file.failed && file.opened.size > 0) {
            done.append({0, file.opened.size});
            bytesDone += file.opened.size;
            emit WipingStatus(bytesDone, file.path);
        }
        if (!FinishFile(file.folder, file.name, file.path, file.fd, file.opened, done, !file.failed, algorithm,
                        m_batchVerification))
            *file.kept = true;
    }
}

bool MainWipeThread::WipeFileJob(const QByteArray& nativePath, const QString& path, int algorithm, int verification)
{
    QByteArray parentPath;
    QByteArray name;
    SplitPath(nativePath, &parentPath, &name);
    Descriptor parent(OpenFolderPath(parentPath));
    NodeStat st;
    if (!parent.IsOpen() || !StatAt(parent.Get(), name, &st)) {
        LogItem(ItemKind::File, Outcome::Missing, path);
        return false;
    }
    if (IsVirtualFileSystem(parent.Get())) {
        LogItem(ItemKind::File, Outcome::AccessDenied, path);
        return false;
    }
    return EraseFileAt(parent.Get(), name, path, algorithm, verification);
}

bool MainWipeThread::OnDirWipeNow(const QString& path, int algorithm, int verification)
{
    return WipeFolderJob(QFile::encodeName(path), path, algorithm, verification);
}

bool MainWipeThread::WipeFolderJob(const QByteArray& nativePath, const QString& path, int algorithm, int verification)
{
    QByteArray parentPath;
    QByteArray name;
    SplitPath(nativePath, &parentPath, &name);
    Descriptor parent(OpenFolderPath(parentPath));
    NodeStat st;
    if (!parent.IsOpen() || !StatAt(parent.Get(), name, &st) || !(S_ISDIR(st.mode) || S_ISLNK(st.mode))) {
        LogItem(ItemKind::Folder, Outcome::Missing, path);
        return false;
    }
    if (S_ISLNK(st.mode)) {
        const bool removed = RemoveErasedName(parent.Get(), name, st);
        LogItem(ItemKind::Folder, removed ? Outcome::Successful : Outcome::Failed, path);
        return removed;
    }
    Descriptor folder(OpenSubfolder(parent.Get(), name, st));
    if (!folder.IsOpen() || IsVirtualFileSystem(folder.Get())) {
        LogItem(ItemKind::Folder, Outcome::Failed, path);
        return false;
    }

    // The folder goes only as far as its contents were erased: anything that stays keeps
    // its folders, and the folder's line says it failed.
    m_batchAlgorithm = algorithm;
    m_batchVerification = verification;
    m_batchLimit = BatchLimit();
    FolderWalk walk;
    walk.onEntry = [&](const FolderWalk::Entry& entry) {
        if (StopRequested())
            return FolderWalk::Visit::Stop;
        struct stat target;
        const bool linkToFolder = S_ISLNK(entry.stat.mode) &&
                                  ::fstatat(entry.folder, entry.name.constData(), &target, 0) == 0 &&
                                  S_ISDIR(target.st_mode);
        if ((!S_ISREG(entry.stat.mode) && !S_ISLNK(entry.stat.mode)) || linkToFolder) {
            // Pipes, sockets and device nodes hold no data of their own, and a link to a folder
            // is not one of its files: only the name goes, without a line of its own.
            return RemoveErasedName(entry.folder, entry.name, entry.stat) ? FolderWalk::Visit::Done
                                                                          : FolderWalk::Visit::Kept;
        }
        if (S_ISREG(entry.stat.mode) &&
            TryDefer(entry.folder, entry.name, entry.path, entry.stat, entry.kept, algorithm))
            return FolderWalk::Visit::Deferred;
        SettleBatch(); // lines stay in the order of the files
        const bool erased =
            EraseFileAt(entry.folder, entry.name, QFile::decodeName(entry.path), algorithm, verification);
        return erased ? FolderWalk::Visit::Done : FolderWalk::Visit::Kept;
    };
    walk.onSettle = [this] { SettleBatch(); };
    walk.onMountPoint = [&](const FolderWalk::Entry& entry) {
        SettleBatch();
        const QString shown = QFile::decodeName(entry.path);
        LogItem(S_ISDIR(entry.stat.mode) ? ItemKind::Folder : ItemKind::File, Outcome::Failed, shown);
        emit ItemLeftAlone(shown);
    };
    // One write of the file system for all the folders emptied in a folder, not one each.
    walk.onFoldersEmptying = [](int folderFd) { FlushFileSystem(folderFd); };
    walk.onFolderEmptied = [](const FolderWalk::Entry& entry) {
        return RemoveErasedName(entry.folder, entry.name, entry.stat, true, true);
    };
    const bool emptied = walk.Walk(folder.Get(), nativePath);
    SettleBatch();
    folder.Reset(-1);
    const bool removed = emptied && RemoveErasedName(parent.Get(), name, st, true);
    LogItem(ItemKind::Folder, removed ? Outcome::Successful : Outcome::Failed, path);
    return removed;
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
