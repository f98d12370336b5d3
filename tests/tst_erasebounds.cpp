// korvane-erase attacked on real file systems (ext4, xfs, btrfs, tmpfs): a folder swapped for
// a link mid-run, bind mounts, virtual file systems, device nodes and files that cannot be
// opened, names that are not UTF-8, paths longer than PATH_MAX and sparse files. Each case
// checks by checksums that nothing outside the selection changed, and that the exit status,
// the log and what the file system holds agree. Needs root and loop devices.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "EraserCopy.h"
#include "LoopImage.h"
#include "TestFiles.h"

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

class TestEraseBounds : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void attack_data();
    void attack();

private:
    struct Run
    {
        int status = -1;
        QByteArray output; // both channels
        QStringList lines; // the log's item lines
    };
    // korvane-erase with arguments as raw bytes (names need not be UTF-8).
    Run Erase(const QList<QByteArray>& paths);

    using Case = void (TestEraseBounds::*)();
    static const QVector<QPair<const char*, Case>>& Cases();
    void RenameRace();
    void BindMounts();
    void HardPaths();
    void SpecialFiles();

    QString m_eraser;
    QTemporaryDir* m_dir = nullptr;
    MountedImage* m_image = nullptr;
    QByteArray m_root; // the image's mount point
    int m_runs = 0;
};

void TestEraseBounds::initTestCase()
{
    // KV_ERASE_BINARY in the environment runs the cases against another build.
    m_eraser =
        qEnvironmentVariableIsSet("KV_ERASE_BINARY") ? qEnvironmentVariable("KV_ERASE_BINARY") : EraserCopy::Shared();
    QVERIFY(QFile::exists(m_eraser));
}

TestEraseBounds::Run TestEraseBounds::Erase(const QList<QByteArray>& paths)
{
    Run run;
    const QString logDir = m_dir->filePath(QStringLiteral("logs%1").arg(++m_runs));
    const QByteArray outFile = QFile::encodeName(m_dir->filePath(QStringLiteral("output")));
    QList<QByteArray> arguments{QFile::encodeName(m_eraser), "-q", "--log-dir", QFile::encodeName(logDir), "--"};
    arguments += paths;
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(outFile.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    QFile out(QFile::decodeName(outFile));
    if (out.open(QIODevice::ReadOnly))
        run.output = out.readAll();
    for (const QFileInfo& log : QDir(logDir + QStringLiteral("/KVLOGFILE")).entryInfoList(QDir::Files)) {
        QFile file(log.filePath());
        if (file.open(QIODevice::ReadOnly)) {
            for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
                if (line.contains(QLatin1String(" | ")))
                    run.lines << line;
            }
        }
    }
    return run;
}

const QVector<QPair<const char*, TestEraseBounds::Case>>& TestEraseBounds::Cases()
{
    static const QVector<QPair<const char*, Case>> cases{
        {"rename race", &TestEraseBounds::RenameRace},
        {"bind mounts", &TestEraseBounds::BindMounts},
        {"long path, sparse file, name not UTF-8", &TestEraseBounds::HardPaths},
        {"device, pipe, procfs, busy file", &TestEraseBounds::SpecialFiles},
    };
    return cases;
}

void TestEraseBounds::attack_data()
{
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<int>("attack"); // in Cases()
    for (const char* fileSystem : {"ext4", "xfs", "btrfs", "tmpfs"}) {
        for (int i = 0; i < Cases().size(); ++i)
            QTest::addRow("%s: %s", fileSystem, Cases().at(i).first) << QString::fromLatin1(fileSystem) << i;
    }
}

void TestEraseBounds::attack()
{
    QFETCH(QString, fileSystem);
    QFETCH(int, attack);
    const QString unavailable = LoopImageUnavailable(fileSystem);
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/bounds-XXXXXX"));
    MountedImage image;
    QVERIFY(image.Create(dir.path(), 320LL << 20, fileSystem));
    m_dir = &dir;
    m_image = &image;
    m_root = QFile::encodeName(image.MountPoint());
    // btrfs writes every change to new blocks unless a file is marked no-copy-on-write: only
    // then does an overwrite reach the blocks the data was in (the old blocks of other files
    // are free space, for the unused-space erasure).
    if (fileSystem == QLatin1String("btrfs"))
        QVERIFY(RunTool(QStringLiteral("chattr"), {"+C", image.MountPoint()}));
    (this->*Cases().at(attack).second)();
}

// A folder inside the chosen one is swapped, again and again, with a link to a folder that
// was not chosen and holds files of the same names.
void TestEraseBounds::RenameRace()
{
    // The race is won or lost by timing: a few rounds make a miss of the old way unlikely.
    for (int round = 0; round < 3; ++round) {
        const QByteArray base = m_root + "/round" + QByteArray::number(round);
        const QByteArray chosen = base + "/chosen";
        const QByteArray outside = base + "/outside";
        const QByteArray swap = base + "/swap"; // the link, or the real folder while swapped
        QVERIFY(::mkdir(base.constData(), 0700) == 0 && ::mkdir(chosen.constData(), 0700) == 0 &&
                ::mkdir((chosen + "/sub").constData(), 0700) == 0 && ::mkdir(outside.constData(), 0700) == 0);
        for (int i = 0; i < 400; ++i) {
            const QByteArray name = "/f" + QByteArray::number(i);
            QVERIFY(WriteNewFile(chosen + "/sub" + name, QByteArray(32 << 10, 'c')));
            QVERIFY(WriteNewFile(outside + name, "outside " + QByteArray::number(i)));
        }
        QVERIFY(::symlink(outside.constData(), swap.constData()) == 0);
        const auto before = Checksums(QFile::decodeName(outside));

        std::atomic<bool> stop{false};
        std::thread racer([&] {
            while (!stop.load()) {
                ::renameat2(AT_FDCWD, (chosen + "/sub").constData(), AT_FDCWD, swap.constData(), RENAME_EXCHANGE);
                ::usleep(200);
            }
        });
        const Run run = Erase({chosen});
        stop.store(true);
        racer.join();

        const int changed = Changed(before, Checksums(QFile::decodeName(outside)));
        qInfo("round %d: outside files changed or gone: %d of %d; exit %d", round, changed, int(before.size()),
              run.status);
        QCOMPARE(changed, 0);
        QVERIFY(run.status == 0 || run.status == 1);
        // Success only when the chosen folder is gone.
        QCOMPARE(run.status == 0, !QFileInfo::exists(QFile::decodeName(chosen)));
    }
}

// Another folder of the same volume bound below the chosen folder is left alone; a protected
// folder (below /var) bound onto an ordinary path is still protected.
void TestEraseBounds::BindMounts()
{
    const QByteArray chosen = m_root + "/chosen";
    const QByteArray outside = m_root + "/outside";
    const QByteArray bound = m_root + "/bound";
    QVERIFY(::mkdir(chosen.constData(), 0700) == 0 && ::mkdir((chosen + "/inner").constData(), 0700) == 0 &&
            ::mkdir(outside.constData(), 0700) == 0 && ::mkdir(bound.constData(), 0700) == 0);
    QVERIFY(WriteNewFile(chosen + "/own", "own"));
    for (int i = 0; i < 20; ++i)
        QVERIFY(WriteNewFile(outside + "/kept" + QByteArray::number(i), "kept " + QByteArray::number(i)));
    QTemporaryDir system(QStringLiteral("/var/tmp/korvane-bounds-XXXXXX"));
    QVERIFY(system.isValid() && WriteNewFile(QFile::encodeName(system.filePath(QStringLiteral("secret"))), "data"));
    MountGuard mounts;
    QVERIFY(mounts.Mount({"--bind", QFile::decodeName(outside), QFile::decodeName(chosen + "/inner")}));
    QVERIFY(mounts.Mount({"--bind", system.path(), QFile::decodeName(bound)}));
    // Everything but the chosen folder, the protected folder through its bound path included.
    const Sums before = Checksums(QFile::decodeName(m_root), QStringLiteral("chosen"));
    QCOMPARE(before.size(), 21);

    const Run run = Erase({chosen});
    QCOMPARE(run.status, 1);
    QVERIFY(!QFileInfo::exists(QFile::decodeName(chosen + "/own")));
    QVERIFY(run.output.contains("left alone, another file system is mounted there: " + chosen + "/inner"));
    QVERIFY(run.lines.last().startsWith(QStringLiteral("Folder Path: ") + QFile::decodeName(chosen) +
                                        QStringLiteral(" | Erasure failed ")));
    for (const QByteArray& path : {bound + "/secret", bound}) {
        const Run refused = Erase({path});
        QCOMPARE(refused.status, 2);
        QVERIFY(refused.output.contains("protected location"));
    }
    QCOMPARE(Changed(before, Checksums(QFile::decodeName(m_root), QStringLiteral("chosen"))), 0);
}

// Files below a path of more than PATH_MAX bytes, 768 KiB of data in a 1 TiB sparse file and a
// name with a 0xFF byte are overwritten before they go, fast (only the sparse file's data is
// written); the file named with U+FFFD beside the last stays.
void TestEraseBounds::HardPaths()
{
    const QByteArray marker = NewMarker("bounds");
    QByteArray block;
    while (block.size() < (256 << 10))
        block += marker;
    const QByteArray top = m_root + "/deep";
    QVERIFY(::mkdir(top.constData(), 0700) == 0);
    int fd = ::open(top.constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(fd >= 0);
    const QByteArray name(200, 'd');
    for (int level = 0; level < 24; ++level) { // 24 x 201 bytes: beyond PATH_MAX (4096)
        QVERIFY(::mkdirat(fd, name.constData(), 0700) == 0);
        const int next = ::openat(fd, name.constData(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
        QVERIFY(fd >= 0);
    }
    const int file = ::openat(fd, "bottom", O_WRONLY | O_CREAT, 0600);
    ::close(fd);
    QVERIFY(file >= 0);
    QCOMPARE(::write(file, block.constData(), block.size()), ssize_t(block.size()));
    ::close(file);
    QVERIFY(WriteNewFile(top + "/near", block));
    const QByteArray sparse = m_root + "/sparse\xff";
    const QByteArray decoy = m_root + "/sparse\xef\xbf\xbd";
    QVERIFY(WriteNewFile(decoy, "not chosen"));
    fd = ::open(sparse.constData(), O_WRONLY | O_CREAT, 0600);
    QVERIFY(fd >= 0);
    const qint64 size = 1LL << 40;
    QCOMPARE(::ftruncate(fd, size), 0);
    for (qint64 at : {0LL, size / 2, size - block.size()})
        QCOMPARE(::pwrite(fd, block.constData(), block.size(), at), ssize_t(block.size()));
    ::close(fd);
    ::sync();

    QElapsedTimer timer;
    timer.start();
    const Run run = Erase({top, sparse});
    const qint64 ms = timer.elapsed();
    qInfo("exit %d in %lld ms; %s", run.status, ms, run.lines.join(QLatin1Char('|')).toUtf8().constData());
    QCOMPARE(run.status, 0);
    QVERIFY(ms < 20000);
    struct stat st;
    QVERIFY(::lstat(top.constData(), &st) != 0 && ::lstat(sparse.constData(), &st) != 0);
    QFile kept(QFile::decodeName(decoy));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("not chosen"));
    kept.close();
    if (!m_image->Image().isEmpty()) {
        QVERIFY(m_image->Detach());
        QCOMPARE(MarkerHits(m_image->Image(), marker), 0LL);
    }
}

// A device node and a pipe given as paths are refused without being opened; procfs below an
// ordinary folder is refused when given and left alone inside the folder (it is mounted
// read-only, so that nothing could be written there even by a faulty build). A running
// program's file in the folder cannot be opened for writing: it stays, with its folder, and
// the folder's line says the erasure failed.
void TestEraseBounds::SpecialFiles()
{
    const QByteArray device = m_root + "/null";
    const QByteArray pipe = m_root + "/pipe";
    const QByteArray chosen = m_root + "/chosen";
    QVERIFY(::mknod(device.constData(), S_IFCHR | 0600, makedev(1, 3)) == 0);
    QVERIFY(::mkfifo(pipe.constData(), 0600) == 0);
    QVERIFY(::mkdir(chosen.constData(), 0700) == 0 && ::mkdir((chosen + "/proc").constData(), 0700) == 0);
    QVERIFY(WriteNewFile(chosen + "/own", "own"));
    MountGuard mounts;
    QVERIFY(mounts.Mount({"-t", "proc", "-o", "ro", "proc", QFile::decodeName(chosen + "/proc")}));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    QVERIFY(watch >= 0);
    QVERIFY(::inotify_add_watch(watch, device.constData(), IN_OPEN) >= 0);
    QVERIFY(::inotify_add_watch(watch, pipe.constData(), IN_OPEN) >= 0);
    for (const QByteArray& path : {device, pipe, chosen + "/proc"}) {
        const Run run = Erase({path});
        QCOMPARE(run.status, 2);
        QVERIFY(run.output.contains(path.endsWith("proc") ? "virtual file system" : "device, pipe or socket"));
    }
    char events[4096];
    const ssize_t n = ::read(watch, events, sizeof events);
    ::close(watch);
    QCOMPARE(n > 0 ? int(n / sizeof(inotify_event)) : 0, 0); // opens seen
    struct stat st;
    QVERIFY(::lstat(device.constData(), &st) == 0 && S_ISCHR(st.st_mode));
    QVERIFY(::lstat(pipe.constData(), &st) == 0 && S_ISFIFO(st.st_mode));

    const QString program = QFile::decodeName(chosen + "/runner");
    QVERIFY(QFile::copy(QStringLiteral("/bin/sleep"), program));
    QProcess runner;
    runner.start(program, {"60"});
    QVERIFY(runner.waitForStarted());
    const Run folder = Erase({chosen});
    runner.kill();
    runner.waitForFinished();
    QCOMPARE(folder.status, 1);
    QVERIFY(folder.output.contains("left alone"));
    QVERIFY(QFileInfo::exists(QFile::decodeName(chosen + "/proc/self")) && QFileInfo::exists(program));
    QVERIFY(!QFileInfo::exists(QFile::decodeName(chosen + "/own")));
    QVERIFY(!folder.lines.filter(QStringLiteral("File Path: %1 | Access denied ").arg(program)).isEmpty());
    QVERIFY(folder.lines.last().startsWith(QStringLiteral("Folder Path: ") + QFile::decodeName(chosen) +
                                           QStringLiteral(" | Erasure failed ")));
}

QTEST_GUILESS_MAIN(TestEraseBounds)
#include "tst_erasebounds.moc"
