// The erasure worker: carries out one run of the job list in the application state (files,
// folders, property lists, unused space), writes the run's log lines and reports progress
// through queued signals. It reads a stop flag between chunks and between items.
#pragma once

#include "ErasureLog.h"
#include "FolderWalk.h"
#include "Records.h"
#include "Verification.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QPair>
#include <QString>
#include <QThread>
#include <QVector>

#include <atomic>
#include <thread>
#include <vector>

class MainWipeThread : public QThread
{
    Q_OBJECT

public:
    explicit MainWipeThread(QObject* parent = nullptr);
    ~MainWipeThread() override;

    // The log and certificate names of an algorithm ("Zeroes 1 Write Pass ") and of a
    // verification mode ("No verification").
    static QString GetAlgorithmName(int index);
    static QString GetVerificationName(int index);

    // The run; public so that the command line can run it on its own thread.
    void run() override;

    bool OnFileWipeNow(const QString& path, int algorithm, int verification);
    bool OnDirWipeNow(const QString& path, int algorithm, int verification);
    bool OnWipePlist(const QString& path);
    bool OnWipeUnusedSpace(const QString& mountPoint, long long freeSize, int algorithm, int verification);
    void OnMakeandRemoveDir(const QString& mountPoint, bool remove);
    QString OnCreateFile();
    void FillDataInFile(const QString& mountPoint, long long size, long long chunk, int algorithm, int verification);
    void RecursiveDeleteAllfiles();
    static long long SetDriveSpace(const QString& mountPoint);

    // Safe from any thread and from a signal handler.
    void RequestStop() { stopRequested.store(true, std::memory_order_relaxed); }
    bool StopRequested() const { return stopRequested.load(std::memory_order_relaxed); }

    // One result per job of the last run, in list order.
    const QVector<bool>& JobResults() const { return m_jobResults; }

    // Whether the run records certificate rows: the application's search mode when the worker
    // was made, unless set here before the run starts; later changes of the mode do not count.
    void SetSearchMode(bool searchMode) { m_searchMode = searchMode; }

    // Tests only: a smaller chunk (and so a smaller pass buffer and filler-file limit).
    void SetChunkSizeForTests(long long size) { m_chunkSizeOverride = size; }

    std::atomic<bool> stopRequested{false};
    unsigned char* buffer = nullptr;
    long long chunkSize = 0;
    long long bytesDone = 0;
    QString fillerDir;

signals:
    void WipingStart(QString item);
    void WipingStatus(long long bytesDone, QString item);
    void WipingComplete();
    // A folder or file below a chosen folder that lies on another mount: left alone.
    void ItemLeftAlone(QString path);
    // Progress within chunks (bytes of the whole run, counting each chunk's passes as they
    // are written) and the number of files done, both at most every kProgressInterval ms and
    // once more at the end of the run.
    void WipingProgress(long long bytesDone);
    void WipingFiles(long long filesDone);

private:
    struct ChunkRun
    {
        bool allChunks = true; // every chunk overwritten and verified
        bool cutShort = false; // a stop request ended it before the end
    };
    using Ranges = QVector<QPair<long long, long long>>; // [begin, end) byte ranges
    // `position` is where the chunk lies in the item as the verification policy counts it.
    bool WipeChunk(long long offset, long long position, long long length, bool last, char* nativePath, int fd,
                   int algorithm, ChunkPolicy& policy, long long index);
    class BackgroundCheck
    {
    public:
        BackgroundCheck() = default;
        ~BackgroundCheck();
        BackgroundCheck(const BackgroundCheck&) = delete;
        BackgroundCheck& operator=(const BackgroundCheck&) = delete;
        // Reads a written range back from the medium on a thread of its own, through a
        // descriptor of its own, and checks that it holds `value` throughout; false when it
        // cannot (nothing was started).
        bool Start(int fd, long long offset, long long length, unsigned char value);
        bool Running() const { return m_running; }
        bool Join(); // the result; true when nothing ran

    private:
        std::thread m_thread;
        int m_fd = -1;
        bool m_running = false;
        bool m_result = true;
    };
    // Writes the chunk with every pass and runs `check`; with `background`, a read-back may be
    // started there instead (the caller joins it).
    bool WipeChunkChecked(long long offset, long long length, char* nativePath, int fd, int algorithm,
                          ChunkPolicy::Check check, BackgroundCheck* background);
    // Overwrites each range chunk by chunk, as one item.
    ChunkRun OverwriteRanges(char* nativePath, int fd, const Ranges& ranges, int algorithm, int verification,
                             const QString& reportAs);
    // Erases the file job or the folder job at the path's own bytes.
    bool WipeFileJob(const QByteArray& nativePath, const QString& path, int algorithm, int verification);
    bool WipeFolderJob(const QByteArray& nativePath, const QString& path, int algorithm, int verification);
    // Erases the entry `name` of the folder `dirfd` (a file or a link), shown as `path`.
    bool EraseFileAt(int dirfd, const QByteArray& name, const QString& path, int algorithm, int verification);
    // Overwrites what of the open file `fd` is not yet in `done` (and what it gains meanwhile),
    // then truncates it, removes its name provided it still is `opened`, and writes its line.
    // `flushed`: everything written so far has reached the medium.
    bool FinishFile(int dirfd, const QByteArray& name, const QString& path, int fd, const NodeStat& opened, Ranges done,
                    bool flushed, int algorithm, int verification);

    // Small files of a folder job are erased in batches that share their flushes: each pass
    // is written to every file of the batch, then one flush round; then every file is read
    // back from the medium and compared; then, in order, each is truncated, removed and
    // logged. A file that fails anywhere in the batch is erased again on its own.
    struct PendingFile
    {
        int folder = -1; // the walker's descriptor of its folder, open until the batch settles
        QByteArray name;
        QString path;
        NodeStat opened;
        int fd = -1;
        QByteArray passes; // every pass's bytes, one after the other (size bytes each)
        bool* kept = nullptr;
        bool failed = false;   // to be erased again on its own
        bool released = false; // a stop came before it was written: left as it was
    };
    // Takes the regular file `name` into the batch; false when it must be erased on its own.
    bool TryDefer(int dirfd, const QByteArray& name, const QByteArray& path, const NodeStat& st, bool* kept,
                  int algorithm);
    void SettleBatch();
    void FlushRound(std::vector<PendingFile>& batch);
    std::vector<PendingFile> m_batch;
    long long m_batchBytes = 0;
    int m_batchLimit = 0;
    int m_batchAlgorithm = 0;
    int m_batchVerification = 0;
    void LogItem(ErasureLog::ItemKind kind, ErasureLog::Outcome outcome, const QString& path);
    void AddCertificateRow(const QString& path, bool result);
    bool RunJob(const APPWIPINGINFO& job);

    // Progress reporting between chunks; called on the worker's thread after every piece.
    bool OnPieceDone(long long bytes, bool write);
    void ReportProgress(bool force);
    static constexpr qint64 kProgressInterval = 250;
    int m_passCount = 1;
    long long m_pieceBase = -1;
    long long m_pieceBytes = 0;
    long long m_filesDone = 0;
    QElapsedTimer m_progressClock;
    bool m_searchMode = false;

    // Unused-space erasure (UnusedSpace.cpp): the fillers of the volume being filled.
    struct FillerFile
    {
        int fd = -1;
        QByteArray name; // empty for an unnamed filler
        unsigned long long device = 0;
        unsigned long long inode = 0;
    };
    int CreateFiller();
    long long FillOneFiller(FillerFile& filler, long long size, int algorithm, int verification,
                            const QString& mountPoint, bool* volumeFull);
    QVector<FillerFile> m_fillers;
    int m_fillerDirFd = -1;
    bool m_fillerFailed = false;

    long long m_chunkSizeOverride = 0;
    QVector<bool> m_jobResults;
    QDateTime m_lastLineTime;
    bool m_fillerFolderMade = false;
    bool m_largePages = false;
};
