#include "EraserCopy.h"
#include "ErasureLog.h"
#include "KorvaneApp.h"
#include "TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace ErasureLog;

class TestErasureLog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void wholeLogMatchesExample();
    void itemLines_data();
    void itemLines();
    void logFolderChanges();
    void commandWritesItsLog_data();
    void commandWritesItsLog();

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
    KorvaneApp::SetLogFailureNotifier({});
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

void TestErasureLog::wholeLogMatchesExample()
{
    KorvaneApp::SetClockForTests(QDateTime(QDate(2026, 12, 5), QTime(9, 5, 7)));
    app->GetKVFInfo(); // names the log file and writes its start block
    QCOMPARE(app->logFileStamp, QStringLiteral("05_12_2026_09_05_07"));
    const QDateTime start(QDate(2026, 12, 5), QTime(14, 56, 24));
    const QDateTime done(QDate(2026, 12, 5), QTime(14, 56, 25));
    const QDateTime end(QDate(2026, 12, 5), QTime(18, 0, 0));
    app->CreateLogLines(RunHeader("Zeroes 1 Write Pass ", "No verification", start));
    app->CreateLogFile(ItemLine(ItemKind::File, Outcome::Successful, "/Users/Shared/a.txt", done));
    app->CreateLogLines(RunFooter(done));
    app->CreateLogLines(AbortLine(end).split('\n'));
    app->CreateLogLines(EndBlock(end));

    const QStringList expected{
        "Korvane File Eraser start 05/12/2026|09:05:07",
        QString(68, '-'),
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
        "Erasure aborted by user at  05/12/2026|18:00:00 ",
        "",
        "Korvane File Eraser Ends 05/12/2026|18:00:00",
        QString(68, '-'),
    };
    QCOMPARE(ReadLog(), expected);
}

void TestErasureLog::itemLines_data()
{
    // Each line is written to the log and read back: names can add no line of their own.
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    const QString s = " 01/02/2026|03:04:05 ";
    auto row = [&](const char* title, ItemKind k, Outcome o, const QString& line, const QString& name = "/p") {
        QTest::newRow(title) << int(k) << int(o) << name << line;
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
    const QString ok = " | Erasure successful" + s;
    const ItemKind file = ItemKind::File;
    const Outcome done = Outcome::Successful;
    row("ordinary name", file, done, "File Path: /a b/ü 日本/c\\d.txt" + ok, "/a b/ü 日本/c\\d.txt");
    row("forged line", file, done, "File Path: /x\\nFile Path: /etc | Erasure successful" + ok,
        "/x\nFile Path: /etc | Erasure successful");
    row("tab, return, C0, DEL", file, done, "File Path: /a\\tb\\rc\\x01d\\x7f" + ok,
        "/a\tb\rc\x01"
        "d\x7f");
    row("C1 and line separator", file, done, "File Path: /a\\u0085b\\u2028" + ok,
        QString("/a") + QChar(0x85) + "b" + QChar(0x2028));
    row("backslash before an escape letter", file, done, "File Path: /a\\\\nb\\\\\\" + ok, "/a\\nb\\\\");
    row("backslash before a control", file, done, "File Path: /a\\\\\\n" + ok, "/a\\\n");
}

void TestErasureLog::itemLines()
{
    QFETCH(int, kind);
    QFETCH(int, outcome);
    QFETCH(QString, name);
    QFETCH(QString, line);
    const QDateTime when(QDate(2026, 2, 1), QTime(3, 4, 5));
    app->CreateLogFile(ItemLine(ItemKind(kind), Outcome(outcome), name, when));
    QCOMPARE(ReadLog(), QStringList{line});
}

void TestErasureLog::logFolderChanges()
{
    QVERIFY(app->CreateLogFile("first"));
    // A folder that is gone: nothing is written, and that is told once.
    QStringList told;
    KorvaneApp::SetLogFailureNotifier([&told](const QString& message) { told << message; });
    app->logPath = dir->path() + "/gone";
    QVERIFY(!app->CreateLogFile("lost"));
    QVERIFY(!app->CreateLogFile("lost too"));
    QVERIFY(!QFile::exists(app->logPath));
    QCOMPARE(told.size(), 1);
    QVERIFY(told.first().contains(app->LogFilePath()));
    QCOMPARE(app->LogFailure(), told.first());
    // Another folder chosen in the settings: the lines go on there under the same file name.
    const QString other = dir->path() + "/elsewhere";
    QDir().mkpath(other);
    app->logPath = other;
    app->InitSettings(true);
    QVERIFY(app->CreateLogFile("second"));
    QCOMPARE(ReadLog(), QStringList{"second"});
    app->logPath = dir->path();
    QCOMPARE(ReadLog(), QStringList{"first"});
}

void TestErasureLog::commandWritesItsLog_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("logWritable");
    QTest::newRow("German") << "de_DE.UTF-8" << true;
    QTest::newRow("Arabic (Egypt)") << "ar_EG.UTF-8" << true;
    // The log folder lies below a plain file: no line can be written, the erasure still runs.
    QTest::newRow("log folder below a file") << "C.UTF-8" << false;
}

void TestErasureLog::commandWritesItsLog()
{
    // The system locale is read once per process: korvane-erase runs under each one.
    QFETCH(QString, locale);
    QFETCH(bool, logWritable);
    QTemporaryDir work(ErasableFolderTemplate());
    QFile chosen(WriteTestFile(work.filePath("chosen"), "x"));
    QVERIFY(!WriteTestFile(work.filePath("file")).isEmpty());
    QProcess eraser;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", locale);
    env.insert("LANG", locale);
    eraser.setProcessEnvironment(env);
    const QString logFolder = logWritable ? work.path() : work.filePath("file/logs");
    eraser.start(EraserCopy::Shared(), {"-q", "--log-dir", logFolder, "--certificate", work.path(), chosen.fileName()});
    QVERIFY(eraser.waitForFinished(60000));
    QVERIFY(!chosen.exists());
    if (!logWritable) {
        QCOMPARE(eraser.exitCode(), 1);
        const QString out = QString::fromUtf8(eraser.readAllStandardOutput());
        const QString err = QString::fromUtf8(eraser.readAllStandardError());
        QVERIFY2(out.contains("1 of 1 items erased") && out.contains("; no log") && !out.contains("log: "),
                 qPrintable(out));
        QVERIFY2(err.count("cannot be written") == 1, qPrintable(err));
        return;
    }
    QCOMPARE(eraser.exitCode(), 0);

    const QStringList logs = QDir(work.filePath("KVLOGFILE")).entryList(QDir::Files);
    QCOMPARE(logs.size(), 1);
    QVERIFY2(QRegularExpression("^\\d\\d_\\d\\d_\\d{4}_\\d\\d_\\d\\d_\\d\\d\\.log$").match(logs.first()).hasMatch(),
             qPrintable(logs.first()));
    const QString text = QString::fromUtf8(ReadTestFile(work.filePath("KVLOGFILE/" + logs.first())));
    QVERIFY(text.startsWith("Korvane File Eraser start "));
    const QRegularExpression stamp("\\d\\d/\\d\\d/\\d{4}\\|\\d\\d:\\d\\d:\\d\\d");
    QCOMPARE(text.count(stamp), 5); // start, run start, item, run end, end
    for (const QChar c : text)
        QVERIFY2(c.unicode() < 0x80, qPrintable(text));

    const QStringList certificates = QDir(work.filePath("KVCERTIFICATE")).entryList(QDir::Files);
    QCOMPARE(certificates.size(), 1);
    const QRegularExpression name("^(Monday|Tuesday|Wednesday|Thursday|Friday|Saturday|Sunday), "
                                  "(January|February|March|April|May|June|July|August|September|October|November|"
                                  "December) \\d\\d, \\d{4} at \\d\\d_\\d\\d_\\d\\d (AM|PM)\\.pdf$");
    QVERIFY2(name.match(certificates.first()).hasMatch(), qPrintable(certificates.first()));
}

QTEST_GUILESS_MAIN(TestErasureLog)
#include "tst_erasurelog.moc"
