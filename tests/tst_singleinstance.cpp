// Starts real processes of the application (offscreen, fake system_profiler and diskutil on
// PATH, each in a temporary bundle) and checks that a second one refuses to run. The
// processes are ended with QProcess::kill, which reaches only the processes started here.
#include "FakeCommands.h"
#include "PlistFormat.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <vector>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void secondInstanceExitsWithOne();
    void agreementIsAskedBeforeStartUp();

private:
    QString MakeBundle(const QString& name);
    QProcess* Start(const QString& bundle, bool accepted = true, const QString& tmpdir = QString());
    static bool WaitForStartUp(const QString& bundle);

    std::unique_ptr<QTemporaryDir> root;
    std::unique_ptr<FakeCommands> fakes;
    std::vector<std::unique_ptr<QProcess>> started;
    QString instanceKey;
    int startCount = 0;
};

void TestSingleInstance::init()
{
    root.reset(new QTemporaryDir);
    // The guard is per user; a key of this test's own keeps it apart from other runs of the
    // same user on the machine.
    instanceKey = "test" + QString::number(QCoreApplication::applicationPid()) + '.' + QString::number(++startCount);
    QDir().mkpath(root->path() + "/home");
    fakes.reset(new FakeCommands);
    fakes->Add("system_profiler", "      Location: /Applications/Safari.app\n");
    // On Linux the installed-applications list comes from desktop entries.
    const QString entries = root->path() + "/home/.local/share/applications";
    QDir().mkpath(entries);
    WriteTestFile(entries + "/safari.desktop", "[Desktop Entry]\nType=Application\nName=Safari\nExec=/bin/sh\n");
    fakes->Add("diskutil", "");
    QSettings flag(root->path() + "/KVLicense.plist", PlistFormat());
    flag.setValue("KVF_AgreeMent", "1");
}

void TestSingleInstance::cleanup()
{
    for (auto& process : started) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(10000);
        }
    }
    started.clear();
    fakes.reset();
    root.reset();
}

QString TestSingleInstance::MakeBundle(const QString& name)
{
    const QString bundle = root->path() + '/' + name;
    QDir().mkpath(bundle + "/bin");
    QDir().mkpath(bundle + "/Resources");
    const QString copy = bundle + "/bin/korvane-file-eraser";
    if (!QFile::copy(QStringLiteral(KV_APP_EXECUTABLE), copy))
        return QString();
    QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return bundle;
}

QProcess* TestSingleInstance::Start(const QString& bundle, bool accepted, const QString& tmpdir)
{
    started.emplace_back(new QProcess);
    QProcess* process = started.back().get();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment(); // PATH holds the fakes
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", root->path() + "/home");
    env.insert("XDG_DATA_HOME", root->path() + "/home/.local/share");
    env.insert("XDG_DATA_DIRS", root->path() + "/home/no-system-entries");
    env.insert("KORVANE_INSTANCE_KEY", instanceKey);
    QDir().mkpath(root->path() + '/' + tmpdir);
    env.insert("TMPDIR", root->path() + '/' + tmpdir);
    env.insert("KORVANE_AGREEMENT_FILE", root->path() + (accepted ? "/KVLicense.plist" : "/none/KVLicense.plist"));
    env.insert("KORVANE_MESSAGEBOX_ANSWER", "0");
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(root->path());
    process->start(bundle + "/bin/korvane-file-eraser", QStringList());
    return process;
}

bool TestSingleInstance::WaitForStartUp(const QString& bundle)
{
    // The installed-applications list is written by the start-up task after the instance
    // guard has been passed.
    return QTest::qWaitFor([&] { return ReadTestFile(bundle + "/Resources/KVFInfo.txt").contains("Safari"); }, 30000);
}

void TestSingleInstance::secondInstanceExitsWithOne()
{
    const QString bundle = MakeBundle("first");
    QVERIFY(!bundle.isEmpty());
    QProcess* first = Start(bundle);
    QVERIFY(first->waitForStarted());
    QVERIFY2(WaitForStartUp(bundle), first->readAllStandardError().constData());

    // Another TMPDIR does not make another guard.
    const QString other = MakeBundle("second");
    QProcess* second = Start(other, true, "other-tmp");
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 1);
    QVERIFY(second->readAllStandardError().contains("Warning|Another instance is already running."));
    QVERIFY(!QFile::exists(other + "/Resources/KVFInfo.txt")); // it did not start up

    QCOMPARE(first->state(), QProcess::Running); // the running instance is not touched

    // One that was killed (no clean exit) holds nothing back.
    first->kill();
    QVERIFY(first->waitForFinished(10000));
    QProcess* third = Start(other);
    QVERIFY2(WaitForStartUp(other), third->readAllStandardError().constData());
    QCOMPARE(third->state(), QProcess::Running);
}

void TestSingleInstance::agreementIsAskedBeforeStartUp()
{
    const QString bundle = MakeBundle("first start");
    QProcess* first = Start(bundle, false);
    // The flag file is created empty, and the agreement dialog waits for an answer: the
    // start-up task has not run.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(root->path() + "/none/KVLicense.plist"), 30000);
    QTest::qWait(300);
    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(!QFile::exists(bundle + "/Resources/KVFInfo.txt"));
    QVERIFY(!QFile::exists(bundle + "/Resources/kvf_setting.plist"));

    QProcess* second = Start(MakeBundle("second"), false);
    QVERIFY(second->waitForFinished(30000));
    QCOMPARE(second->exitCode(), 1);
}

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
