// The Linux volume discovery: on a fake /sys/block tree and mount table built in a
// temporary folder, and live on this machine (sanity only, plus a loop-mounted image
// where the machine lets root attach one). Then the application state's view of the disks:
// its disk copies, the "Erase Now" row and one row and left-pane entry per volume, the
// release at exit, and the volume listing.
#include "GetVolumes.h"
#include "KorvaneApp.h"
#include "LinuxVolumeDiscovery.h"
#include "LoopImage.h"
#include "TestFiles.h"
#include "VolumeDump.h"
#include "VolumeListing.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kDrive = ":/images/images/Traces/Drive.png";

// Two offered disks around one that is not; three volumes in all.
void BuildThreeVolumes(GetVolumes& volumes)
{
    volumes.FreeGetVolumesInfo();
    volumes.CreateVolumeInfoList("/dev/disk1s1", "Macintosh HD", "APFS", "/", 500107862016, 1073741824, true);
    volumes.CreateVolumeInfoList("/dev/disk1s2", "Data", "APFS", "/Users/tester", 500107862016, 1536, true);
    volumes.CreateDiskInfolist("disk0", "/dev/disk0", "APPLE SSD", "PCI-Express", 500277790720, true,
                               volumes.TakeVolumeList());
    volumes.CreateDiskInfolist("disk2", "/dev/disk2", "Disk Image", "Disk Image", 1024, false, nullptr);
    volumes.CreateVolumeInfoList("/dev/disk3s1", "My Disk", "ExFAT", "/Volumes/My Disk", 1099511627776, 0, true);
    volumes.CreateDiskInfolist("disk3", "/dev/disk3", "SanDisk Cruzer", "USB", 1099511627776, true,
                               volumes.TakeVolumeList());
}

} // namespace

class TestLinuxVolumes : public QObject
{
    Q_OBJECT

private slots:
    void init() { KorvaneApp::ResetInstance(); }
    void fakeMachine();
    void liveDiscovery();
    void volumeRowsAndListingUntilFreed();
    void otherGroupsOnlyCopyTheDisks();
    void startUpPutsVolumesAfterEraseNow();
};

void TestLinuxVolumes::fakeMachine()
{
    // A sysfs-like tree: devices live under devices/ and block/<name> links to them, so that the
    // bus shows in the path as it does in /sys.
    QTemporaryDir tmp;
    const auto disk = [&](const QString& name, const QString& busPath, const QByteArray& dev, qint64 sectors) {
        const QString dir = tmp.path() + "/sys/devices/" + busPath + "/block/" + name;
        WriteTestFile(dir + "/dev", dev + "\n");
        WriteTestFile(dir + "/size", QByteArray::number(sectors) + "\n");
        WriteTestFile(dir + "/ro", "0\n");
        WriteTestFile(dir + "/removable", "0\n");
        QDir().mkpath(tmp.path() + "/sys/block");
        QFile::link(dir, tmp.path() + "/sys/block/" + name);
        return dir;
    };
    const auto partition = [](const QString& diskDir, const QString& name, const QByteArray& dev) {
        WriteTestFile(diskDir + "/" + name + "/dev", dev + "\n");
        WriteTestFile(diskDir + "/" + name + "/partition", "1\n");
    };
    const QString sda = disk("sda", "pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0", "8:0", 1953525168);
    WriteTestFile(sda + "/device/vendor", "ATA     \n");
    WriteTestFile(sda + "/device/model", "WDC WD10EZEX-08W\n");
    partition(sda, "sda1", "8:1");
    partition(sda, "sda2", "8:2");
    const QString sdb =
        disk("sdb", "pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/host6/target6:0:0/6:0:0:0", "8:16", 60062500);
    WriteTestFile(sdb + "/device/vendor", "SanDisk \n");
    WriteTestFile(sdb + "/device/model", "Cruzer Blade    \n");
    WriteTestFile(sdb + "/removable", "1\n");
    partition(sdb, "sdb1", "8:17");
    partition(sdb, "sdb2", "8:18");
    const QString nvme = disk("nvme0n1", "pci0000:00/0000:00:1d.0/0000:3d:00.0/nvme/nvme0", "259:0", 1953525168);
    WriteTestFile(nvme + "/device/model", "Samsung SSD 980 PRO 1TB                 \n");
    partition(nvme, "nvme0n1p1", "259:1");
    partition(nvme, "nvme0n1p2", "259:2");
    const QString sr0 = disk("sr0", "pci0000:00/0000:00:1f.2/ata2/host1/target1:0:0/1:0:0:0", "11:0", 3049408);
    WriteTestFile(sr0 + "/ro", "1\n");
    WriteTestFile(sr0 + "/device/vendor", "HL-DT-ST\n");
    WriteTestFile(sr0 + "/device/model", "DVDRAM GP65NS60\n");
    const QString dm0 = disk("dm-0", "virtual", "254:0", 1900000000);
    WriteTestFile(dm0 + "/dm/name", "vg-root\n");
    WriteTestFile(dm0 + "/slaves/sda2", "");
    const QString dm1 = disk("dm-1", "virtual", "254:1", 1900000000);
    WriteTestFile(dm1 + "/dm/name", "luks-home\n");
    WriteTestFile(dm1 + "/slaves/nvme0n1p2", "");
    const QString loop0 = disk("loop0", "virtual", "7:0", 204800);
    WriteTestFile(loop0 + "/loop/backing_file", "/home/tester/images/disk.img\n");
    disk("loop1", "virtual", "7:1", 0);
    disk("vda", "pci0000:00/0000:00:02.0/virtio1", "253:0", 2097152);

    WriteTestFile(tmp.path() + "/mountinfo",
                  "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
                  "26 1 254:0 / / rw,relatime - ext4 /dev/mapper/vg-root rw\n"
                  "27 26 259:1 / /boot/efi rw,relatime - vfat /dev/nvme0n1p1 rw,fmask=0077\n"
                  "28 26 254:1 / /home rw,relatime shared:5 - ext4 /dev/mapper/luks-home rw\n"
                  "29 26 0:25 / /tmp rw - tmpfs tmpfs rw\n"
                  "30 26 254:1 /tester/data /srv/data rw,relatime - ext4 /dev/mapper/luks-home rw\n"
                  "31 26 8:17 / /media/tester/MY\\040STICK rw,nosuid - vfat /dev/sdb1 rw\n"
                  "32 26 0:45 /@ /media/tester/backup rw - btrfs /dev/sdb2 rw,subvol=/@\n"
                  "33 26 11:0 / /media/tester/CDROM ro,nosuid - iso9660 /dev/sr0 ro\n"
                  "34 26 7:0 / /mnt/image rw,relatime - ext4 /dev/loop0 rw\n");
    QDir().mkpath(tmp.path() + "/by-label");
    QFile::link("../../sdb1", tmp.path() + "/by-label/MY\\x20STICK");

    LinuxVolumeSources sources;
    sources.sysRoot = tmp.path() + "/sys";
    sources.mountTable = tmp.path() + "/mountinfo";
    sources.labelFolder = tmp.path() + "/by-label";
    sources.homePath = "/home/tester";
    QMap<QString, QPair<qint64, qint64>> space{{"/", {100000, 40000}},
                                               {"/boot/efi", {500, 400}},
                                               {"/home", {900000, 300000}},
                                               {"/media/tester/MY STICK", {30000, 29000}},
                                               {"/media/tester/backup", {2000, 1000}},
                                               {"/mnt/image", {90000, 80000}}};
    sources.spaceOf = [&](const QString& mountPoint, qint64& total, qint64& free) {
        if (!space.contains(mountPoint))
            return false;
        total = space[mountPoint].first;
        free = space[mountPoint].second;
        return true;
    };
    sources.canWrite = [](const QString&) { return false; };

    GetVolumes volumes;
    LinuxVolumeDiscovery discovery(sources);
    volumes.CreateDisklist(discovery);
    QCOMPARE(DumpDisks(volumes.DiskList()),
             (QStringList{
                 "dm-0 | /dev/dm-0 | vg-root | Device Mapper | 972800000000 | -",
                 "dm-1 | /dev/dm-1 | luks-home | Device Mapper | 972800000000 | -",
                 "loop0 | /dev/loop0 | Disk Image (disk.img) | Disk Image | 104857600 | -",
                 "nvme0n1 | /dev/nvme0n1 | Samsung SSD 980 PRO 1TB | NVMe | 1000204886016 | listed",
                 "  /dev/nvme0n1p1 | efi | vfat | /boot/efi | 500 | 400",
                 "  /dev/mapper/luks-home | home | ext4 | /home/tester | 900000 | 300000",
                 "sda | /dev/sda | WDC WD10EZEX-08W | SATA | 1000204886016 | listed",
                 "  /dev/mapper/vg-root | File System | ext4 | / | 100000 | 40000",
                 "sdb | /dev/sdb | SanDisk Cruzer Blade | USB | 30752000000 | listed",
                 "  /dev/sdb1 | MY STICK | vfat | /media/tester/MY STICK | 30000 | 29000",
                 "  /dev/sdb2 | backup | btrfs | /media/tester/backup | 2000 | 1000",
                 "sr0 | /dev/sr0 | HL-DT-ST DVDRAM GP65NS60 | SATA | 1561296896 | -",
                 "vda | /dev/vda | VirtIO Block Device | VirtIO | 1073741824 | -",
             }));

    // The mapped volumes are kept per physical disk, as containers are on macOS.
    QStringList containers;
    for (const CONTAINERINFO* c = volumes.CoreStorageList(); c; c = c->next)
        containers << c->wholeDisk + ": " + c->partitionList->mountPoint;
    QCOMPARE(containers, (QStringList{"sda: /", "nvme0n1: /home/tester"}));

    // The loop-mounted image is known and traced to its loop device, never offered.
    const QVector<LinuxMountedVolume> mounted = discovery.MountedVolumes();
    const auto image = std::find_if(mounted.begin(), mounted.end(),
                                    [](const LinuxMountedVolume& v) { return v.volume.mountPoint == "/mnt/image"; });
    QVERIFY(image != mounted.end());
    QCOMPARE(image->wholeDisk, QString("loop0"));
    QVERIFY(!image->mapped);

    // A folder counts as mounted where a mount point is, with "\040" read as a blank.
    for (const char* folder : {"/", "/media/tester/MY STICK", "/media/tester/MY STICK/"})
        QVERIFY2(discovery.IsMounted(folder), folder);
    for (const char* folder : {"/media/tester/MY STICK/photos", "/mnt/backup", "/media/tester/MY\\040STICK"})
        QVERIFY2(!discovery.IsMounted(folder), folder);

    // The home folder stands for its volume only where the volume's root is not writable.
    for (const auto& [home, writable, shown] : {std::make_tuple("/home/tester", "/home", QStringList{"/home", "/"}),
                                                std::make_tuple("/root", "", QStringList{"/home", "/root"})}) {
        sources.homePath = home;
        sources.canWrite = [writable = QString(writable)](const QString& path) { return path == writable; };
        GetVolumes again;
        LinuxVolumeDiscovery rediscovery(sources);
        again.CreateDisklist(rediscovery);
        QStringList mountPoints;
        for (const DISKINFO* d = again.DiskList(); d; d = d->next)
            for (const PARTITIONINFO* v = d->partitionList; v; v = v->next)
                mountPoints << v->mountPoint;
        QCOMPARE(mountPoints.mid(1, 2), shown);
    }
}

// Live on this machine: a file system image on a loop device (where root may attach one) is
// traced to the loop device and never offered; the disk of the root volume is listed.
void TestLinuxVolumes::liveDiscovery()
{
    QTemporaryDir tmp;
    MountedImage image;
    const bool withImage = LoopImageUnavailable().isEmpty();
    QVERIFY(!withImage || image.Create(tmp.path(), 16 << 20));
    const QString loop = QFileInfo(image.Device()).fileName();
    GetVolumes volumes;
    LinuxVolumeDiscovery discovery;
    volumes.CreateDisklist(discovery);
    const QVector<LinuxMountedVolume> mounted = discovery.MountedVolumes();
    QVERIFY(image.Detach());
    const auto mountedAt = [&](const QString& mountPoint) {
        return std::find_if(mounted.begin(), mounted.end(),
                            [&](const LinuxMountedVolume& v) { return v.volume.mountPoint == mountPoint; });
    };
    const auto diskNamed = [&](const QString& name) {
        const DISKINFO* disk = volumes.DiskList();
        while (disk && disk->diskName != name)
            disk = disk->next;
        return disk;
    };
    if (withImage) {
        QVERIFY(mountedAt(image.MountPoint()) != mounted.end());
        QCOMPARE(mountedAt(image.MountPoint())->wholeDisk, loop);
        QCOMPARE(mountedAt(image.MountPoint())->volume.fileSystem, QString("ext4"));
        QVERIFY(diskNamed(loop));
        QCOMPARE(diskNamed(loop)->protocol, QString("Disk Image"));
        QCOMPARE(diskNamed(loop)->mediaName, QString("Disk Image (fs.img)"));
        for (const DISKINFO* d = volumes.DiskList(); d; d = d->next) {
            QVERIFY2(!(d->listed && d->diskName.startsWith("loop")), qPrintable(d->diskName));
            for (const PARTITIONINFO* v = d->partitionList; v; v = v->next)
                QVERIFY(v->mountPoint != image.MountPoint());
        }
    }

    auto root = mountedAt("/");
    if (root == mounted.end())
        root = mountedAt(qEnvironmentVariable("HOME"));
    if (root == mounted.end())
        QSKIP("the root file system is not on a block device here");
    const DISKINFO* disk = diskNamed(root->wholeDisk);
    QVERIFY2(disk, qPrintable("no record for " + root->wholeDisk));
    QVERIFY(disk->listed && !disk->mediaName.isEmpty() && disk->totalSize > 0);
    bool rootSeen = false;
    for (const PARTITIONINFO* v = disk->partitionList; v; v = v->next) {
        QVERIFY(!v->fileSystem.isEmpty() && v->totalSize > 0);
        QVERIFY(v->freeSpace >= 0 && v->freeSpace <= v->totalSize);
        QVERIFY(QFileInfo(v->mountPoint).isDir());
        rootSeen = rootSeen || v->mountPoint == root->volume.mountPoint;
    }
    QVERIFY(rootSeen);
    QVERIFY(FormatVolumeListing(volumes.DiskList()).contains(disk->mediaName));
}

void TestLinuxVolumes::volumeRowsAndListingUntilFreed()
{
    BuildThreeVolumes(m_getvolumes);
    KorvaneApp* app = KorvaneApp::GetInstance();
    QVERIFY(app->OnSetDrives(7, 705000));

    QStringList disks;
    for (DISKINFO* d = app->diskList; d; d = d->next)
        disks << d->diskName;
    QCOMPARE(disks, (QStringList{"disk0", "disk2", "disk3"}));
    QVERIFY(app->diskList != m_getvolumes.DiskList());
    QCOMPARE(app->diskList->partitionList, m_getvolumes.DiskList()->partitionList); // shared, not copied

    QStringList rows;
    for (APPLICATIONINFO* r = app->appList; r; r = r->next)
        rows << QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(r->name)
                    .arg(r->parentId)
                    .arg(r->currentId)
                    .arg(r->installed)
                    .arg(r->icon == kDrive);
    QCOMPARE(rows, (QStringList{"Macintosh HD 7 705000 1 1", "Data 7 705001 1 1", "My Disk 7 705002 1 1"}));
    QStringList entries;
    for (LEFTPANEINFO* e = app->leftPaneList; e; e = e->next)
        entries << QStringLiteral("%1|%2|%3|%4|%5|%6")
                       .arg(e->title, e->subtitle, e->detail)
                       .arg(e->group)
                       .arg(e->id)
                       .arg(e->icon == kDrive);
    QCOMPARE(entries, (QStringList{"Macintosh HD|APFS|/|7|705000|1", "Data|APFS|/Users/tester|7|705001|1",
                                   "My Disk|ExFAT|/Volumes/My Disk|7|705002|1"}));
    QVERIFY(!app->appTracesList && !app->internetTracesList && !app->systemTracesList);
    // The listing names the offered disks only.
    QCOMPARE(FormatVolumeListing(m_getvolumes.DiskList()),
             QString("APPLE SSD (PCI-Express, 465.92 GB)\n"
                     "    Volume        File system  Mount point        Total     Free\n"
                     "    Macintosh HD  APFS         /              465.76 GB  1.00 GB\n"
                     "    Data          APFS         /Users/tester  465.76 GB  1.50 KB\n"
                     "\n"
                     "SanDisk Cruzer (USB, 1.00 TB)\n"
                     "    Volume   File system  Mount point         Total    Free\n"
                     "    My Disk  ExFAT        /Volumes/My Disk  1.00 TB  0.00 B\n"));
    QCOMPARE(FormatVolumeListing(nullptr), QString("No volumes found.\n"));

    app->FreeMemory(); // the sanitizer run catches a double release of the shared volumes
    QVERIFY(!app->diskList && !m_getvolumes.DiskList());
    QVERIFY(!app->appList && !app->leftPaneList);
}

void TestLinuxVolumes::otherGroupsOnlyCopyTheDisks()
{
    BuildThreeVolumes(m_getvolumes);
    KorvaneApp* app = KorvaneApp::GetInstance();
    QVERIFY(app->OnSetDrives(3, 100));
    QVERIFY(app->diskList && !app->appList && !app->leftPaneList);
}

void TestLinuxVolumes::startUpPutsVolumesAfterEraseNow()
{
    QTemporaryDir bundle;
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->SetFolders(bundle.path() + "/bin");
    app->InitSettings(false);
    KorvaneApp::SetClockForTests(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVERIFY(app->GetKVFInfo());

    QVERIFY(app->appList);
    QCOMPARE(app->appList->name, QString("Erase Now"));
    QCOMPARE(app->appList->parentId, 0);
    QCOMPARE(app->appList->currentId, 7);
    QCOMPARE(app->appList->icon, kDrive);
    // This machine's volumes, in disk order, from 705000 on.
    QStringList expected;
    for (DISKINFO* d = m_getvolumes.DiskList(); d; d = d->next)
        for (PARTITIONINFO* v = d->partitionList; v; v = v->next)
            expected << QStringLiteral("%1 %2").arg(v->volumeName).arg(705000 + expected.size());
    QStringList rows;
    for (APPLICATIONINFO* r = app->appList->next; r && r->parentId == 7; r = r->next)
        rows << QStringLiteral("%1 %2").arg(r->name).arg(r->currentId);
    QCOMPARE(rows, expected);
    KorvaneApp::SetClockForTests(QDateTime());
}

QTEST_GUILESS_MAIN(TestLinuxVolumes)
#include "tst_linuxvolumes.moc"
