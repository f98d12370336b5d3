// korvane-erase's commands that reach beyond the engine: the volume listing, the traces
// tree with erasure of a trace group, and the certificate of a command-line run.
#include "EraseCommandLine.h"
#include "FakeCommands.h"
#include "FreeSpace.h"
#include "KorvaneApp.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliReports : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsVolumesOfThisMachine();
    void listsTracesAndErasesOneGroup();
    void unknownTraceIdIsRefused();
    void certificateRecordsEveryFile();

private:
    int Run(const QStringList& arguments);
    QString Make(const QString& name, const QByteArray& content = "secret");

    QScopedPointer<QTemporaryDir> m_dir;
    QScopedPointer<FakeCommands> m_fakes;
    QByteArray m_home;
    QString m_out;
    QString m_err;
    QString m_bin;
};

void TestCliReports::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
    // The temporary folder plays the root: the real rules apply below it, outside is protected.
    KorvaneApp::SetProtectionRootForTests(QFileInfo(m_dir->path()).canonicalFilePath());
    m_bin = m_dir->filePath(QStringLiteral("bundle/bin"));
    QDir().mkpath(m_bin);
    QDir().mkpath(m_dir->filePath(QStringLiteral("bundle/Resources")));
    QDir().mkpath(m_dir->filePath(QStringLiteral("home")));
    m_home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home"))));
    m_fakes.reset(new FakeCommands);
    m_fakes->Add("killall"); // property-list traces end a preferences service
    FreeSpaceTesting::SetSource([](const QString&) { return 0LL; });
}

void TestCliReports::cleanup()
{
    KorvaneApp::SetProtectionRootForTests(QString());
    FreeSpaceTesting::SetSource({});
    m_fakes.reset();
    qputenv("HOME", m_home);
    KorvaneApp::ResetInstance();
    m_dir.reset();
}

int TestCliReports::Run(const QStringList& arguments)
{
    m_out.clear();
    m_err.clear();
    QTextStream out(&m_out);
    QTextStream err(&m_err);
    KorvaneApp::ResetInstance();
    return EraseCommandLine(&out, &err, false).Run(arguments, m_bin);
}

QString TestCliReports::Make(const QString& name, const QByteArray& content)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
    return path;
}

void TestCliReports::listsVolumesOfThisMachine()
{
    QCOMPARE(Run({"--list-volumes"}), 0);
    // The root volume is mounted wherever the tests run; its row names its mount point.
    QVERIFY2(m_out.contains(QStringLiteral("Mount point")), qPrintable(m_out));
    QVERIFY(m_out.contains(QRegularExpression(QStringLiteral("\\s/\\s"))));
}

void TestCliReports::listsTracesAndErasesOneGroup()
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

void TestCliReports::unknownTraceIdIsRefused()
{
    QCOMPARE(Run({"--trace", "999999"}), 2);
    QVERIFY(m_err.contains(QStringLiteral("no trace group has the id 999999")));
    QCOMPARE(Run({"--trace", "Bash"}), 2);
}

void TestCliReports::certificateRecordsEveryFile()
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString single = Make(QStringLiteral("work/single.txt"));
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

QTEST_MAIN(TestCliReports)
#include "tst_clireports.moc"
