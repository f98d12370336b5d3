// Installs the programs into a temporary prefix as root, exactly as the README says, and runs
// them as an ordinary user (nobody, through setpriv): the user's files go to the user's XDG
// folders and nothing into the installation, settings survive a restart, the instance guard
// is per user, and a set-user-id or set-group-id copy refuses to run. Needs root.
#include "LoopImage.h"
#include "PlistFormat.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QSettings>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
const uid_t kUser = 65534; // nobody
const gid_t kGroup = 65534;
} // namespace

class TestInstallation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void desktopEntryValidates();
    void userFilesGoToUserFolders();
    void instanceGuardIsPerUser();
    void setIdCopiesRefuseToRun_data();
    void setIdCopiesRefuseToRun();

private:
    QProcess* Start(const QString& program, const QStringList& arguments, bool asUser = true);
    QString UserPath(const QString& relative) const { return root->path() + "/user/" + relative; }
    QString Bundle() const { return root->path() + "/prefix/lib/korvane-file-eraser"; }
    QStringList BundleFiles() const;
    static QString LogText(const QString& folder);
    static bool WaitForFile(const QString& path, QProcess* process);

    std::unique_ptr<QTemporaryDir> root;
    std::vector<std::unique_ptr<QProcess>> started;
    QStringList installedFiles;
    bool sharedDownloadFolderExisted = true;
};

void TestInstallation::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("installing system-wide and running as another user need root");
    if (QStandardPaths::findExecutable("setpriv").isEmpty())
        QSKIP("setpriv (util-linux) is missing");
    sharedDownloadFolderExisted = QFileInfo::exists(QStringLiteral("/var/tmp/Quillon"));
    root.reset(new QTemporaryDir);
    QVERIFY(root->isValid());
    QFile::setPermissions(root->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther |
                                            QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup);
    // Installing writes its manifest and the desktop entry into the build folder: what was not
    // there before goes again, so that the build tree stays as it was.
    QStringList made;
    for (const char* name : {"/install_manifest.txt", "/korvane-file-eraser.desktop"}) {
        if (!QFile::exists(QStringLiteral(KV_BINARY_DIR) + name))
            made << QStringLiteral(KV_BINARY_DIR) + name;
    }
    QString output;
    const bool installed =
        RunTool(QStringLiteral(KV_CMAKE_COMMAND),
                {"--install", QStringLiteral(KV_BINARY_DIR), "--prefix", root->path() + "/prefix"}, &output);
    for (const QString& file : made)
        QFile::remove(file);
    QVERIFY2(installed, qPrintable(output));
    // The start-up update check must not leave the machine: a closed loopback port.
    QSettings info(Bundle() + "/Info.plist", PlistFormat());
    info.setValue("UpdateLink", "http://127.0.0.1:9/");
    info.sync();
    installedFiles = BundleFiles();
    QDirIterator it(root->path() + "/prefix", QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        struct stat st;
        QVERIFY(lstat(QFile::encodeName(it.next()).constData(), &st) == 0);
        QVERIFY2((st.st_mode & (S_ISUID | S_ISGID)) == 0, qPrintable(it.filePath())); // no such bit is installed
        QVERIFY2((st.st_mode & S_IWOTH) == 0 || S_ISLNK(st.st_mode), qPrintable(it.filePath()));
    }
    QVERIFY(installedFiles.contains("bin/korvane-erase"));
    QVERIFY(QFileInfo(root->path() + "/prefix/bin/korvane-erase").isExecutable());
    QVERIFY(QFile::exists(root->path() + "/prefix/share/man/man1/korvane-erase.1"));

    // The user's own folder, and the agreement already given.
    QDir().mkpath(UserPath("home"));
    QSettings flag(UserPath("KVLicense.plist"), PlistFormat());
    flag.setValue("KVF_AgreeMent", "1");
    flag.sync();
    QVERIFY(RunTool("chown", {"-R", "nobody:", UserPath("")}));
}

void TestInstallation::cleanupTestCase()
{
    for (auto& process : started) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(10000);
        }
    }
    started.clear();
    root.reset();
    // The installed application's start-up update check makes the shared download folder for
    // the user it runs as; one made by this test's user is taken away again.
    struct stat st;
    if (!sharedDownloadFolderExisted && ::lstat("/var/tmp/Quillon", &st) == 0 && S_ISDIR(st.st_mode) &&
        st.st_uid == kUser)
        QDir(QStringLiteral("/var/tmp/Quillon")).removeRecursively();
}

QStringList TestInstallation::BundleFiles() const
{
    QStringList files;
    QDirIterator it(Bundle(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next().mid(Bundle().size() + 1);
    files.sort();
    return files;
}

QProcess* TestInstallation::Start(const QString& program, const QStringList& arguments, bool asUser)
{
    started.emplace_back(new QProcess);
    QProcess* process = started.back().get();
    QProcessEnvironment env;
    env.insert("PATH", "/usr/bin:/bin");
    env.insert("LANG", "C.UTF-8");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("KORVANE_INSTANCE_KEY", "install" + QString::number(QCoreApplication::applicationPid()));
    env.insert("KORVANE_AGREEMENT_FILE", UserPath("KVLicense.plist"));
    env.insert("KORVANE_MESSAGEBOX_ANSWER", "0");
    if (asUser) {
        env.insert("HOME", UserPath("home"));
        env.insert("XDG_CONFIG_HOME", UserPath("config"));
        env.insert("XDG_STATE_HOME", UserPath("state"));
        env.insert("XDG_DATA_HOME", UserPath("data"));
        env.insert("XDG_CACHE_HOME", UserPath("cache"));
    } else {
        env.insert("HOME", root->path() + "/roothome");
    }
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(asUser ? UserPath("home") : root->path());
    if (asUser)
        process->start("setpriv", QStringList{"--reuid=" + QString::number(kUser), "--regid=" + QString::number(kGroup),
                                              "--clear-groups", "--", program} +
                                      arguments);
    else
        process->start(program, arguments);
    return process;
}

QString TestInstallation::LogText(const QString& folder)
{
    QString text;
    for (const QFileInfo& log : QDir(folder).entryInfoList({"*.log"}, QDir::Files, QDir::Name))
        text += QString::fromUtf8(ReadTestFile(log.filePath()));
    return text;
}

bool TestInstallation::WaitForFile(const QString& path, QProcess* process)
{
    return QTest::qWaitFor([&] { return QFileInfo(path).size() > 0 || process->state() == QProcess::NotRunning; },
                           30000) &&
           QFileInfo(path).size() > 0;
}

void TestInstallation::desktopEntryValidates()
{
    if (QStandardPaths::findExecutable("desktop-file-validate").isEmpty())
        QSKIP("desktop-file-validate (desktop-file-utils) is missing");
    const QString entry = root->path() + "/prefix/share/applications/korvane-file-eraser.desktop";
    QProcess validate;
    validate.setProcessChannelMode(QProcess::MergedChannels);
    validate.start("desktop-file-validate", {entry});
    QVERIFY(validate.waitForFinished(30000));
    const QByteArray said = validate.readAll();
    QVERIFY2(validate.exitCode() == 0 && said.trimmed().isEmpty(), said.constData()); // not even a hint
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Exec=\"" + QFile::encodeName(Bundle()) + "/bin/korvane-file-eraser\""));
}

void TestInstallation::userFilesGoToUserFolders()
{
    const QString settings = UserPath("config/korvane-file-eraser/kvf_setting.plist");
    const QString logs = UserPath("state/korvane-file-eraser/KVLOGFILE");
    const QString cache = UserPath("cache/korvane-file-eraser");

    // First start of the desktop application: settings, log, working folder and the
    // installed-applications list are made in the user's folders.
    QProcess* gui = Start(root->path() + "/prefix/bin/korvane-file-eraser", {});
    QVERIFY2(WaitForFile(cache + "/KVFInfo.txt", gui), gui->readAllStandardError().constData());
    QVERIFY2(QTest::qWaitFor([&] { return LogText(logs).contains("Korvane File Eraser start "); }, 30000),
             gui->readAllStandardError().constData());
    QVERIFY(QFileInfo(cache + "/KVFTASK").isDir());
    QVERIFY(QFileInfo(UserPath("data/korvane-file-eraser/KVCERTIFICATE")).isDir());
    QCOMPARE(QFileInfo(settings).ownerId(), kUser);
    {
        QSettings stored(settings, PlistFormat());
        QCOMPARE(stored.value("KVF_LogPath").toString(), UserPath("state/korvane-file-eraser"));
        QCOMPARE(stored.value("KVF_CertificatePath").toString(), UserPath("data/korvane-file-eraser"));
    }
    QCOMPARE(gui->state(), QProcess::Running);
    gui->terminate();
    QVERIFY(gui->waitForFinished(10000));

    // A change of the settings (as the settings dialog saves it) is read by the next start.
    {
        QSettings stored(settings, PlistFormat());
        stored.setValue("KVF_Algorithm", "3");
        stored.sync();
    }
    MountedImage volume; // a volume the user may erase on, below /mnt
    QVERIFY(volume.Create(root->path(), 8 << 20, "tmpfs"));
    const QString victim = MakeMarkerFile(volume.MountPoint() + "/secret.txt", 4096, "KVMARKER");
    QVERIFY(RunTool("chown", {"-R", "nobody:", volume.MountPoint()}));
    QProcess* cli = Start(root->path() + "/prefix/bin/korvane-erase", {"-q", "-m", "0", victim});
    QVERIFY(cli->waitForFinished(60000));
    const QString said = QString::fromUtf8(cli->readAllStandardOutput());
    QVERIFY2(cli->exitCode() == 0, qPrintable(said + cli->readAllStandardError()));
    QVERIFY(!QFile::exists(victim));
    // The log it names exists, in the user's folder, and says which algorithm the settings chose.
    const QString logFile = said.section("log: ", 1).trimmed();
    QVERIFY2(logFile.startsWith(logs + '/') && QFile::exists(logFile), qPrintable(said));
    QVERIFY(LogText(logs).contains("Algorithm used : Random random & Zeroes 6 Write Passes "));
    QVERIFY(LogText(logs).contains("File Path: " + victim + " | Erasure successful"));

    gui = Start(root->path() + "/prefix/bin/korvane-file-eraser", {});
    QFile::remove(cache + "/KVFInfo.txt");
    QVERIFY(WaitForFile(cache + "/KVFInfo.txt", gui));
    gui->terminate();
    QVERIFY(gui->waitForFinished(10000));
    QCOMPARE(QSettings(settings, PlistFormat()).value("KVF_Algorithm").toString(), QStringLiteral("3"));

    // Nothing was written into the installation.
    QCOMPARE(BundleFiles(), installedFiles);
}

void TestInstallation::instanceGuardIsPerUser()
{
    const QString program = root->path() + "/prefix/bin/korvane-file-eraser";
    QFile::remove(UserPath("cache/korvane-file-eraser/KVFInfo.txt")); // written after the guard is passed
    QProcess* first = Start(program, {});
    QVERIFY(WaitForFile(UserPath("cache/korvane-file-eraser/KVFInfo.txt"), first));
    // Root, another user, is not held back by nobody's instance (root writes the bundle).
    QProcess* other = Start(program, {}, false);
    QVERIFY2(WaitForFile(Bundle() + "/Resources/KVFInfo.txt", other), other->readAllStandardError().constData());
    QCOMPARE(first->state(), QProcess::Running);
    for (QProcess* process : {first, other}) {
        process->terminate();
        process->waitForFinished(10000);
    }
    QVERIFY(QDir(Bundle() + "/KVLOGFILE").removeRecursively());
    QVERIFY(QDir(Bundle() + "/KVCERTIFICATE").removeRecursively());
    QVERIFY(QDir(Bundle() + "/KVFTASK").removeRecursively());
    QFile::remove(Bundle() + "/Resources/KVFInfo.txt");
    QFile::remove(Bundle() + "/Resources/kvf_setting.plist");
}

void TestInstallation::setIdCopiesRefuseToRun_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("korvane-erase set-user-id") << "korvane-erase" << 04755 << 2;
    QTest::newRow("korvane-erase set-group-id") << "korvane-erase" << 02755 << 2;
    QTest::newRow("application set-user-id") << "korvane-file-eraser" << 04755 << 1;
}

void TestInstallation::setIdCopiesRefuseToRun()
{
    QFETCH(QString, program);
    QFETCH(int, mode);
    QFETCH(int, exitCode);
#if defined(__SANITIZE_ADDRESS__)
    if (mode & 02000)
        QSKIP("a sanitizer build's leak checker cannot run in a set-group-id process and fails its exit");
#endif
    struct statvfs volume = {};
    if (statvfs(QFile::encodeName(root->path()).constData(), &volume) == 0 && (volume.f_flag & ST_NOSUID))
        QSKIP("the temporary folder lies on a nosuid file system");

    const QString copy = root->path() + "/setid/bin/" + program;
    QDir().mkpath(root->path() + "/setid/bin");
    QFile::remove(copy);
    QVERIFY(QFile::copy(Bundle() + "/bin/" + program, copy));
    QVERIFY(::chmod(QFile::encodeName(copy).constData(), mode) == 0);
    QProcess* process = Start(copy, {"--help"});
    QVERIFY(process->waitForFinished(30000));
    const QByteArray said = process->readAllStandardError();
    QCOMPARE(process->exitCode(), exitCode);
    QVERIFY2(said.contains("refusing to run with set-user-id or set-group-id privileges") &&
                 said.contains("sudo or pkexec"),
             said.constData());
    QVERIFY(process->readAllStandardOutput().isEmpty()); // nothing else ran
}

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_installation.moc"
