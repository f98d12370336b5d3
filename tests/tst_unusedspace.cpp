// Unused-space erasure. In a temporary folder with a fake free-space source and a small
// chunk: filler sizes, the refill bound, failures, stopping, and which files count as filler.
// On real images (root and loop devices): every pass reaches the chunk that meets the full
// volume, faults of the file system fail the item, a user's files survive, and a killed run
// holds no space.
#include "AlgorithmTable.h"
#include "EraserCopy.h"
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "LoopImage.h"
#include "MainWipeThread.h"
#include "PassEngine.h"
#include "TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#ifndef FS_IOC_SHUTDOWN
#define FS_IOC_SHUTDOWN _IOR('X', 125, unsigned int)
#endif

namespace {
constexpr long long kChunk = 4096;
constexpr long long kFillerLimit = 16 * kChunk;
const QString kFillerFolder = QStringLiteral("$$SWUS4B56465553");

long long FreeBytes(const QString& path)
{
    struct statvfs st;
    return statvfs(QFile::encodeName(path).constData(), &st) == 0 ? static_cast<long long>(st.f_bfree * st.f_frsize)
                                                                  : -1;
}

// 4 KiB blocks of the image that hold nothing but `byte`.
long long BlocksOf(const QString& image, char byte)
{
    QFile file(image);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray full(4096, byte);
    long long blocks = 0;
    while (!file.atEnd()) {
        const QByteArray piece = file.read(8 << 20);
        for (int at = 0; at + 4096 <= piece.size(); at += 4096)
            blocks += piece.mid(at, 4096) == full ? 1 : 0;
    }
    return blocks;
}
} // namespace

class TestUnusedSpace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void namedFillersHoldAtMostSixteenChunks();
    void refillEnds_data();
    void refillEnds();
    void itemFails_data();
    void itemFails();
    void stopRemovesFillerFiles();
    void onlyUnusedMarkedFillerIsStale();
    void diskutilFreeSpace_data();
    void diskutilFreeSpace();
    void statvfsGivesWritableSpace();
    void fullVolumeGetsEveryPass();
    void faultsFailTheItem_data();
    void faultsFailTheItem();
    void killedRunHoldsNoSpace();

private:
    bool RunJob(MainWipeThread& worker, const QString& mountPoint, long long freeSize, int algorithm = 0,
                int verification = 0, long long chunk = kChunk);
    QString FillerDir() const { return m_dir->filePath(kFillerFolder); }
    QList<qint64> FillerSizes() const;
    int Erase(const QStringList& arguments, QProcess* running = nullptr);

    QTemporaryDir* m_dir = nullptr;
};

void TestUnusedSpace::init()
{
    m_dir = new QTemporaryDir(QCoreApplication::applicationDirPath() + QStringLiteral("/unused-XXXXXX"));
    KorvaneApp::ResetInstance();
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->logPath = m_dir->filePath(QStringLiteral("logs"));
    QDir().mkpath(app->logPath + QStringLiteral("/KVLOGFILE"));
    app->logFileStamp = QStringLiteral("run");
}

void TestUnusedSpace::cleanup()
{
    FreeSpaceTesting::SetSource({});
    FreeSpaceTesting::SetUnnamedFillers(true);
    PassEngineTesting::ClearIoHooks();
    PassEngineTesting::SetDrawnValues({});
    KorvaneApp::ResetInstance();
    delete m_dir;
}

bool TestUnusedSpace::RunJob(MainWipeThread& worker, const QString& mountPoint, long long freeSize, int algorithm,
                             int verification, long long chunk)
{
    APPWIPINGINFO job;
    job.wipeType = APPWIPINGINFO::UnusedSpace;
    job.itemPath = mountPoint;
    job.itemSize = freeSize;
    job.algorithm = algorithm;
    job.verification = verification;
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
    worker.SetChunkSizeForTests(chunk);
    worker.run();
    return worker.JobResults().value(0);
}

QList<qint64> TestUnusedSpace::FillerSizes() const
{
    QList<qint64> sizes;
    for (const QFileInfo& info : QDir(FillerDir()).entryInfoList(QDir::Files, QDir::Size | QDir::Reversed)) {
        if (!info.fileName().startsWith(QLatin1String("$$SWUSTEMP")))
            return {};
        sizes << info.size();
    }
    return sizes;
}

int TestUnusedSpace::Erase(const QStringList& arguments, QProcess* running)
{
    QProcess own;
    QProcess* process = running ? running : &own;
    if (!running)
        process->start(EraserCopy::Shared(), arguments);
    if (!process->waitForFinished(600000))
        return -1;
    return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -2;
}

void TestUnusedSpace::namedFillersHoldAtMostSixteenChunks()
{
    // 150 KiB free at first; the volume then reports what the filler files left.
    FreeSpaceTesting::SetUnnamedFillers(false);
    const long long initial = 150 * 1024;
    QList<QList<qint64>> seen;
    FreeSpaceTesting::SetSource([&](const QString& folder) -> long long {
        if (folder != m_dir->path())
            return 0;
        seen << FillerSizes();
        long long used = 0;
        for (qint64 size : seen.last())
            used += size;
        return initial - used;
    });
    MainWipeThread worker;
    QSignalSpy status(&worker, &MainWipeThread::WipingStatus);
    QVERIFY(RunJob(worker, m_dir->path(), initial));

    // Once the figure says nothing is free, one chunk more is tried, since no write met a full
    // volume (here the real disk takes it).
    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen.at(0), QList<qint64>({kFillerLimit}));
    QCOMPARE(seen.at(1), QList<qint64>({kFillerLimit, kFillerLimit}));
    QCOMPARE(seen.at(2), QList<qint64>({initial - 2 * kFillerLimit, kFillerLimit, kFillerLimit}));
    QCOMPARE(worker.bytesDone, initial + kChunk);
    QCOMPARE(status.last().at(1).toString(), m_dir->path());
    QVERIFY(!QFileInfo::exists(FillerDir()));
}

void TestUnusedSpace::refillEnds_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("goodWrites");
    QTest::addColumn<bool>("result");
    // A full volume ends the erasure successfully; any other error fails it.
    QTest::newRow("volume full after one chunk") << ENOSPC << 1 << true;
    QTest::newRow("quota reached") << EDQUOT << 0 << true;
    QTest::newRow("I/O error") << EIO << 0 << false;
    QTest::newRow("I/O error after three chunks") << EIO << 3 << false;
    QTest::newRow("turned read-only") << EROFS << 2 << false;
}

void TestUnusedSpace::refillEnds()
{
    QFETCH(int, error);
    QFETCH(int, goodWrites);
    QFETCH(bool, result);
    int asked = 0;
    FreeSpaceTesting::SetSource([&asked](const QString&) { return ++asked < 50 ? 1LL << 20 : 0LL; });
    int writes = 0;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&](long long, const unsigned char*, long long) {
        if (++writes <= goodWrites)
            return true;
        errno = error;
        return false;
    };
    PassEngineTesting::SetIoHooks(hooks);
    MainWipeThread worker;
    QCOMPARE(RunJob(worker, m_dir->path(), 1LL << 20), result);
    QCOMPARE(asked, 0); // the volume was not asked for more after the first filler file
    QCOMPARE(worker.bytesDone, goodWrites * kChunk);
    QVERIFY(!QFileInfo::exists(FillerDir()));
}

void TestUnusedSpace::itemFails_data()
{
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<long long>("freeSize");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("verification");
    QTest::newRow("missing folder") << "no/such/volume" << (1LL << 20) << 0 << 0;
    QTest::newRow("no free space reported") << "" << 0LL << 0 << 0;
    QTest::newRow("algorithm past the table") << "" << (1LL << 20) << kAlgorithmCount << 0;
    QTest::newRow("negative algorithm") << "" << (1LL << 20) << -1 << 0;
    QTest::newRow("verification past the table") << "" << (1LL << 20) << 0 << kVerificationCount;
}

void TestUnusedSpace::itemFails()
{
    QFETCH(QString, mountPoint);
    QFETCH(long long, freeSize);
    QFETCH(int, algorithm);
    QFETCH(int, verification);
    FreeSpaceTesting::SetSource([](const QString&) { return 1LL << 20; });
    MainWipeThread worker;
    QVERIFY(!RunJob(worker, m_dir->filePath(mountPoint), freeSize, algorithm, verification));
    QCOMPARE(worker.bytesDone, 0LL);
    QVERIFY(!QFileInfo::exists(FillerDir()));

    // The pass engine itself writes nothing for an algorithm it does not know, and says so.
    const QString path = m_dir->filePath(QStringLiteral("kept"));
    QVERIFY(!WriteTestFile(path, "keep").isEmpty());
    QByteArray native = QFile::encodeName(path);
    const int fd = OnOpenDisk(native.constData());
    unsigned char buffer[8] = {};
    long geometry[2] = {4, 1};
    const bool known = algorithm >= 0 && algorithm < kAlgorithmCount;
    QCOMPARE(WipeNow(0, buffer, 4, native.data(), fd, geometry, algorithm), known);
    OnCloseDisk(fd);
    if (!known)
        QCOMPARE(ReadTestFile(path), QByteArray("keep"));
}

void TestUnusedSpace::stopRemovesFillerFiles()
{
    FreeSpaceTesting::SetUnnamedFillers(false);
    FreeSpaceTesting::SetSource([](const QString&) { return 1LL << 20; });
    MainWipeThread worker;
    bool sawFiles = false;
    connect(
        &worker, &MainWipeThread::WipingStatus, &worker,
        [&](long long done, const QString&) {
            if (done >= 20 * kChunk) {
                sawFiles = FillerSizes().size() == 2;
                worker.RequestStop();
            }
        },
        Qt::DirectConnection);
    QVERIFY(!RunJob(worker, m_dir->path(), 1LL << 20));
    QVERIFY(sawFiles);
    QVERIFY(!QFileInfo::exists(FillerDir()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("logs")});
}

void TestUnusedSpace::onlyUnusedMarkedFillerIsStale()
{
    // What a killed run leaves: a named filler, closed. Beside it, files that only look like
    // filler, and a filler another run is still filling.
    FreeSpaceTesting::SetUnnamedFillers(false);
    QVERIFY(QDir().mkdir(FillerDir()));
    const int dirFd = ::open(QFile::encodeName(FillerDir()).constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(dirFd >= 0);
    QByteArray staleName;
    const int stale = Filler::Create(dirFd, &staleName);
    QVERIFY(stale > 0 && Filler::IsFillerName(staleName.constData()));
    QCOMPARE(::write(stale, "filler", 6), 6L);
    ::close(stale);
    QByteArray liveName;
    const int live = Filler::Create(dirFd, &liveName);
    QVERIFY(live > 0);
    ::close(dirFd);

    const QMap<QString, QFile::Permissions> lookalikes{
        {QStringLiteral("$$SWUSTEMP7"), QFile::ReadOwner | QFile::WriteOwner},
        {QStringLiteral("$$SWUSTEMP8"), QFile::WriteOwner}, // filler's mode, but not its mark
        {QStringLiteral("$$SWUSTEMP9x"), QFile::WriteOwner},
        {QStringLiteral("notes.txt"), QFile::ReadOwner | QFile::WriteOwner}};
    QMap<QString, QByteArray> sums;
    for (auto it = lookalikes.begin(); it != lookalikes.end(); ++it) {
        const QString path = m_dir->filePath(kFillerFolder + "/" + it.key());
        QVERIFY(QFile::setPermissions(WriteTestFile(path, "user data " + it.key().toUtf8()), it.value()));
        sums[it.key()] = ReadTestFile(path);
    }
    QVERIFY(QFile::link(QStringLiteral("notes.txt"), FillerDir() + QStringLiteral("/$$SWUSTEMP10")));

    QCOMPARE(Filler::RemoveStale(m_dir->path()), 1);
    QStringList expected = lookalikes.keys() << QStringLiteral("$$SWUSTEMP10") << QString::fromLatin1(liveName);
    expected.sort();
    QCOMPARE(
        QDir(FillerDir()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
        expected);
    for (auto it = sums.begin(); it != sums.end(); ++it)
        QCOMPARE(ReadTestFile(m_dir->filePath(kFillerFolder + "/" + it.key())), it.value());

    // Once the other run ends, its filler is stale too; the folder goes when nothing else is in it.
    ::close(live);
    QCOMPARE(Filler::RemoveStale(m_dir->path()), 1);
    QVERIFY(QFileInfo::exists(FillerDir()));
    for (const QString& name : QDir(FillerDir()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
        QVERIFY(QFile::remove(FillerDir() + "/" + name));
    QCOMPARE(Filler::RemoveStale(m_dir->path()), 0);
    QVERIFY(!QFileInfo::exists(FillerDir()));
}

void TestUnusedSpace::diskutilFreeSpace_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<qint64>("bytes");
    auto recorded = [](const char* name) {
        QFile file(qEnvironmentVariable("KV_SOURCE_DIR") + "/tests/data/macos/" + name);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    QTest::newRow("free space") << "   Volume Free Space:        2.1 GB (2147483648 Bytes) (exactly 4194304 "
                                   "512-Byte-Units)\n"
                                << 2147483648LL;
    QTest::newRow("no answer") << "" << 0LL;
    QTest::newRow("no byte count") << "Volume Free Space: 2.1 GB" << 0LL;
    QTest::newRow("not a number") << "Volume Free Space: (lots Bytes)" << 0LL;
    QTest::newRow("exFAT image") << recorded("diskutil-info-diskimage-exfat-disk3s1-01.txt") << 99807232LL;
    QTest::newRow("HFS+ on CoreStorage: available space")
        << recorded("diskutil-info-hfs-corestorage-disk1-01.txt") << 55848755200LL;
    QTest::newRow("APFS data volume, macOS 11+: container")
        << recorded("diskutil-info-apfs-disk3s5-data-01.txt") << 183397150720LL;
    QTest::newRow("APFS recovery volume: container")
        << recorded("diskutil-info-apfs-disk2s1-recovery-ro-01.txt") << 2500202496LL;
    QTest::newRow("whole disk: not applicable") << recorded("diskutil-info-disk0-02.txt") << 0LL;
    QTest::newRow("full DVD") << recorded("diskutil-info-optical-dvd-disk4-readonly-01.txt") << 0LL;
}

void TestUnusedSpace::diskutilFreeSpace()
{
    QFETCH(QString, answer);
    QFETCH(qint64, bytes);
    QCOMPARE(DiskutilInfoFreeSpace(answer), bytes);
}

void TestUnusedSpace::statvfsGivesWritableSpace()
{
    QVERIFY(VolumeFreeSpace(m_dir->path()) > 0);
    QCOMPARE(VolumeFreeSpace(m_dir->filePath(QStringLiteral("missing"))), 0LL);
}

void TestUnusedSpace::fullVolumeGetsEveryPass()
{
    // Algorithm 2 writes one drawn byte, then zeroes. With the byte fixed, any block left
    // holding it had the first pass only: the chunk that met the full volume, before. From
    // 512 MiB on, ext4 has 4 KiB blocks, as volumes do (a page-sized write cannot take the last
    // few 1 KiB blocks of a smaller image).
    const QString fileSystem = QStringLiteral("ext4");
    const qint64 imageSize = 512LL << 20;
    const QString unavailable = LoopImageUnavailable(fileSystem);
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    MountedImage image;
    QVERIFY(image.Create(m_dir->path(), imageSize, fileSystem));
    // Only with ext4's pool of reserved blocks released can every free block be reached.
    QVERIFY(image.ReleaseReservedPool());
    const QByteArray marker = "KVMARK-full-volume-" + QByteArray::number(QRandomGenerator::global()->generate()) + "|";
    const QString deleted = MakeMarkerFile(image.MountPoint() + "/deleted", FreeBytes(image.MountPoint()) / 2, marker);
    QVERIFY(QFile::remove(deleted));
    ::sync();

    PassEngineTesting::SetDrawnValues([]() { return 0xA5; });
    MainWipeThread worker;
    QVERIFY(RunJob(worker, image.MountPoint(), VolumeFreeSpace(image.MountPoint()), 2, 0, 4 << 20));
    QVERIFY(worker.bytesDone > imageSize / 2);
    QVERIFY(!QFileInfo::exists(image.MountPoint() + "/" + kFillerFolder));
    QVERIFY(image.Detach());
    QCOMPARE(BlocksOf(image.Image(), char(0xA5)), 0LL);
    QCOMPARE(MarkerHits(image.Image(), marker), 0LL);
}

void TestUnusedSpace::faultsFailTheItem_data()
{
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");
    const char* const rows[][3] = {{"ext4, full volume", "ext4", ""},
                                   {"ext4, shut down", "ext4", "shutdown"},
                                   {"xfs, shut down", "xfs", "shutdown"},
                                   {"ext4, read-only after an error", "ext4", "error"},
                                   {"ext4, read-only from the start", "ext4", "read-only"}};
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << (row[2][0] ? 1 : 0);
}

void TestUnusedSpace::faultsFailTheItem()
{
    QFETCH(QString, fileSystem);
    QFETCH(QString, fault);
    QFETCH(int, exitCode);
    const QString unavailable = LoopImageUnavailable(fileSystem);
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    MountedImage image;
    QVERIFY(image.Create(m_dir->path(), 300LL << 20, fileSystem));
    QVERIFY(image.IsOwnMount()); // the faults below must strike the image, never the machine
    const QString mountPoint = image.MountPoint();
    // A user's own files under the filler folder's name, one named like a filler.
    QVERIFY(QDir().mkdir(mountPoint + "/" + kFillerFolder));
    const QString lookalike = mountPoint + "/" + kFillerFolder + "/$$SWUSTEMP123";
    QVERIFY(!WriteTestFile(lookalike, QByteArray(100000, 'u')).isEmpty());
    const QByteArray sum = ReadTestFile(lookalike);
    ::sync(); // a shut-down file system keeps only what reached its journal
    const long long initialFree = FreeBytes(mountPoint);
    if (fault == QLatin1String("read-only"))
        QVERIFY(RunTool("mount", {"-o", "remount,ro", mountPoint}));
    if (fault == QLatin1String("error"))
        QVERIFY(RunTool("mount", {"-o", "remount,errors=remount-ro", mountPoint}));

    QProcess eraser;
    eraser.start(EraserCopy::Shared(),
                 {"-q", "-a", "2", "--log-dir", m_dir->filePath("logs"), "--free-space", mountPoint});
    QVERIFY(eraser.waitForStarted());
    if (fault == QLatin1String("shutdown") || fault == QLatin1String("error")) {
        // Strike once the filler holds a good part of the space.
        QElapsedTimer waited;
        waited.start();
        while (eraser.state() == QProcess::Running && FreeBytes(mountPoint) > initialFree * 2 / 3 &&
               waited.elapsed() < 60000)
            QThread::msleep(10);
        QCOMPARE(eraser.state(), QProcess::Running);
        if (fault == QLatin1String("shutdown")) {
            const int fd = ::open(QFile::encodeName(mountPoint).constData(), O_RDONLY | O_DIRECTORY);
            unsigned int flags = 2; // FS_GOING_FLAGS_NOLOGFLUSH
            QVERIFY(fd >= 0 && ::ioctl(fd, FS_IOC_SHUTDOWN, &flags) == 0);
            ::close(fd);
        } else {
            QFile trigger("/sys/fs/ext4/" + QFileInfo(image.Device()).fileName() + "/trigger_fs_error");
            QVERIFY(trigger.open(QIODevice::WriteOnly) && trigger.write("1\n") == 2);
        }
    }
    QCOMPARE(Erase({}, &eraser), exitCode);
    const QString summary = QString::fromUtf8(eraser.readAllStandardOutput());
    QVERIFY2(summary.contains(exitCode == 0 ? "1 of 1 items erased" : "0 of 1 items erased"), qPrintable(summary));

    // Mounted afresh, the volume holds the user's files as they were, and no filler.
    QVERIFY(RunTool("umount", {mountPoint}));
    QVERIFY(RunTool("mount", {image.Device(), mountPoint}));
    QCOMPARE(QDir(mountPoint + "/" + kFillerFolder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"$$SWUSTEMP123"});
    QCOMPARE(ReadTestFile(lookalike), sum);
    QVERIFY(FreeBytes(mountPoint) >= initialFree - (1 << 20));
}

void TestUnusedSpace::killedRunHoldsNoSpace()
{
    const QString unavailable = LoopImageUnavailable();
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    MountedImage image;
    QVERIFY(image.Create(m_dir->path(), 400LL << 20));
    const QString mountPoint = image.MountPoint();
    const long long initialFree = FreeBytes(mountPoint);

    QProcess eraser;
    eraser.start(EraserCopy::Shared(),
                 {"-q", "-a", "2", "--log-dir", m_dir->filePath("logs"), "--free-space", mountPoint});
    QVERIFY(eraser.waitForStarted());
    QElapsedTimer waited;
    waited.start();
    while (eraser.state() == QProcess::Running && FreeBytes(mountPoint) > initialFree / 2 && waited.elapsed() < 60000)
        QThread::msleep(10);
    QCOMPARE(eraser.state(), QProcess::Running);
    eraser.kill(); // SIGKILL: nothing of the program runs after it
    QVERIFY(eraser.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(FreeBytes(mountPoint) >= initialFree - (1 << 20), 5000);

    // Where fillers must have names, a killed run leaves one; the next start of the program
    // (any command) removes it, and only it.
    const QString folder = mountPoint + "/" + kFillerFolder;
    QVERIFY(QDir().mkpath(folder));
    FreeSpaceTesting::SetUnnamedFillers(false);
    const int dirFd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    QByteArray name;
    const int stale = Filler::Create(dirFd, &name);
    ::close(dirFd);
    QVERIFY(stale > 0);
    QVERIFY(::ftruncate(stale, 0) == 0 && ::posix_fallocate(stale, 0, 64 << 20) == 0);
    ::close(stale);
    QVERIFY(QFile::setPermissions(WriteTestFile(folder + "/$$SWUSTEMP5", "user's"), QFile::WriteOwner));
    QVERIFY(FreeBytes(mountPoint) < initialFree - (60 << 20));
    QCOMPARE(Erase({"--list-algorithms"}), 0);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
             QStringList{"$$SWUSTEMP5"});
    QVERIFY(FreeBytes(mountPoint) >= initialFree - (1 << 20));
}

QTEST_GUILESS_MAIN(TestUnusedSpace)
#include "tst_unusedspace.moc"
