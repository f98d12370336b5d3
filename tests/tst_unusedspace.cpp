// Unused-space erasure in a temporary folder with a fake free-space source and a small chunk:
// filler file sizes, the refill bound, stopping, and the filler folder always removed.
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "MainWipeThread.h"
#include "PassEngine.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

namespace {
constexpr long long kChunk = 4096;
constexpr long long kFillerLimit = 16 * kChunk;
} // namespace

class TestUnusedSpace : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fillerFilesHoldAtMostSixteenChunks();
    void refillEnds_data();
    void refillEnds();
    void stopRemovesFillerFiles();
    void missingFolderFailsTheJob();
    void rootMountPointDoublesTheSlash();
    void diskutilAnswer_data();
    void diskutilAnswer();
    void statvfsGivesWritableSpace();

private:
    bool RunJob(MainWipeThread& worker, long long freeSize);
    QString FillerDir() const { return m_dir->filePath(QStringLiteral("$$SWUS4B56465553")); }
    QList<qint64> FillerSizes() const;

    QTemporaryDir* m_dir = nullptr;
};

void TestUnusedSpace::init()
{
    m_dir = new QTemporaryDir;
    KorvaneApp::ResetInstance();
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->logPath = m_dir->filePath(QStringLiteral("logs"));
    QDir().mkpath(app->logPath + QStringLiteral("/KVLOGFILE"));
    app->logFileStamp = QStringLiteral("run");
}

void TestUnusedSpace::cleanup()
{
    FreeSpaceTesting::SetSource({});
    PassEngineTesting::ClearIoHooks();
    KorvaneApp::ResetInstance();
    delete m_dir;
}

bool TestUnusedSpace::RunJob(MainWipeThread& worker, long long freeSize)
{
    APPWIPINGINFO job;
    job.wipeType = APPWIPINGINFO::UnusedSpace;
    job.itemPath = m_dir->path();
    job.itemSize = freeSize;
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
    worker.SetChunkSizeForTests(kChunk);
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

void TestUnusedSpace::fillerFilesHoldAtMostSixteenChunks()
{
    // 150 KiB free at first; the volume then reports what the filler files left.
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
    QVERIFY(RunJob(worker, initial));

    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen.at(0), QList<qint64>({kFillerLimit}));
    QCOMPARE(seen.at(1), QList<qint64>({kFillerLimit, kFillerLimit}));
    QCOMPARE(seen.at(2), QList<qint64>({initial - 2 * kFillerLimit, kFillerLimit, kFillerLimit}));
    QCOMPARE(worker.bytesDone, initial);
    QCOMPARE(status.last().at(1).toString(), m_dir->path());
    QVERIFY(!QFileInfo::exists(FillerDir()));
}

void TestUnusedSpace::refillEnds_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<int>("goodWrites");
    QTest::newRow("free space never handed out") << EIO << 0;
    QTest::newRow("quota reached") << EDQUOT << 0;
    QTest::newRow("volume full after one chunk") << ENOSPC << 1;
}

void TestUnusedSpace::refillEnds()
{
    QFETCH(int, error);
    QFETCH(int, goodWrites);
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
    QVERIFY(RunJob(worker, 1LL << 20));
    QCOMPARE(asked, 0); // the volume was not asked for more after the first filler file
    QCOMPARE(worker.bytesDone, goodWrites * kChunk);
    QVERIFY(!QFileInfo::exists(FillerDir()));
}

void TestUnusedSpace::stopRemovesFillerFiles()
{
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
    QVERIFY(!RunJob(worker, 1LL << 20));
    QVERIFY(sawFiles);
    QVERIFY(!QFileInfo::exists(FillerDir()));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("logs")});
}

void TestUnusedSpace::missingFolderFailsTheJob()
{
    APPWIPINGINFO job;
    job.wipeType = APPWIPINGINFO::UnusedSpace;
    job.itemPath = m_dir->filePath(QStringLiteral("no/such/volume"));
    job.itemSize = 1 << 20;
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
    MainWipeThread worker;
    worker.SetChunkSizeForTests(kChunk);
    worker.run();
    QCOMPARE(worker.JobResults(), QVector<bool>{false});
    QCOMPARE(worker.bytesDone, 0LL);
}

void TestUnusedSpace::rootMountPointDoublesTheSlash()
{
    MainWipeThread worker;
    worker.OnMakeandRemoveDir(m_dir->path() + QLatin1Char('/'), false);
    QCOMPARE(worker.fillerDir, m_dir->path() + QStringLiteral("//$$SWUS4B56465553"));
    QVERIFY(QFileInfo(FillerDir()).isDir());
    const QString filler = worker.OnCreateFile();
    QVERIFY(filler.startsWith(worker.fillerDir + QStringLiteral("/$$SWUSTEMP")));
    QVERIFY(QFileInfo::exists(filler));
    worker.OnMakeandRemoveDir(m_dir->path() + QLatin1Char('/'), true);
    QVERIFY(!QFileInfo::exists(FillerDir()));
}

void TestUnusedSpace::diskutilAnswer_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<qint64>("bytes");
    QTest::newRow("free space") << "   Volume Free Space:        2.1 GB (2147483648 Bytes) (exactly 4194304 "
                                   "512-Byte-Units)\n"
                                << 2147483648LL;
    QTest::newRow("available space") << "   Volume Available Space:   500.1 GB (500068036608 Bytes) (exactly "
                                        "976695384 512-Byte-Units)\n"
                                     << 500068036608LL;
    QTest::newRow("no answer") << "" << 0LL;
    QTest::newRow("no byte count") << "Volume Free Space: 2.1 GB" << 0LL;
    QTest::newRow("not a number") << "Volume Free Space: (lots Bytes)" << 0LL;
}

void TestUnusedSpace::diskutilAnswer()
{
    QFETCH(QString, answer);
    QFETCH(qint64, bytes);
    QCOMPARE(ParseDiskutilFreeSpace(answer), bytes);
}

void TestUnusedSpace::statvfsGivesWritableSpace()
{
    QVERIFY(VolumeFreeSpace(m_dir->path()) > 0);
    QCOMPARE(VolumeFreeSpace(m_dir->filePath(QStringLiteral("missing"))), 0LL);
}

QTEST_GUILESS_MAIN(TestUnusedSpace)
#include "tst_unusedspace.moc"
