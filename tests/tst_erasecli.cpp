// korvane-erase in process: exit statuses, refused paths, dry runs, the log it writes, the
// help, and the commands beyond the engine (volume listing, traces, certificate).
#include "EraseCommandLine.h"
#include "FakeCommands.h"
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "PlistFormat.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestEraseCli : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exitStatus_data();
    void exitStatus();
    void logHoldsStartRunAndEndBlocks();
    void settingsGiveTheDefaults();
    void freeSpaceLeavesNoFillerFolder();
    void progressGoesToATerminal();
    void linkGivenIsRemovedNotFollowed();
    void helpListsEveryOption();
    void listAlgorithms();
    void listsVolumesOfThisMachine();
    void listsTracesAndErasesOneGroup();
    void certificateRecordsEveryFile();

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
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

void TestEraseCli::exitStatus_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("remaining"); // of "f", "d/x"
    QTest::addColumn<QString>("message");
    QTest::newRow("all erased") << QStringList{"-q", "@f", "@d"} << 0 << QStringList() << "2 of 2 items erased";
    QTest::newRow("one missing") << QStringList{"@f", "@missing"} << 1 << QStringList{"d/x"} << "1 of 2 items erased";
    QTest::newRow("algorithm out of range")
        << QStringList{"-a", "17", "@f"} << 2 << QStringList{"f", "d/x"} << "from 0 to 16";
    QTest::newRow("verification not a number")
        << QStringList{"--verification=x", "@f"} << 2 << QStringList{"f", "d/x"} << "from 0 to 2";
    QTest::newRow("unknown option") << QStringList{"--bogus", "@f"} << 2 << QStringList{"f", "d/x"}
                                    << "unknown option '--bogus'";
    QTest::newRow("value missing") << QStringList{"@f", "-a"} << 2 << QStringList{"f", "d/x"} << "-a needs a value";
    QTest::newRow("no path") << QStringList{"-q"} << 2 << QStringList{"f", "d/x"} << "no PATH given";
    // Refused paths name nothing that exists, and the root is tried as a dry run: should a
    // refusal ever fail, the test still touches nothing outside its folder.
    QTest::newRow("protected path refused first") << QStringList{"@f", "/etc/kv-no-such-entry"} << 2
                                                  << QStringList{"f", "d/x"} << "protected location: /etc/kv-no";
    QTest::newRow("link to a system folder refused")
        << QStringList{"@f", "@k/l/etc-link/kv-no-such-entry"} << 2 << QStringList{"f", "d/x"} << "protected location";
    QTest::newRow("pipe refused unopened")
        << QStringList{"@f", "@pipe"} << 2 << QStringList{"f", "d/x"} << "refusing to erase a device, pipe or socket";
    QTest::newRow("root refused") << QStringList{"--dry-run", "@d", "/"} << 2 << QStringList{"f", "d/x"}
                                  << "protected location: /";
    QTest::newRow("dry run") << QStringList{"--dry-run", "@f", "@d", "--free-space", "@d"} << 0
                             << QStringList{"f", "d/x"} << "dry run, nothing erased";
    QTest::newRow("after --, a dash name is a path")
        << QStringList{"--", "-a"} << 1 << QStringList{"f", "d/x"} << "0 of 1 items erased";
    QTest::newRow("unknown trace id") << QStringList{"--trace", "999999"} << 2 << QStringList{"f", "d/x"}
                                      << "no trace group has the id 999999";
    QTest::newRow("trace id not a number")
        << QStringList{"--trace", "Bash"} << 2 << QStringList{"f", "d/x"} << "--trace needs a node id";
    QTest::newRow("free space needs a folder")
        << QStringList{"--free-space", "@nothing"} << 2 << QStringList{"f", "d/x"} << "needs an existing folder";
}

void TestEraseCli::exitStatus()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QStringList, remaining);
    QFETCH(QString, message);
    Make(QStringLiteral("f"));
    Make(QStringLiteral("d/x"));
    // Deep enough that only where the link leads can make the path protected.
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("k/l"))));
    QVERIFY(QFile::link(QStringLiteral("/etc"), m_dir->filePath(QStringLiteral("k/l/etc-link"))));
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir->filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    QCOMPARE(Run(arguments), status);
    QVERIFY2((m_out + m_err).contains(message), qPrintable(m_out + m_err));
    QStringList left;
    for (const QString& name : {QStringLiteral("f"), QStringLiteral("d/x")}) {
        if (QFileInfo::exists(m_dir->filePath(name)))
            left << name;
    }
    QCOMPARE(left, remaining);
}

void TestEraseCli::logHoldsStartRunAndEndBlocks()
{
    const QString file = Make(QStringLiteral("a.txt"));
    QCOMPARE(Run({"-q", "-a", "10", "-m", "2", "--log-dir", "@logs", "@a.txt"}), 0);
    const QStringList logs = QDir(m_dir->filePath(QStringLiteral("logs/KVLOGFILE"))).entryList(QDir::Files);
    QCOMPARE(logs.size(), 1);
    QFile log(m_dir->filePath(QStringLiteral("logs/KVLOGFILE/")) + logs.first());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
    QVERIFY(lines.at(0).startsWith(QLatin1String("Korvane File Eraser start ")));
    QCOMPARE(lines.at(3), QStringLiteral("Algorithm used : Peter Gutmann 35 Write Passes "));
    QCOMPARE(lines.at(4), QStringLiteral("Verification used : Total verification"));
    QVERIFY(lines.at(8).startsWith(QStringLiteral("File Path: ") + file + QStringLiteral(" | Erasure successful ")));
    QVERIFY(lines.at(11).startsWith(QLatin1String("Erasure completed ")));
    QVERIFY(lines.at(14).startsWith(QLatin1String("Korvane File Eraser Ends ")));
    QVERIFY(m_out.contains(log.fileName()));
}

void TestEraseCli::settingsGiveTheDefaults()
{
    {
        QSettings settings(m_dir->filePath(QStringLiteral("bundle/Resources/kvf_setting.plist")), PlistFormat());
        settings.setValue(QStringLiteral("KVF_Algorithm"), QStringLiteral("4"));
        settings.setValue(QStringLiteral("KVF_Verification"), QStringLiteral("1"));
        settings.setValue(QStringLiteral("KVF_LogPath"), m_dir->filePath(QStringLiteral("bundle")));
    }
    Make(QStringLiteral("f"));
    QCOMPARE(Run({"--dry-run", "@f"}), 0);
    QVERIFY(m_out.contains(QLatin1String("algorithm: DoD 5200.22-M 3 Write Passes\n")));
    QVERIFY(m_out.contains(QLatin1String("verification: Random verification\n")));
}

void TestEraseCli::freeSpaceLeavesNoFillerFolder()
{
    int asked = 0;
    FreeSpaceTesting::SetSource([&asked](const QString&) { return ++asked == 1 ? 100000LL : 0LL; });
    QDir().mkpath(m_dir->filePath(QStringLiteral("vol")));
    QCOMPARE(Run({"-q", "--free-space", "@vol"}), 0);
    QCOMPARE(asked, 2); // the job's size, then once after the filler file
    QCOMPARE(QDir(m_dir->filePath(QStringLiteral("vol"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
    QVERIFY(m_out.contains(QLatin1String("1 of 1 items erased")));
}

void TestEraseCli::progressGoesToATerminal()
{
    const QString file = Make(QStringLiteral("p"), QByteArray(5000, 'p'));
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    QCOMPARE(EraseCommandLine(&out, &err, true).Run({file}, m_bin), 0);
    QVERIFY(m_err.contains(QStringLiteral("100% ") + file));
}

// A link given by name goes itself; what it points to (here outside the erasable root) stays.
void TestEraseCli::linkGivenIsRemovedNotFollowed()
{
    QTemporaryDir outside;
    const QString target = outside.filePath(QStringLiteral("kept"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("secret") == 6);
    file.close();
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("deep/er"))));
    const QString link = m_dir->filePath(QStringLiteral("deep/er/link"));
    QVERIFY(QFile::link(target, link));
    QCOMPARE(Run({"-q", link}), 0);
    QVERIFY(!QFileInfo(link).isSymLink());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("secret"));
    QCOMPARE(QFileInfo(target).size(), 6);
}

void TestEraseCli::helpListsEveryOption()
{
    QCOMPARE(Run({"--help"}), 0);
    for (const char* option :
         {"--algorithm", "--verification", "--free-space", "--then-free-space", "--discard", "--log-dir", "--dry-run",
          "--trace", "--certificate", "--list-volumes", "--list-traces", "--list-algorithms", "--quiet", "--help"})
        QVERIFY2(m_out.contains(QLatin1String(option)), option);
    QVERIFY(m_out.contains(QLatin1String("  2  bad usage or a refused path")));
}

void TestEraseCli::listAlgorithms()
{
    QCOMPARE(Run({"--list-algorithms"}), 0);
    const QStringList lines = m_out.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines.at(10), QStringLiteral("10  Peter Gutmann (35 passes)\t35 write passes"));
}

void TestEraseCli::listsVolumesOfThisMachine()
{
    QCOMPARE(Run({"--list-volumes"}), 0);
    // The root volume is mounted wherever the tests run; its row names its mount point.
    QVERIFY2(m_out.contains(QStringLiteral("Mount point")), qPrintable(m_out));
    QVERIFY(m_out.contains(QRegularExpression(QStringLiteral("\\s/\\s"))));
}

void TestEraseCli::listsTracesAndErasesOneGroup()
{
    const QString history = Make(QStringLiteral("home/.bash_history"), "ls ~/secret\n");
    const QString keep = Make(QStringLiteral("home/notes.txt"), "keep me");

    QCOMPARE(Run({"--list-traces"}), 0);
    QVERIFY(m_out.contains(QStringLiteral("\n  624000  Bash History  installed  1 path\n")));
    QVERIFY(m_out.startsWith(QStringLiteral("4  Application Traces")));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("bundle/Resources/KVFInfo.txt"))));

    QCOMPARE(Run({"--dry-run", "--trace", "624000"}), 0);
    QVERIFY2(m_out.contains(QStringLiteral("file\t") + history), qPrintable(m_out));
    QVERIFY(QFile::exists(history));

    QCOMPARE(Run({"-q", "--trace", "624000"}), 0);
    QVERIFY(!QFile::exists(history));
    QVERIFY(QFile::exists(keep));
    QVERIFY(m_out.contains(QStringLiteral("1 of 1 items erased")));
}

void TestEraseCli::certificateRecordsEveryFile()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString single = Make(QStringLiteral("work/single.txt"), "secret");
    Make(QStringLiteral("work/folder/a.txt"));
    Make(QStringLiteral("work/folder/b.txt"));
    const QString certificates = m_dir->filePath(QStringLiteral("certificates"));

    QCOMPARE(Run({"-q", "-a", "10", "--certificate", certificates, single, m_dir->filePath("work/folder"),
                  m_dir->filePath("work/missing.txt")}),
             1);
    const QStringList pdfs = QDir(certificates + "/KVCERTIFICATE").entryList({"*.pdf"}, QDir::Files);
    QCOMPARE(pdfs.size(), 1);
    QVERIFY(m_out.contains(QStringLiteral("certificate: ") + certificates + "/KVCERTIFICATE/" + pdfs.first()));

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
