#include "ErasureLog.h"
#include "KorvaneApp.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace ErasureLog;

class TestErasureLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runOverOneFileMatchesExample();
    void itemLines_data();
    void itemLines();
    void startAndEndBlocks();
    void missingFolderLosesLineSilently();
    void changedLogFolderKeepsFileName();

private:
    QStringList ReadLog() const;
    QScopedPointer<QTemporaryDir> dir;
    KorvaneApp* app = nullptr;
};

void TestErasureLog::init()
{
    KorvaneApp::ResetInstance();
    app = KorvaneApp::GetInstance();
    dir.reset(new QTemporaryDir);
    QDir().mkpath(dir->path() + "/bin");
    app->SetFolders(dir->path() + "/bin");
    QDir().mkpath(app->resourcePath);
    app->InitSettings(false);
    app->logFileStamp = "05_12_2026_14_56_24";
}

void TestErasureLog::cleanup()
{
    KorvaneApp::SetClockForTests(QDateTime());
}

QStringList TestErasureLog::ReadLog() const
{
    QFile file(app->logPath + "/KVLOGFILE/" + app->logFileStamp + ".log");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (!text.endsWith('\n'))
        return {"<no final line feed>"};
    text.chop(1);
    return text.split('\n');
}

void TestErasureLog::runOverOneFileMatchesExample()
{
    const QDateTime start(QDate(2026, 12, 5), QTime(14, 56, 24));
    const QDateTime done(QDate(2026, 12, 5), QTime(14, 56, 25));
    app->CreateLogLines(RunHeader("Zeroes 1 Write Pass ", "No verification", start));
    app->CreateLogFile(ItemLine(ItemKind::File, Outcome::Successful, "/Users/Shared/a.txt", done));
    app->CreateLogLines(RunFooter(done));

    const QStringList expected{
        "",
        "Algorithm used : Zeroes 1 Write Pass ",
        "Verification used : No verification",
        "Erasure started at  05/12/2026|14:56:24 ",
        QString(61, '_'),
        "",
        "File Path: /Users/Shared/a.txt | Erasure successful 05/12/2026|14:56:25 ",
        "",
        QString(61, '_'),
        "Erasure completed  05/12/2026|14:56:25 ",
        "",
    };
    QCOMPARE(ReadLog(), expected);
}

void TestErasureLog::itemLines_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("line");
    const QString s = " 01/02/2026|03:04:05 ";
    auto row = [&](const char* name, ItemKind k, Outcome o, const QString& line) {
        QTest::newRow(name) << int(k) << int(o) << line;
    };
    row("file ok", ItemKind::File, Outcome::Successful, "File Path: /p | Erasure successful" + s);
    row("file failed", ItemKind::File, Outcome::Failed, "File Path: /p | Erasure failed" + s);
    row("file denied", ItemKind::File, Outcome::AccessDenied, "File Path: /p | Access denied" + s);
    row("file missing", ItemKind::File, Outcome::Missing,
        "File Path: /p | Either the file doesn't exist or it is in use" + s);
    row("folder ok", ItemKind::Folder, Outcome::Successful, "Folder Path: /p | Erasure successful" + s);
    row("folder failed", ItemKind::Folder, Outcome::Failed, "Folder Path: /p | Erasure failed" + s);
    row("folder missing", ItemKind::Folder, Outcome::Missing,
        "Folder Path: /p | Either the folder doesn't exist or it is in use." + s);
    row("plist ok", ItemKind::Plist, Outcome::Successful, "Plist Path: /p | Erasure successful" + s);
    row("plist failed", ItemKind::Plist, Outcome::Failed, "Plist Path: /p | Erasure failed" + s);
    row("plist missing", ItemKind::Plist, Outcome::Missing,
        "Plist Path: /p | Either the plist file doesn't exist or it is in use." + s);
}

void TestErasureLog::itemLines()
{
    QFETCH(int, kind);
    QFETCH(int, outcome);
    const QDateTime when(QDate(2026, 2, 1), QTime(3, 4, 5));
    QTEST(ItemLine(ItemKind(kind), Outcome(outcome), "/p", when), "line");
}

void TestErasureLog::startAndEndBlocks()
{
    KorvaneApp::SetClockForTests(QDateTime(QDate(2026, 12, 5), QTime(9, 5, 7)));
    app->GetKVFInfo();
    QCOMPARE(app->logFileStamp, QStringLiteral("05_12_2026_09_05_07"));
    const QDateTime end(QDate(2026, 12, 5), QTime(18, 0, 0));
    app->CreateLogLines(AbortLine(end).split('\n'));
    app->CreateLogLines(EndBlock(end));
    const QStringList expected{
        "Korvane File Eraser start 05/12/2026|09:05:07",    QString(68, '-'),
        "Erasure aborted by user at  05/12/2026|18:00:00 ", "",
        "Korvane File Eraser Ends 05/12/2026|18:00:00",     QString(68, '-'),
    };
    QCOMPARE(ReadLog(), expected);
}

void TestErasureLog::missingFolderLosesLineSilently()
{
    app->logPath = dir->path() + "/gone";
    QVERIFY(app->CreateLogFile("lost"));
    QVERIFY(!QFile::exists(app->logPath));
    app->logPath = dir->path();
    QVERIFY(app->CreateLogFile("kept"));
    QCOMPARE(ReadLog(), QStringList{"kept"});
}

void TestErasureLog::changedLogFolderKeepsFileName()
{
    app->CreateLogFile("first");
    const QString other = dir->path() + "/elsewhere";
    QDir().mkpath(other);
    app->logPath = other;
    app->InitSettings(true);
    app->CreateLogFile("second");
    QCOMPARE(ReadLog(), QStringList{"second"});
    QVERIFY(QFile::exists(dir->path() + "/KVLOGFILE/05_12_2026_14_56_24.log"));
}

QTEST_GUILESS_MAIN(TestErasureLog)
#include "tst_erasurelog.moc"
