// The wipe worker on real files in a temporary folder: log lines of every outcome, links,
// hard links, awkward names, stops, failures and the certificate rows of search runs.
#include "FakeCommands.h"
#include "KorvaneApp.h"
#include "MainWipeThread.h"
#include "PassEngine.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TestWipeWorker : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void jobListLogsEachItemInOrder();
    void singleFileOutcome_data();
    void singleFileOutcome();
    void stopDuringMultiChunkFile();
    void plistLockfileRemovesThePlist();
    void sharedFileListRestartsItsService_data();
    void sharedFileListRestartsItsService();
    void linksAreRemovedNeverWrittenThrough();
    void awkwardNamesAreErasedAndRunNothing_data();
    void awkwardNamesAreErasedAndRunNothing();
    void nonUtf8NameInFolderIsOverwritten();
    void growthIsOverwrittenOrFails_data();
    void growthIsOverwrittenOrFails();
    void folderKeepsWhatWasNotErased_data();
    void folderKeepsWhatWasNotErased();
    void batchFaultStaysWithItsFile_data();
    void batchFaultStaysWithItsFile();
    void overlappedReadBackDecides_data();
    void overlappedReadBackDecides();
    void runsOnItsOwnThread();

private:
    QString Make(const QString& name, const QByteArray& content);
    void AddJob(int type, const QString& path, int algorithm = 0, int verification = 0);
    QStringList ItemLines() const;

    QTemporaryDir* m_dir = nullptr;
    FakeCommands* m_fakes = nullptr;
    QString m_oldCwd;
    const QDateTime m_now = QDateTime(QDate(2026, 12, 5), QTime(14, 56, 25));
};

void TestWipeWorker::init()
{
    m_dir = new QTemporaryDir;
    m_fakes = new FakeCommands;
    m_fakes->Add(QStringLiteral("killall"));
    m_fakes->Add(QStringLiteral("whoami"), "tester\n");
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir->path()); // anything a name might run would land here
    KorvaneApp::ResetInstance();
    KorvaneApp::SetClockForTests(m_now);
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->logPath = m_dir->filePath(QStringLiteral("logs"));
    QDir().mkpath(app->logPath + QStringLiteral("/KVLOGFILE"));
    app->logFileStamp = QStringLiteral("run");
}

void TestWipeWorker::cleanup()
{
    PassEngineTesting::ClearIoHooks();
    QDir::setCurrent(m_oldCwd);
    KorvaneApp::ResetInstance();
    delete m_fakes;
    delete m_dir;
}

QString TestWipeWorker::Make(const QString& name, const QByteArray& content)
{
    return WriteTestFile(m_dir->filePath(name), content);
}

void TestWipeWorker::AddJob(int type, const QString& path, int algorithm, int verification)
{
    APPWIPINGINFO job;
    job.wipeType = type;
    job.algorithm = algorithm;
    job.verification = verification;
    (type == APPWIPINGINFO::Plist ? job.plistPath : job.itemPath) = path;
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
}

// The lines between the run header and the footer.
QStringList TestWipeWorker::ItemLines() const
{
    QFile file(KorvaneApp::GetInstance()->logPath + QStringLiteral("/KVLOGFILE/run.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines.mid(6, lines.size() - 10);
}

// One log line as the user reads it, e.g. Logged("File", "Erasure successful", path).
static QString Logged(const char* kind, const char* result, const QString& path)
{
    return QLatin1String(kind) + QStringLiteral(" Path: ") + path + QStringLiteral(" | ") + QLatin1String(result) +
           QStringLiteral(" 05/12/2026|14:56:25 ");
}

void TestWipeWorker::jobListLogsEachItemInOrder()
{
    const QString missing = m_dir->filePath(QStringLiteral("missing.txt"));
    const QString file = Make(QStringLiteral("a.txt"), "alpha");
    const QString one = Make(QStringLiteral("dir/one"), "1");
    const QString two = Make(QStringLiteral("dir/two"), QByteArray(5000, 'b'));
    const QString folder = m_dir->filePath(QStringLiteral("dir"));
    AddJob(APPWIPINGINFO::File, missing);
    AddJob(APPWIPINGINFO::File, file);
    AddJob(APPWIPINGINFO::Folder, folder);
    MainWipeThread worker;
    worker.run();

    QStringList lines = ItemLines();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.at(0), QStringLiteral("File Path: ") + missing +
                              QStringLiteral(" | Either the file doesn't exist or it is in use 05/12/2026|14:56:25 "));
    QCOMPARE(lines.at(1), Logged("File", "Erasure successful", file));
    QStringList inside = lines.mid(2, 2);
    inside.sort();
    QCOMPARE(inside,
             QStringList({Logged("File", "Erasure successful", one), Logged("File", "Erasure successful", two)}));
    QCOMPARE(lines.at(4), Logged("Folder", "Erasure successful", folder));
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(worker.JobResults(), QVector<bool>({false, true, true}));
    QCOMPARE(worker.bytesDone, 5LL + 1 + 5000);
}

void TestWipeWorker::singleFileOutcome_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("result"); // the logged outcome
    QTest::addColumn<bool>("kept");
    // "kept": the chosen name is still there.
    const char* const rows[][4] = {
        {"empty file", "empty", "Erasure successful", ""},
        {"pipe not opened", "pipe", "Access denied", "kept"},
        {"hard-linked file keeps its data", "hardlink", "Erasure failed", ""},
        {"failed pass rewritten", "retry", "Erasure successful", ""},
        // Three whole chunks: random verification skips the middle one, never the last.
        {"last of whole chunks verified", "wholechunks", "Erasure failed", ""},
        {"no pass buffer", "nobuffer", "Erasure failed", "kept"},
        {"first chunk unwritable, the rest still written", "firstchunk", "Erasure failed", ""},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << bool(row[3][0]);
}

void TestWipeWorker::singleFileOutcome()
{
    QFETCH(QString, setup);
    QFETCH(QString, result);
    QFETCH(bool, kept);
    const QString file = m_dir->filePath(setup);
    const QString other = m_dir->filePath(QStringLiteral("other"));
    if (setup == QLatin1String("pipe"))
        QCOMPARE(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
    else
        Make(setup, QByteArray(setup == QLatin1String("empty")   ? 0
                               : setup == QLatin1String("retry") ? 100
                                                                 : 3 * 4096,
                               'c'));
    if (setup == QLatin1String("hardlink"))
        QCOMPARE(::link(QFile::encodeName(file).constData(), QFile::encodeName(other).constData()), 0);
    int writes = 0;
    QList<long long> reads;
    PassEngineTesting::IoHooks hooks;
    QList<long long> offsets;
    hooks.onWrite = [&](long long offset, const unsigned char*, long long) {
        offsets << offset;
        if (setup == QLatin1String("firstchunk"))
            return offset != 0;
        return ++writes != 2 || setup != QLatin1String("retry");
    };
    hooks.onRead = [&](long long offset, unsigned char* data, long long) {
        reads << offset;
        if (offset == 8192 && setup == QLatin1String("wholechunks"))
            data[0] ^= 1; // what the medium gave back differs
    };
    PassEngineTesting::SetIoHooks(hooks);
    AddJob(APPWIPINGINFO::File, file, setup == QLatin1String("retry") ? 2 : 0,
           setup == QLatin1String("wholechunks") ? 1 : 0);
    MainWipeThread worker;
    worker.SetChunkSizeForTests(setup == QLatin1String("nobuffer") ? 1LL << 60 : 4096);
    QSignalSpy complete(&worker, &MainWipeThread::WipingComplete);
    worker.run();
    QCOMPARE(complete.size(), 1);
    QCOMPARE(ItemLines(), QStringList{Logged("File", qPrintable(result), file)});
    QCOMPARE(QFileInfo::exists(file), kept);
    if (setup == QLatin1String("retry"))
        QCOMPARE(writes, 3); // random pass, failed zero pass, rewrite
    if (setup == QLatin1String("wholechunks"))
        QVERIFY(reads.contains(8192));
    if (setup == QLatin1String("hardlink")) {
        QFile shared(other);
        QVERIFY(shared.open(QIODevice::ReadOnly));
        QCOMPARE(shared.readAll(), QByteArray(3 * 4096, 'c'));
    }
    if (setup == QLatin1String("firstchunk")) {
        QCOMPARE(offsets, QList<long long>({0, 0, 4096, 8192})); // one rewrite of the failed chunk
        QCOMPARE(worker.bytesDone, 2 * 4096LL);
    }
}

void TestWipeWorker::stopDuringMultiChunkFile()
{
    KorvaneApp::GetInstance()->searchMode = true;
    const QString big = Make(QStringLiteral("big"), QByteArray(3 * 4096 + 10, 'm'));
    const QString next = Make(QStringLiteral("next"), "untouched");
    AddJob(APPWIPINGINFO::File, big);
    AddJob(APPWIPINGINFO::File, next);
    MainWipeThread worker;
    worker.SetChunkSizeForTests(4096);
    connect(
        &worker, &MainWipeThread::WipingStatus, &worker,
        [&worker](long long done, const QString&) {
            if (done >= 4096)
                worker.RequestStop(); // during the second chunk
        },
        Qt::DirectConnection);
    worker.run();

    QVERIFY(!QFileInfo::exists(big)); // still truncated and removed
    QCOMPARE(worker.bytesDone, 4096LL);
    QFile rest(next);
    QVERIFY(rest.open(QIODevice::ReadOnly));
    QCOMPARE(rest.readAll(), QByteArray("untouched"));
    // Only part of it was overwritten: reported as not erased.
    QCOMPARE(ItemLines(), QStringList({Logged("File", "Erasure failed", big),
                                       QStringLiteral("Erasure aborted by user at  05/12/2026|14:56:25 ")}));
    const auto rows = KorvaneApp::GetInstance()->certificateList;
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0).fileName, big);
    QCOMPARE(rows.at(0).status, int(CERTIFICATEDATA::Stopped));
    QCOMPARE(rows.at(0).erasedAt, m_now);
}

void TestWipeWorker::plistLockfileRemovesThePlist()
{
    const QString plist = Make(QStringLiteral("com.example.app.plist"), "<plist/>");
    AddJob(APPWIPINGINFO::Plist, plist + QStringLiteral(".lockfile"));
    AddJob(APPWIPINGINFO::Plist, m_dir->filePath(QStringLiteral("gone.plist")));
    MainWipeThread worker;
    worker.run();
    QVERIFY(!QFileInfo::exists(plist));
    QCOMPARE(ItemLines(), QStringList({Logged("Plist", "Erasure successful", plist),
                                       Logged("Plist", "Either the plist file doesn't exist or it is in use.",
                                              m_dir->filePath(QStringLiteral("gone.plist")))}));
    QCOMPARE(m_fakes->Calls(QStringLiteral("killall")), QStringList{QStringLiteral("-u\ttester\tcfprefsd")});
}

void TestWipeWorker::sharedFileListRestartsItsService_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("restarts");
    QTest::newRow("recent items list") << "com.apple.LSSharedFileList.RecentDocuments.sfl2" << true;
    QTest::newRow("any other file") << "com.apple.Finder.sfl2" << false;
}

void TestWipeWorker::sharedFileListRestartsItsService()
{
    QFETCH(QString, name);
    QFETCH(bool, restarts);
    AddJob(APPWIPINGINFO::File, Make(name, "recent"));
    MainWipeThread worker;
    worker.run();
    QCOMPARE(m_fakes->Calls(QStringLiteral("killall")),
             restarts ? QStringList{QStringLiteral("sharedfilelistd")} : QStringList());
}

void TestWipeWorker::linksAreRemovedNeverWrittenThrough()
{
    const QString outside = Make(QStringLiteral("outside/precious.txt"), "precious");
    const QString outsideDir = m_dir->filePath(QStringLiteral("outside"));
    const QString folder = m_dir->filePath(QStringLiteral("chosen"));
    Make(QStringLiteral("chosen/own.txt"), "own");
    QVERIFY(QFile::link(outside, folder + QStringLiteral("/to-file")));
    QVERIFY(QFile::link(outsideDir, folder + QStringLiteral("/to-folder")));
    QVERIFY(QFile::link(m_dir->filePath(QStringLiteral("nowhere")), folder + QStringLiteral("/dangling")));
    const QString directLink = m_dir->filePath(QStringLiteral("direct-link"));
    QVERIFY(QFile::link(outside, directLink));
    AddJob(APPWIPINGINFO::Folder, folder);
    AddJob(APPWIPINGINFO::File, directLink);
    MainWipeThread worker;
    worker.run();

    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(!QFileInfo(directLink).isSymLink());
    QFile kept(outside);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("precious"));
    QCOMPARE(QDir(outsideDir).entryList(QDir::Files), QStringList{QStringLiteral("precious.txt")});
    QCOMPARE(worker.JobResults(), QVector<bool>({true, true}));
    QVERIFY(ItemLines().filter(QStringLiteral("to-folder")).isEmpty()); // not one of the folder's files
}

void TestWipeWorker::awkwardNamesAreErasedAndRunNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("double quote") << "a\"b";
    QTest::newRow("command substitution") << "$(touch pwned)";
    QTest::newRow("backquotes") << "`touch pwned`";
    QTest::newRow("single quote and semicolon") << "it's; touch pwned";
    QTest::newRow("newline") << "two\nlines";
    QTest::newRow("backslash and dollar") << "a\\$HOME";
    QTest::newRow("non-Latin-1 letters") << QStringLiteral("файл-文件-ファイル");
}

void TestWipeWorker::awkwardNamesAreErasedAndRunNothing()
{
    QFETCH(QString, name);
    const QString file = Make(name, "secret");
    const QString folder = m_dir->filePath(name + QStringLiteral(".d"));
    const QString inner = Make(name + QStringLiteral(".d/") + name, "secret");
    QVERIFY(!file.isEmpty() && !inner.isEmpty());
    AddJob(APPWIPINGINFO::File, file);
    AddJob(APPWIPINGINFO::Folder, folder);
    MainWipeThread worker;
    worker.run();
    QVERIFY(!QFileInfo::exists(file));
    QVERIFY(!QFileInfo::exists(folder));
    QCOMPARE(worker.JobResults(), QVector<bool>({true, true}));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("pwned"))));
    QVERIFY(ItemLines()
                .join(QLatin1Char('\n'))
                .contains(Logged("File", "Erasure successful",
                                 QString(inner).replace(QLatin1Char('\n'), QStringLiteral("\\n")))));
}

void TestWipeWorker::nonUtf8NameInFolderIsOverwritten()
{
    const QString folder = m_dir->filePath(QStringLiteral("raw"));
    QVERIFY(QDir().mkdir(folder));
    const QByteArray raw = QFile::encodeName(folder) + "/bad\xff\xfe name";
    const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "0123456", 7), ssize_t(7));
    ::close(fd);
    QList<long long> lengths;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&lengths](long long, const unsigned char*, long long n) {
        lengths << n;
        return true;
    };
    PassEngineTesting::SetIoHooks(hooks);
    AddJob(APPWIPINGINFO::Folder, folder);
    MainWipeThread worker;
    worker.run();
    QCOMPARE(lengths, QList<long long>{7});
    const QStringList lines = ItemLines();
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).contains(QStringLiteral(" | Erasure successful ")));
    QCOMPARE(lines.at(1), Logged("Folder", "Erasure successful", folder));
}

void TestWipeWorker::growthIsOverwrittenOrFails_data()
{
    QTest::addColumn<int>("growths"); // writes during which another program appends
    QTest::addColumn<bool>("erased");
    QTest::newRow("grew once") << 1 << true;
    QTest::newRow("never stops growing") << 1000 << false;
}

void TestWipeWorker::growthIsOverwrittenOrFails()
{
    QFETCH(int, growths);
    QFETCH(bool, erased);
    const QString file = Make(QStringLiteral("growing"), QByteArray(100, 'g'));
    long long end = 0; // the furthest byte overwritten
    int left = growths;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&](long long offset, const unsigned char*, long long n) {
        end = qMax(end, offset + n);
        QFile grow(file);
        if (left-- > 0 && grow.open(QIODevice::Append))
            grow.write(QByteArray(5000, 'x'));
        return true;
    };
    PassEngineTesting::SetIoHooks(hooks);
    AddJob(APPWIPINGINFO::File, file);
    MainWipeThread worker;
    worker.run();
    QCOMPARE(ItemLines(), QStringList{Logged("File", erased ? "Erasure successful" : "Erasure failed", file)});
    if (erased)
        QCOMPARE(end, 5100LL);
}

void TestWipeWorker::folderKeepsWhatWasNotErased_data()
{
    QTest::addColumn<bool>("stopInLastFile"); // else the last file's overwrite fails
    QTest::newRow("stop during its last file") << true;
    QTest::newRow("a file that could not be overwritten") << false;
}

void TestWipeWorker::folderKeepsWhatWasNotErased()
{
    QFETCH(bool, stopInLastFile);
    const QString folder = m_dir->filePath(QStringLiteral("kept"));
    const QString first = Make(QStringLiteral("kept/sub/a-first"), "first");
    Make(QStringLiteral("kept/sub/b-last"), QByteArray(3 * 4096, 'l'));
    MainWipeThread worker;
    worker.SetChunkSizeForTests(4096);
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&](long long, const unsigned char*, long long n) {
        if (n != 4096)
            return true; // the first file
        if (stopInLastFile)
            worker.RequestStop();
        return stopInLastFile;
    };
    PassEngineTesting::SetIoHooks(hooks);
    AddJob(APPWIPINGINFO::Folder, folder);
    worker.run();
    QVERIFY(!QFileInfo::exists(first));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/sub")));
    QCOMPARE(ItemLines().filter(QStringLiteral("Folder Path: ")),
             QStringList{Logged("Folder", "Erasure failed", folder)});
    QCOMPARE(worker.JobResults(), QVector<bool>{false});
}

void TestWipeWorker::batchFaultStaysWithItsFile_data()
{
    QTest::addColumn<QString>("fault"); // what happens to the 20-byte file of the batch
    QTest::newRow("its write fails") << QStringLiteral("write");
    QTest::newRow("a stop during its write") << QStringLiteral("stop");
    QTest::newRow("replaced before its read-back") << QStringLiteral("replace");
}

void TestWipeWorker::batchFaultStaysWithItsFile()
{
    QFETCH(QString, fault);
    const QString folder = m_dir->filePath(QStringLiteral("batch"));
    const QString outside = Make(QStringLiteral("outside"), "not chosen");
    QStringList files;
    for (const char* name : {"a", "b", "c"}) {
        const int size = 10 * (name[0] - 'a' + 1);
        files << Make(QStringLiteral("batch/") + QLatin1String(name), QByteArray(size, name[0]));
    }
    const QString hit = files.at(1);
    MainWipeThread worker;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&](long long, const unsigned char*, long long n) {
        if (n == 20 && fault == QLatin1String("stop"))
            worker.RequestStop();
        return n != 20 || fault != QLatin1String("write");
    };
    hooks.onRead = [&](long long, unsigned char*, long long n) {
        if (n == 20 && fault == QLatin1String("replace"))
            ::rename(QFile::encodeName(outside).constData(), QFile::encodeName(hit).constData());
    };
    PassEngineTesting::SetIoHooks(hooks);
    AddJob(APPWIPINGINFO::Folder, folder);
    worker.run();

    const QStringList lines = ItemLines();
    QVERIFY(lines.contains(Logged("File", "Erasure failed", hit)));
    QVERIFY(lines.contains(Logged("Folder", "Erasure failed", folder)));
    for (const QString& file : files) {
        if (file == hit)
            continue;
        if (fault == QLatin1String("stop") && !lines.join(QLatin1Char('\n')).contains(file)) {
            // Not yet written when the stop came: left exactly as it was.
            QFile kept(file);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QVERIFY(kept.readAll().count(QFileInfo(file).fileName().at(0).toLatin1()) == kept.size());
            continue;
        }
        QVERIFY2(lines.contains(Logged("File", "Erasure successful", file)), qPrintable(file));
        QVERIFY(!QFileInfo::exists(file));
    }
    if (fault == QLatin1String("replace")) {
        QFile replacement(hit);
        QVERIFY(replacement.open(QIODevice::ReadOnly));
        QCOMPARE(replacement.readAll(), QByteArray("not chosen"));
    }
}

void TestWipeWorker::overlappedReadBackDecides_data()
{
    QTest::addColumn<bool>("medium"); // what the medium returns for the first chunk is right
    QTest::newRow("read back as written") << true;
    QTest::newRow("read back altered") << false;
}

void TestWipeWorker::overlappedReadBackDecides()
{
    // Two chunks, the first large enough for its read-back to run while the second is written.
    QFETCH(bool, medium);
    const long long chunk = 64LL << 20;
    const QString file = Make(QStringLiteral("large"), QByteArray(chunk + 4096, 'x'));
    PassEngineTesting::IoHooks hooks;
    hooks.onRead = [medium](long long offset, unsigned char* data, long long) {
        if (offset == 0 && !medium)
            data[0] ^= 1;
    };
    PassEngineTesting::SetIoHooks(hooks);
    AddJob(APPWIPINGINFO::File, file);
    MainWipeThread worker;
    worker.SetChunkSizeForTests(chunk);
    worker.run();
    QCOMPARE(ItemLines(), QStringList{Logged("File", medium ? "Erasure successful" : "Erasure failed", file)});
    QCOMPARE(worker.bytesDone, medium ? chunk + 4096 : 4096LL);
}

void TestWipeWorker::runsOnItsOwnThread()
{
    const QString file = Make(QStringLiteral("threaded"), QByteArray(10000, 't'));
    AddJob(APPWIPINGINFO::File, file, 16, 2);
    MainWipeThread worker;
    QSignalSpy start(&worker, &MainWipeThread::WipingStart);
    QSignalSpy status(&worker, &MainWipeThread::WipingStatus);
    QSignalSpy complete(&worker, &MainWipeThread::WipingComplete);
    worker.start();
    QVERIFY(complete.wait(10000));
    QVERIFY(worker.wait(10000));
    QCOMPARE(start.size(), 1);
    QCOMPARE(start.at(0).at(0).toString(), file);
    QCOMPARE(status.last().at(0).toLongLong(), 10000LL);
    QVERIFY(KorvaneApp::GetInstance()->erasureRunning); // the progress window clears it
    QVERIFY(!QFileInfo::exists(file));
}

QTEST_GUILESS_MAIN(TestWipeWorker)
#include "tst_wipeworker.moc"
