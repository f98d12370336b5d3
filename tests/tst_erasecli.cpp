// korvane-erase in process: exit statuses, refused paths, dry runs, the log it writes, the
// help, and the commands beyond the engine (volume listing, traces, certificate).
#include "EraseCommandLine.h"
#include "FakeCommands.h"
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "PlistFormat.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

class TestEraseCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exitStatus_data();
    void exitStatus();
    void progressGoesToATerminal();
    void logAndCertificateRecordTheRun();

private:
    int Run(const QStringList& arguments);
    QString Make(const QString& name, const QByteArray& content = "data");

    QTemporaryDir* m_dir = nullptr;
    QScopedPointer<FakeCommands> m_fakes;
    QByteArray m_home;
    QString m_oldCurrent;
    QString m_out;
    QString m_err;
    QString m_bin;
};

void TestEraseCli::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    // The temporary folder plays the root: the real rules apply below it, outside is protected.
    KorvaneApp::SetProtectionRootForTests(QFileInfo(m_dir->path()).canonicalFilePath());
    // Relative paths (a name after "--") are taken from the working folder: the test's own.
    m_oldCurrent = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
    m_bin = m_dir->filePath(QStringLiteral("bundle/bin"));
    QDir().mkpath(m_bin);
    QDir().mkpath(m_dir->filePath(QStringLiteral("bundle/Resources")));
    QDir().mkpath(m_dir->filePath(QStringLiteral("home")));
    m_home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home"))));
    m_fakes.reset(new FakeCommands);
    m_fakes->Add("killall"); // property-list traces end a preferences service
    // Never the real free space of the build volume.
    FreeSpaceTesting::SetSource([](const QString&) { return 0LL; });
    KorvaneApp::ResetInstance();
}

void TestEraseCli::cleanup()
{
    KorvaneApp::SetProtectionRootForTests(QString());
    QDir::setCurrent(m_oldCurrent);
    FreeSpaceTesting::SetSource({});
    m_fakes.reset();
    qputenv("HOME", m_home);
    KorvaneApp::ResetInstance();
    delete m_dir;
}

int TestEraseCli::Run(const QStringList& arguments)
{
    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    KorvaneApp::ResetInstance();
    QStringList args;
    for (const QString& a : arguments)
        args << (a.startsWith(QLatin1Char('@')) ? m_dir->filePath(a.mid(1)) : a);
    return EraseCommandLine(&out, &err, false).Run(args, m_bin);
}

QString TestEraseCli::Make(const QString& name, const QByteArray& content)
{
    WriteTestFile(m_dir->filePath(name), content);
    return m_dir->filePath(name);
}

void TestEraseCli::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("remaining"); // of "f", "d/x" and a link to a file outside the root
    QTest::addColumn<QStringList>("messages");  // printed, "@/" the test's folder
    const QStringList both{"f", "d/x", "deep/er/link"};
    QTest::newRow("all erased") << QStringList{"-q", "@f", "@d"} << 0 << QStringList{"deep/er/link"}
                                << QStringList{"2 of 2 items erased"};
    QTest::newRow("one missing") << QStringList{"@f", "@missing"} << 1 << QStringList{"d/x", "deep/er/link"}
                                 << QStringList{"1 of 2 items erased"};
    QTest::newRow("algorithm out of range")
        << QStringList{"-a", "17", "@f"} << 2 << both << QStringList{"from 0 to 16"};
    QTest::newRow("verification not a number")
        << QStringList{"--verification=x", "@f"} << 2 << both << QStringList{"from 0 to 2"};
    QTest::newRow("unknown option") << QStringList{"--bogus", "@f"} << 2 << both
                                    << QStringList{"unknown option '--bogus'"};
    QTest::newRow("value missing") << QStringList{"@f", "-a"} << 2 << both << QStringList{"-a needs a value"};
    QTest::newRow("no path") << QStringList{"-q"} << 2 << both << QStringList{"no PATH given"};
    // Refused paths name nothing that exists, and the root is tried as a dry run: should a
    // refusal ever fail, the test still touches nothing outside its folder.
    QTest::newRow("protected path refused first")
        << QStringList{"@f", "/etc/kv-no-such-entry"} << 2 << both << QStringList{"protected location: /etc/kv-no"};
    QTest::newRow("link to a system folder refused")
        << QStringList{"@f", "@k/l/etc-link/kv-no-such-entry"} << 2 << both << QStringList{"protected location"};
    QTest::newRow("pipe refused unopened")
        << QStringList{"@f", "@pipe"} << 2 << both << QStringList{"refusing to erase a device, pipe or socket"};
    QTest::newRow("root refused") << QStringList{"--dry-run", "@d", "/"} << 2 << both
                                  << QStringList{"protected location: /"};
    // The settings file gives algorithm 4 and random verification.
    QTest::newRow("dry run") << QStringList{"--dry-run", "@f", "@d", "--free-space", "@d"} << 0 << both
                             << QStringList{"dry run, nothing erased", "algorithm: DoD 5200.22-M 3 Write Passes\n",
                                            "verification: Random verification\n"};
    QTest::newRow("a link given goes, not what it leads to")
        << QStringList{"-q", "@deep/er/link"} << 0 << QStringList{"f", "d/x"} << QStringList{"1 of 1 items erased"};
    QTest::newRow("after --, a dash name is a path")
        << QStringList{"--", "-a"} << 1 << both << QStringList{"0 of 1 items erased"};
    QTest::newRow("unknown trace id") << QStringList{"--trace", "999999"} << 2 << both
                                      << QStringList{"no trace group has the id 999999"};
    QTest::newRow("trace id not a number")
        << QStringList{"--trace", "Bash"} << 2 << both << QStringList{"--trace needs a node id"};
    QTest::newRow("trace as a dry run") << QStringList{"--dry-run", "--trace", "624000"} << 0 << both
                                        << QStringList{"file\t@/home/.bash_history"};
    QTest::newRow("free space needs a folder")
        << QStringList{"--free-space", "@nothing"} << 2 << both << QStringList{"needs an existing folder"};
    QTest::newRow("help") << QStringList{"--help"} << 0 << both
                          << QStringList{"--algorithm",       "--verification", "--free-space",
                                         "--then-free-space", "--discard",      "--log-dir",
                                         "--dry-run",         "--trace",        "--certificate",
                                         "--list-volumes",    "--list-traces",  "--list-algorithms",
                                         "--quiet",           "--help",         "  2  bad usage or a refused path"};
    QTest::newRow("algorithms") << QStringList{"--list-algorithms"} << 0 << both
                                << QStringList{" 0  Zeroes\t1 write pass\n",
                                               "\n10  Peter Gutmann (35 passes)\t35 write passes\n",
                                               "\n16  British HMG IS5 (3 passes)\t3 write passes\n"};
    // The root volume is mounted wherever the tests run.
    QTest::newRow("volumes") << QStringList{"--list-volumes"} << 0 << both << QStringList{"Mount point", " / "};
    QTest::newRow("traces") << QStringList{"--list-traces"} << 0 << both
                            << QStringList{"4  Application Traces", "\n  624000  Bash History  installed  1 path\n"};
}

void TestEraseCli::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, remaining);
    QFETCH(QStringList, messages);
    Make(QStringLiteral("f"));
    Make(QStringLiteral("d/x"));
    Make(QStringLiteral("home/.bash_history"), "ls ~/secret\n");
    // Deep enough that only where the link leads can make the path protected.
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("k/l"))) && QDir().mkpath(m_dir->filePath("deep/er")));
    QTemporaryDir outside;
    WriteTestFile(outside.filePath(QStringLiteral("kept")), "secret");
    QVERIFY(QFile::link(outside.filePath(QStringLiteral("kept")), m_dir->filePath(QStringLiteral("deep/er/link"))));
    QVERIFY(QFile::link(QStringLiteral("/etc"), m_dir->filePath(QStringLiteral("k/l/etc-link"))));
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir->filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    {
        QSettings settings(m_dir->filePath(QStringLiteral("bundle/Resources/kvf_setting.plist")), PlistFormat());
        settings.setValue(QStringLiteral("KVF_Algorithm"), QStringLiteral("4"));
        settings.setValue(QStringLiteral("KVF_Verification"), QStringLiteral("1"));
        settings.setValue(QStringLiteral("KVF_LogPath"), m_dir->filePath(QStringLiteral("bundle")));
    }
    QCOMPARE(Run(arguments), status);
    for (const QString& message : messages)
        QVERIFY2((m_out + m_err).contains(QString(message).replace("@/", m_dir->path() + "/")),
                 qPrintable(m_out + m_err));
    QStringList left;
    for (const QString& name : {QStringLiteral("f"), QStringLiteral("d/x"), QStringLiteral("deep/er/link")}) {
        if (QFileInfo(m_dir->filePath(name)).exists() || QFileInfo(m_dir->filePath(name)).isSymLink())
            left << name;
    }
    QCOMPARE(left, remaining);
    QFile kept(outside.filePath(QStringLiteral("kept")));
    QVERIFY(kept.open(QIODevice::ReadOnly) && kept.readAll() == "secret");
    QVERIFY(QFile::exists(m_dir->filePath(QStringLiteral("home/.bash_history"))));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("bundle/Resources/KVFInfo.txt")))); // nothing left behind
}

void TestEraseCli::progressGoesToATerminal()
{
    const QString file = Make(QStringLiteral("p"), QByteArray(5000, 'p'));
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    QCOMPARE(EraseCommandLine(&out, &err, true).Run({file}, m_bin), 0);
    QVERIFY(m_err.contains(QStringLiteral("100% ") + file));

    struct SwappingTerminal : QIODevice
    {
        QByteArray path, other;
        int seen = 0;
        qint64 readData(char*, qint64) override { return -1; }
        qint64 writeData(const char* data, qint64 size) override
        {
            if (QByteArray(data, int(size)).contains(path) && ++seen == 2)
                ::renameat2(AT_FDCWD, path.constData(), AT_FDCWD, other.constData(), RENAME_EXCHANGE);
            return size;
        }
    } terminal;
    terminal.path = QFile::encodeName(Make(QStringLiteral("s"), "chosen"));
    terminal.other = QFile::encodeName(Make(QStringLiteral("o"), "not chosen"));
    terminal.open(QIODevice::WriteOnly);
    QTextStream swapping(&terminal);
    KorvaneApp::ResetInstance();
    QCOMPARE(EraseCommandLine(&out, &swapping, true).Run({QFile::decodeName(terminal.path)}, m_bin), 1);
    QFile other(QFile::decodeName(terminal.path));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("not chosen"));
}

// One run with a log and a certificate: the log's blocks hold the options given and a line per
// item; the certificate counts the chosen and the erased files.
void TestEraseCli::logAndCertificateRecordTheRun()
{
    const QString single = Make(QStringLiteral("work/single.txt"), "secret");
    Make(QStringLiteral("work/folder/a.txt"));
    Make(QStringLiteral("work/folder/b.txt"));
    const QString certificates = m_dir->filePath(QStringLiteral("certificates"));
    QCOMPARE(Run({"-q", "-a", "10", "-m", "2", "--log-dir", "@logs", "--certificate", certificates, single,
                  m_dir->filePath("work/folder"), m_dir->filePath("work/missing.txt")}),
             1);
    const QStringList logs = QDir(m_dir->filePath(QStringLiteral("logs/KVLOGFILE"))).entryList(QDir::Files);
    QCOMPARE(logs.size(), 1);
    QFile log(m_dir->filePath(QStringLiteral("logs/KVLOGFILE/")) + logs.first());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    QVERIFY(lines.at(0).startsWith(QLatin1String("Korvane File Eraser start ")));
    QCOMPARE(lines.mid(3, 2), QStringList({"Algorithm used : Peter Gutmann 35 Write Passes ",
                                           "Verification used : Total verification"}));
    QVERIFY(lines.at(8).startsWith("File Path: " + single + " | Erasure successful "));
    QVERIFY(lines.at(12).startsWith("File Path: " + m_dir->filePath("work/missing.txt") + " | Either the file"));
    QVERIFY(lines.at(15).startsWith(QLatin1String("Erasure completed ")));
    QVERIFY(lines.at(18).startsWith(QLatin1String("Korvane File Eraser Ends ")));
    QVERIFY(m_out.contains(log.fileName()));

    const QStringList pdfs = QDir(certificates + "/KVCERTIFICATE").entryList({"*.pdf"}, QDir::Files);
    QCOMPARE(pdfs.size(), 1);
    QVERIFY(m_out.contains(QStringLiteral("certificate: ") + certificates + "/KVCERTIFICATE/" + pdfs.first()));
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QProcess text;
    text.start(QStringLiteral("pdftotext"),
               {QStringLiteral("-layout"), certificates + "/KVCERTIFICATE/" + pdfs.first(), QStringLiteral("-")});
    QVERIFY(text.waitForFinished(30000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput());
    // Two file jobs were chosen; the folder's two files and the single file were erased.
    QVERIFY2(pdf.contains(QRegularExpression(QStringLiteral("No. of Selected Files\\s+2\\n"))), qPrintable(pdf));
    QVERIFY(pdf.contains(QRegularExpression(QStringLiteral("Processed\\s+3\\n"))));
    QVERIFY(pdf.contains(QRegularExpression(QStringLiteral("Successful\\s+3\\n"))));
    QVERIFY(pdf.contains(QStringLiteral("Peter Gutmann")));
    QVERIFY(pdf.contains(QStringLiteral("single.txt | Erasure successful")));
    QVERIFY(pdf.contains(QStringLiteral("folder/b.txt | Erasure successful")));
}

QTEST_MAIN(TestEraseCli)
#include "tst_erasecli.moc"
