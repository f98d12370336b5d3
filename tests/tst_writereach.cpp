// What overwriting reaches on real file systems (ext4, xfs with a reflinked copy, btrfs,
// tmpfs on loop devices): the classification of each, the warnings korvane-erase and the
// confirmation dialog show, and deleted data under ext4's reserved pool after erasing the
// unused space (erased files' data and names: tst_forensic). Needs root and loop devices; the
// device chains that no image here has (dm-crypt, md, flash) are read from a fake sysfs tree.
#include "DialogAnswers.h"
#include "EraserCopy.h"
#include "ErasureSummary.h"
#include "KorvaneApp.h"
#include "LinuxVolumeReach.h"
#include "LoopImage.h"
#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <sys/stat.h>

namespace {

QString ConcernName(ReachConcern concern)
{
    const char* const names[] = {"copy-on-write", "shared", "flash", "network", "memory", "encrypted", "journal"};
    return QString::fromLatin1(names[int(concern)]); // in the enum's order
}

qint64 ImageSize(const QString& fileSystem)
{
    return fileSystem == QLatin1String("xfs") ? (320LL << 20) : (256LL << 20); // mkfs.xfs wants 300 MiB
}

QString ReadPool(const QString& file)
{
    QFile pool(file);
    return pool.open(QIODevice::ReadOnly) ? QString::fromLatin1(pool.readAll()).trimmed() : QString();
}

} // namespace

class TestWriteReach : public QObject
{
    Q_OBJECT

private slots:
    void deviceChain_data();
    void deviceChain();
    void init();
    void cleanup();
    void classification_data();
    void classification();
    void confirmationOffersUnusedSpace();
    void reservedPoolIsFilledAndRestored_data();
    void reservedPoolIsFilledAndRestored();

private:
    QString m_fileSystem;
    QTemporaryDir* m_dir = nullptr;
    MountedImage* m_image = nullptr; // in m_dir, mounted before each case that needs one
};

void TestWriteReach::deviceChain_data()
{
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<QString>("options");
    QTest::addColumn<QString>("device"); // major:minor in the fake tree
    QTest::addColumn<QStringList>("concerns");
    const char* const rows[][5] = {
        {"ext4 on a rotating disk", "ext4", "rw,relatime", "8:0", ""},
        {"ext4 on dm-crypt on an SSD partition", "ext4", "rw", "254:0", "encrypted,flash"},
        {"ext4 data=journal on LVM on a rotating disk", "ext4", "rw,data=journal", "254:1", "journal"},
        {"xfs on RAID of a disk and an SSD", "xfs", "rw", "9:0", "flash"},
        {"f2fs on a disk of unknown kind", "f2fs", "rw", "259:0", "copy-on-write,flash"},
        {"nfs4", "nfs4", "rw", "0:50", "network"},
        {"sshfs", "fuse.sshfs", "rw", "0:51", "network"},
        {"tmpfs", "tmpfs", "rw", "0:52", "memory"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3])
                              << QString(row[4]).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

void TestWriteReach::deviceChain()
{
    QFETCH(QString, fileSystem);
    QFETCH(QString, options);
    QFETCH(QString, device);
    QFETCH(QStringList, concerns);
    QTemporaryDir dir;
    const QString sys = dir.filePath(QStringLiteral("sys"));
    // sysfs: devices/<place>/<name>, with class/block/<name> and dev/block/<major:minor> linking
    // there; a device's own file ("name=value") and the devices it is built on.
    QVERIFY(QDir().mkpath(sys + "/class/block") && QDir().mkpath(sys + "/dev/block"));
    const char* const devices[][5] = {
        {"pci0/ata1/block", "sda", "8:0", "queue/rotational=1", ""},
        {"pci0/ata2/block", "sdb", "8:16", "queue/rotational=0", ""},
        {"pci0/ata2/block/sdb", "sdb1", "8:17", "partition=1", ""},
        {"pci0/nvme/block", "nvme0n1", "259:0", "", ""}, // no queue/rotational: unknown
        {"virtual/block", "dm-0", "254:0", "dm/uuid=CRYPT-LUKS2-0123456789abcdef-secret", "sdb1"},
        {"virtual/block", "dm-1", "254:1", "dm/uuid=LVM-abcdef", "sda"},
        {"virtual/block", "md0", "9:0", "", "sda sdb"},
    };
    for (const auto& node : devices) {
        const QString path = sys + "/devices/" + node[0] + '/' + node[1];
        QVERIFY(QDir().mkpath(path + "/slaves"));
        QFile::link(path, sys + "/class/block/" + node[1]);
        QFile::link(path, sys + "/dev/block/" + node[2]);
        if (*node[3])
            WriteTestFile(path + '/' + QString(node[3]).section('=', 0, 0), QString(node[3]).section('=', 1).toUtf8());
        for (const QString& slave : QString(node[4]).split(' ', Qt::SkipEmptyParts))
            QFile::link(sys + "/class/block/" + slave, path + "/slaves/" + slave);
    }

    const QString mountPoint = dir.filePath(QStringLiteral("volume"));
    QVERIFY(QDir().mkpath(mountPoint));
    WriteTestFile(dir.filePath("mountinfo"), QStringLiteral("22 1 0:999 / / rw - ext4 /dev/root rw\n"
                                                            "40 22 %1 / %2 %3 - %4 /dev/whatever %3\n")
                                                 .arg(device, mountPoint, options, fileSystem)
                                                 .toUtf8());
    LinuxVolumeReach probe(sys, dir.filePath(QStringLiteral("mountinfo")));
    const VolumeReach reach = probe.Volume(mountPoint);
    QCOMPARE(reach.mountPoint, mountPoint);
    QStringList found;
    for (ReachConcern concern : reach.concerns)
        found << ConcernName(concern);
    found.sort();
    concerns.sort();
    QCOMPARE(found, concerns);
}

void TestWriteReach::init()
{
    const QByteArray function = QTest::currentTestFunction();
    if (function == "deviceChain")
        return;
    // A classification row's tag starts with its file system.
    m_fileSystem = function == "classification"                  ? QString(QTest::currentDataTag()).section(' ', 0, 0)
                   : function == "confirmationOffersUnusedSpace" ? QStringLiteral("btrfs")
                                                                 : QStringLiteral("ext4");
    const QString unavailable = LoopImageUnavailable(m_fileSystem);
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    KorvaneApp::ResetInstance();
    m_dir = new QTemporaryDir(QCoreApplication::applicationDirPath() + QStringLiteral("/writereach-XXXXXX"));
    m_image = new MountedImage;
    QVERIFY(m_image->Create(m_dir->path(), ImageSize(m_fileSystem), m_fileSystem));
}

void TestWriteReach::cleanup()
{
    DialogAnswers::Clear();
    KorvaneApp::ResetInstance();
    delete m_image;
    m_image = nullptr;
    delete m_dir;
    m_dir = nullptr;
}

void TestWriteReach::classification_data()
{
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<QStringList>("concerns");
    QTest::addColumn<QString>("warning"); // what the dry run says, or empty for no warning
    // The images lie on this machine's disk; a flash or unknown disk adds "flash" to each row.
    QTest::newRow("ext4") << "ext4" << QStringList() << QString();
    QTest::newRow("xfs with a reflinked copy")
        << "xfs" << QStringList{"shared"} << "share data with another file (a reflinked copy";
    // cp --reflink=auto shares the extents on btrfs too.
    QTest::newRow("btrfs") << "btrfs" << QStringList{"copy-on-write", "shared"} << "is copy-on-write";
    QTest::newRow("tmpfs") << "tmpfs" << QStringList{"memory"} << "is held in memory";
}

void TestWriteReach::classification()
{
    QFETCH(QString, fileSystem);
    QFETCH(QStringList, concerns);
    QFETCH(QString, warning);
    const QString file = MakeMarkerFile(m_image->MountPoint() + QStringLiteral("/chosen.bin"), 1 << 20, NewMarker());
    QVERIFY(
        RunTool(QStringLiteral("cp"), {"--reflink=auto", file, m_image->MountPoint() + QStringLiteral("/copy.bin")}));

    LinuxVolumeReach probe;
    ReachClassifier classifier(probe);
    classifier.AddItem(file, ReachClassifier::File);
    const bool flashDisk = probe.Volume(m_image->MountPoint()).Has(ReachConcern::Flash);
    if (flashDisk && fileSystem != QLatin1String("tmpfs"))
        concerns << QStringLiteral("flash");
    QStringList found;
    for (const ReachNotice& notice : classifier.Notices()) {
        found << ConcernName(notice.concern);
        QCOMPARE(notice.items, QStringList{file});
        QCOMPARE(notice.mountPoint, m_image->MountPoint());
    }
    found.sort();
    concerns.sort();
    QCOMPARE(found, concerns);

    QString output;
    QCOMPARE(RunEraser({"-q", "--log-dir", m_dir->filePath(QStringLiteral("logs")), "--dry-run", file}, &output), 0);
    if (warning.isEmpty() && !flashDisk)
        QVERIFY2(!output.contains(QLatin1String("warning:")), qPrintable(output));
    else if (!warning.isEmpty())
        QVERIFY2(output.contains(warning) && output.contains(QStringLiteral("    ") + file), qPrintable(output));
    QCOMPARE(output.contains(QLatin1String("--then-free-space")), fileSystem == QLatin1String("btrfs"));
    QVERIFY(QFile::exists(file));
}

void TestWriteReach::confirmationOffersUnusedSpace()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    APPWIPINGINFO job;
    job.itemPath = MakeMarkerFile(m_image->MountPoint() + QStringLiteral("/chosen.bin"), 4096, NewMarker());
    app->AddAppWipingInfo(job);
    app->fileSummaryList << job.itemPath;

    ErasureSummary dialog(nullptr);
    QCOMPARE(dialog.TreeLines(), (QStringList{"Files & Folders", "  " + job.itemPath, ""}));
    QVERIFY(dialog.ReachLines().first().contains(m_image->MountPoint() + QStringLiteral(" (btrfs) is copy-on-write")));
    QVERIFY(dialog.ReachLines().contains("  " + job.itemPath));
    auto* offer = dialog.findChild<QCheckBox*>(QStringLiteral("then_free_space"));
    QVERIFY(offer);
    QVERIFY(!offer->isChecked()); // the user decides
    QVERIFY(dialog.height() > 384);
    if (qEnvironmentVariableIsSet("KV_SCREENSHOT")) {
        dialog.show();
        QTest::qWait(qEnvironmentVariableIntValue("KV_SCREENSHOT"));
    }
    offer->setChecked(true);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 1);
    QCOMPARE(dialog.exec(), 1);
    const APPWIPINGINFO* followUp = app->wipingInfoList->next;
    QVERIFY(followUp);
    QCOMPARE(followUp->wipeType, int(APPWIPINGINFO::UnusedSpace));
    QCOMPARE(followUp->itemPath, m_image->MountPoint());
    QVERIFY(followUp->itemSize > 0);
    // With the volume's unused space already chosen the notice stays, the offer goes.
    ErasureSummary again(nullptr);
    QVERIFY(!again.ReachLines().isEmpty());
    QVERIFY(!again.findChild<QCheckBox*>(QStringLiteral("then_free_space")));
}

void TestWriteReach::reservedPoolIsFilledAndRestored_data()
{
    QTest::addColumn<bool>("stop");
    QTest::addColumn<bool>("discard");
    QTest::newRow("completed") << false << false;
    QTest::newRow("completed, then discarded") << false << true;
    QTest::newRow("stopped") << true << false;
}

void TestWriteReach::reservedPoolIsFilledAndRestored()
{
    QFETCH(bool, stop);
    QFETCH(bool, discard);
    const QString poolFile =
        QStringLiteral("/sys/fs/ext4/%1/reserved_clusters").arg(QFileInfo(m_image->Device()).fileName());
    const QString pool = ReadPool(poolFile);
    QVERIFY(pool.toLongLong() > 0);
    // Deleted data where the pool lies at the end of a fill: fill the volume with other data,
    // put the marker into what only a lowered pool gives, then delete both.
    const QByteArray marker = NewMarker();
    const QString junk = m_image->MountPoint() + QStringLiteral("/junk");
    const QString secret = m_image->MountPoint() + QStringLiteral("/secret");
    RunTool(QStringLiteral("dd"), {"if=/dev/zero", "of=" + junk, "bs=1M"}); // ends when the volume is full
    ::sync();
    WriteTestFile(poolFile, "0\n");
    MakeMarkerFile(secret, ImageSize(m_fileSystem), marker); // as much as fits
    ::sync();
    WriteTestFile(poolFile, pool.toLatin1() + '\n');
    QVERIFY(QFile::remove(secret) && QFile::remove(junk));
    ::sync();
    const qint64 before = MarkerHits(m_image->Image(), marker);
    QVERIFY(before > 0);

    QProcess eraser;
    QStringList arguments{"-q", "--log-dir", m_dir->filePath(QStringLiteral("logs")), "--free-space",
                          m_image->MountPoint()};
    if (discard)
        arguments << QStringLiteral("--discard");
    eraser.start(EraserCopy::Shared(), arguments);
    QVERIFY(eraser.waitForStarted());
    if (stop) {
        QTRY_COMPARE_WITH_TIMEOUT(ReadPool(poolFile), QStringLiteral("0"), 20000);
        const qint64 pid = eraser.processId(); // 0 once it has ended: kill(0) would signal us all
        QVERIFY(pid > 0);
        ::kill(static_cast<pid_t>(pid), SIGINT);
    }
    QVERIFY(eraser.waitForFinished(600000));
    QCOMPARE(eraser.exitCode(), stop ? 1 : 0);
    QCOMPARE(ReadPool(poolFile), pool);
    QCOMPARE(QDir(m_image->MountPoint()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("lost+found")});
    QVERIFY(m_image->Detach());
    const qint64 after = MarkerHits(m_image->Image(), marker);
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(m_image->Image()).constData(), &st), 0);
    const qint64 allocated = qint64(st.st_blocks) * 512;
    qInfo("ext4 free space (%s): %lld marker hits before, %lld after; %lld MiB of the image allocated",
          QTest::currentDataTag(), before, after, allocated >> 20);
    if (stop)
        return;
    QCOMPARE(after, 0LL);
    // The loop device passes the discard on as holes punched into the image file.
    QCOMPARE(allocated < ImageSize(m_fileSystem) / 2, discard);
}

QTEST_MAIN(TestWriteReach)
#include "tst_writereach.moc"
