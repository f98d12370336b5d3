// The macOS volume discovery, fed through fake `diskutil`, `Diskutil` and `df` commands
// that print outputs recorded on real Macs (tests/data/macos, see SOURCES.md there). The
// real `grep` filters them, as on a Mac. No public source recorded every command of one
// machine, so a scenario combines recordings; the few lines no recording holds (the
// "Part of Whole:" of a partition, a plain partition's info) are written here in the
// recorded format and marked "made".
#include "FakeCommands.h"
#include "GetVolumes.h"
#include "MacVolumeDiscovery.h"
#include "MacVolumeReach.h"
#include "VolumeDump.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ReachConcern)

namespace {

QByteArray Recorded(const QString& name, const QList<QPair<QByteArray, QByteArray>>& edits = {})
{
    QFile file(qEnvironmentVariable("KV_SOURCE_DIR") + "/tests/data/macos/" + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing recorded output %s", qPrintable(name));
    QByteArray text = file.readAll();
    for (const auto& edit : edits)
        text.replace(edit.first, edit.second);
    return text;
}

// The first lines of every recorded `diskutil info` of a partition.
QByteArray MadePartOfWhole(const QByteArray& device, const QByteArray& whole)
{
    return "   Device Identifier:         " + device + "\n   Device Node:               /dev/" + device +
           "\n   Whole:                     No\n   Part of Whole:             " + whole + "\n";
}

// Fake diskutil (both spellings) and df that answer by their arguments; anything not
// answered fails, as a missing disk does.
class FakeMac
{
public:
    void Diskutil(const QByteArray& args, const QByteArray& output) { m_diskutil.insert(args, output); }
    void Df(const QByteArray& output) { m_df = output; }

    void Install()
    {
        QByteArray body = "case \"$*\" in\n";
        int n = 0;
        for (auto it = m_diskutil.begin(); it != m_diskutil.end(); ++it) {
            const QString file = m_fakes.Dir() + QStringLiteral("/reply%1").arg(++n);
            QFile out(file);
            out.open(QIODevice::WriteOnly);
            out.write(it.value());
            out.close();
            body += "  '" + it.key() + "') cat '" + QFile::encodeName(file) + "' ;;\n";
        }
        body += "  *) exit 1 ;;\nesac\n";
        m_fakes.AddScript("diskutil", body);
        m_fakes.AddScript("Diskutil", body);
        m_fakes.Add("df", m_df, m_df.isEmpty() ? 1 : 0);
    }

    QStringList Calls(const QString& name) const { return m_fakes.Calls(name); }

private:
    FakeCommands m_fakes;
    QMap<QByteArray, QByteArray> m_diskutil;
    QByteArray m_df;
};

QStringList DumpContainers(const CONTAINERINFO* list)
{
    QStringList lines;
    for (const CONTAINERINFO* c = list; c; c = c->next) {
        lines << "on " + c->wholeDisk;
        for (const PARTITIONINFO* v = c->partitionList; v; v = v->next)
            lines << VolumeLine(v);
    }
    return lines;
}

QStringList Discover(GetVolumes& volumes)
{
    MacVolumeDiscovery discovery;
    volumes.CreateDisklist(discovery);
    return DumpDisks(volumes.DiskList());
}

} // namespace

class TestMacVolumes : public QObject
{
    Q_OBJECT

private slots:
    void init() { qputenv("HOME", "/Users/tester"); }

    void infoValues_data();
    void infoValues();
    void everyRecordedListGivesOneRecordPerDisk_data();
    void everyRecordedListGivesOneRecordPerDisk();
    void recordedMachines_data();
    void recordedMachines();
    void apfsContainers_data();
    void apfsContainers();
    void writeReach_data();
    void writeReach();
    void isMounted_data();
    void isMounted();
};

// The value after a key of a `diskutil info` line; without a key, the byte count of a size.
void TestMacVolumes::infoValues_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("value");
    const char* const rows[][4] = {
        {"indented value", "Device Node:", "   Device Node:              /dev/disk0  ", "/dev/disk0"},
        {"empty value, trailing blanks", "Volume Name:", "   Volume Name:               ", ""},
        {"value with blanks", "Mount Point:", "   Mount Point:   /Volumes/My Disk", "/Volumes/My Disk"},
        {"key missing: whole line", "Protocol:", "  something else \n", "something else"},
        {"first occurrence", "Disk:", "Disk: a Disk: b", "a Disk: b"},
        {"size", "", "500.1 GB (500107862016 Bytes) (exactly 976773168 512-Byte-Units)", "500107862016"},
        {"size zero", "", "0 B (0 Bytes) (exactly 0 512-Byte-Units) (0.0%)", "0"},
        {"size, percent after", "", "55.8 GB (55848755200 Bytes) (exactly 109079600 512-Byte-Units) (22.4%)",
         "55848755200"},
        {"size without parenthesis or Bytes", "", "500.1 GB", "0"},
        {"size not applicable", "", "Not applicable (no file system)", "0"},
        {"size empty", "", "", "0"},
        {"size beyond 32 bits", "", "3.0 TB (3000592982016 Bytes)", "3000592982016"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]) << QString(row[3]);
}

void TestMacVolumes::infoValues()
{
    QFETCH(QString, key);
    QFETCH(QString, line);
    QFETCH(QString, value);
    QCOMPARE(key.isEmpty() ? QString::number(GetVolumes::GetDiskInfoSize(line)) : GetVolumes::TrimString(key, line),
             value);
}

// The lists the recorded machines below do not use (there: 01 with disk images, 03, 05 a bare
// header, 13 with a leading blank line, 17 without blank lines).
void TestMacVolumes::everyRecordedListGivesOneRecordPerDisk_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("disks");
    const QStringList d0to8{"disk0", "disk1", "disk2", "disk3", "disk4", "disk5", "disk6", "disk7", "disk8"};
    QTest::newRow("02") << "diskutil-list-02.txt" << QStringList(d0to8.mid(0, 4));
    QTest::newRow("04") << "diskutil-list-04.txt" << QStringList(d0to8.mid(0, 5));
    QTest::newRow("06") << "diskutil-list-06.txt" << QStringList(d0to8.mid(0, 3));
    QTest::newRow("07") << "diskutil-list-07-diskimage.txt" << QStringList{"disk3"};
    QTest::newRow("08") << "diskutil-list-08-diskimage-synthesized.txt" << QStringList{"disk4"};
    QTest::newRow("09") << "diskutil-list-09.txt" << QStringList(d0to8.mid(0, 4));
    QTest::newRow("10") << "diskutil-list-10.txt" << QStringList(d0to8.mid(0, 2));
    QTest::newRow("11") << "diskutil-list-11.txt" << QStringList(d0to8.mid(0, 4));
    QTest::newRow("12") << "diskutil-list-12.txt" << QStringList(d0to8.mid(0, 5));
    QTest::newRow("14") << "diskutil-list-14-excerpt-synthesized.txt" << QStringList{"disk1"};
    QTest::newRow("15") << "diskutil-list-15-excerpt-external-hfs.txt" << QStringList{"disk2"};
    QTest::newRow("18") << "diskutil-list-18-bigsur-intel-usb.txt" << QStringList(d0to8.mid(0, 3));
    QTest::newRow("19") << "diskutil-list-19-apple-silicon-sdcard-freespace.txt"
                        << QStringList{"disk0", "disk3", "disk4"};
}

void TestMacVolumes::everyRecordedListGivesOneRecordPerDisk()
{
    QFETCH(QString, file);
    QFETCH(QStringList, disks);
    FakeMac mac;
    mac.Diskutil("list", Recorded(file));
    mac.Install();
    GetVolumes volumes;
    QStringList expected;
    for (const QString& disk : disks)
        expected << disk + " |  |  |  | 0 | -"; // no info answered: nothing known, nothing listed
    QCOMPARE(Discover(volumes), expected);
    QStringList infoCalls;
    for (const QString& disk : disks)
        infoCalls << "info\t" + disk;
    QCOMPARE(mac.Calls("Diskutil"), QStringList{"list"} + infoCalls);
}

// Whole machines: what each fake `diskutil` answers ("args", reply, ...), `df`, the disks and
// volumes found, and which `diskutil` and `df` calls were made (rows that do not care: "any").
void TestMacVolumes::recordedMachines_data()
{
    QTest::addColumn<QByteArrayList>("answers");
    QTest::addColumn<QByteArray>("df");
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("calls");
    const QStringList any{"any"};

    QTest::newRow("key at column 0 ignored, last line wins")
        << QByteArrayList{"list", "/dev/disk0 (internal):\n", "info disk0",
                          "   Protocol:                 SATA\nProtocol: Disk Image\n"
                          "   Device / Media Name:      First\n   Device / Media Name:      Second\n"}
        << QByteArray("/dev/disk0s1   39Gi   21Gi   18Gi    54%  5560911  4742575   54%   /\n")
        << QStringList{"disk0 |  | Second | SATA | 0 | listed"} << any;

    // made: no recording of a plain HFS+ partition's info or of this machine's df
    QTest::newRow("plain HFS+")
        << QByteArrayList{"list",
                          Recorded("diskutil-list-05.txt"),
                          "cs list",
                          Recorded("diskutil-cs-list-04-none.txt"),
                          "info disk0",
                          Recorded("diskutil-info-disk0-02.txt"),
                          "info disk0s2",
                          MadePartOfWhole("disk0s2", "disk0") +
                              "   Volume Name:              Macintosh HD\n"
                              "   Partition Type:           Apple_HFS\n"
                              "   File System Personality:  Journaled HFS+\n"
                              "   Total Size:               42.1 GB (42089095168 Bytes) (exactly 82205264 "
                              "512-Byte-Units)\n"
                              "   Volume Free Space:        19.6 GB (19575492608 Bytes) (exactly 38233384 "
                              "512-Byte-Units)\n"}
        << QByteArray("Filesystem     Size   Used  Avail Capacity  iused    ifree %iused  Mounted on\n"
                      "/dev/disk0s2   39Gi   21Gi   18Gi    54%  5560911  4742575   54%   /\n"
                      "devfs         181Ki  181Ki    0Bi   100%      626        0  100%   /dev\n"
                      "map -hosts      0Bi    0Bi    0Bi   100%        0        0  100%   /net\n")
        << QStringList{"disk0 | /dev/disk0 | APPLE SSD SM768E | SATA | 751277983744 | listed",
                       "  /dev/disk0s2 | Macintosh HD | Journaled HFS+ | / | 42089095168 | 19575492608"}
        << any;

    // The unfiltered listing is a heading followed by one recorded section per container. The
    // data volume was recorded while the machine ran from another system (mounted under
    // /Volumes); the drive was disk4 there, and newer systems spell "Media Read-Only:".
    // System and Preboot have other roles, Recovery and VM are not mounted: never asked; df
    // only for the candidates disk0 and disk4 (disk3 is synthesized, disk5 read-only).
    QTest::newRow("APFS data volume stands for the home on its physical disk")
        << QByteArrayList{"list",
                          Recorded("diskutil-list-17-apple-silicon-cd.txt"),
                          "apfs list",
                          "APFS Containers (1 found)\n" + Recorded("diskutil-apfs-list-01.txt"),
                          "info disk0s2",
                          MadePartOfWhole("disk0s2", "disk0"),
                          "info disk3s5",
                          Recorded("diskutil-info-apfs-disk3s5-data-01.txt", {{"/Volumes/Data", "/System/Volumes/"
                                                                                                "Data"}}),
                          "info disk0",
                          Recorded("diskutil-info-disk0-03.txt"),
                          "info disk5",
                          Recorded("diskutil-info-optical-dvd-disk4-readonly-01.txt", {{"disk4", "disk5"}})}
        << Recorded("df-H-05.txt")
        << QStringList{"disk0 | /dev/disk0 | APPLE SSD AP0256J | PCI-Express | 251000193024 | listed",
                       "  /dev/disk3s5 | Data | APFS | /Users/tester | 245107195904 | 183397150720",
                       "disk3 |  |  |  | 0 | -", "disk4 |  |  |  | 0 | -",
                       "disk5 | /dev/disk5 | HL-DT-ST DVDRAM GP65NS60 | USB | 1561296896 | -"}
        << QStringList{"apfs\tlist", "info\tdisk3s5", "cs\tlist", "df -h", "df -h"};

    // df holds volumes of disk1 (virtual), disk2 and disk3 (disk images): none may be taken.
    QTest::newRow("disk images and virtual disks are not listed")
        << QByteArrayList{"list",       Recorded("diskutil-list-01.txt"),
                          "cs list",    Recorded("diskutil-cs-list-04-none.txt"),
                          "info disk0", Recorded("diskutil-info-disk0-02.txt"),
                          "info disk1", Recorded("diskutil-info-hfs-corestorage-disk1-02.txt"),
                          "info disk2", Recorded("diskutil-info-diskimage-whole-disk2-01.txt"),
                          "info disk5", Recorded("diskutil-info-external-disk5-01.txt")}
        << Recorded("df-h-03.txt")
        << QStringList{"disk0 | /dev/disk0 | APPLE SSD SM768E | SATA | 751277983744 | -",
                       "disk1 | /dev/disk1 | APPLE SSD SM1024G | PCI | 999334739968 | -",
                       "disk2 | /dev/disk2 | Disk Image | Disk Image | 21474836480 | -",
                       "disk3 |  |  |  | 0 | -",
                       "disk4 |  |  |  | 0 | -",
                       "disk5 | /dev/disk5 | G-DRIVE PRO Thunderbolt | SATA | 2000179691520 | -",
                       "disk6 |  |  |  | 0 | -",
                       "disk7 |  |  |  | 0 | -",
                       "disk8 |  |  |  | 0 | -"}
        << QStringList{"apfs\tlist", "cs\tlist", "df -h", "df -h", "df -h", "df -h", "df -h", "df -h"};

    QTest::newRow("mount point with blanks stays whole")
        << QByteArrayList{"list",
                          Recorded("diskutil-list-13-excerpt-fdisk-sdcard.txt"),
                          "info disk3",
                          Recorded("diskutil-info-external-disk5-01.txt", {{"/dev/disk5", "/dev/disk3"}}),
                          "info disk3s1",
                          Recorded("diskutil-info-diskimage-exfat-disk3s1-01.txt")}
        << Recorded("df-h-04.txt")
        << QStringList{"disk3 | /dev/disk3 | G-DRIVE PRO Thunderbolt | SATA | 2000179691520 | listed",
                       "  /dev/disk3s1 | myexfat | ExFAT | /Volumes/Install Cisco WebEx Add-On | 100032000 | 99807232"}
        << any;

    // made: no recording of a machine with eleven disks; disk1 is "listed" as df matched its
    // name, though the volume is not its own.
    QTest::newRow("another disk's volumes are not taken")
        << QByteArrayList{"list",
                          "/dev/disk1 (external, physical):\n"
                          "   #:                       TYPE NAME                    SIZE       IDENTIFIER\n"
                          "   0:      GUID_partition_scheme                        *8.0 GB     disk1\n"
                          "/dev/disk11 (external, physical):\n"
                          "   #:                       TYPE NAME                    SIZE       IDENTIFIER\n"
                          "   0:      GUID_partition_scheme                        *1.0 TB     disk11\n"
                          "   1:                  Apple_HFS Eleven                  999.9 GB   disk11s1\n",
                          "info disk11s1",
                          MadePartOfWhole("disk11s1", "disk11") +
                              "   Volume Name:              Eleven\n"
                              "   File System Personality:  Journaled HFS+\n"
                              "   Disk Size:                999.9 GB (999860912128 Bytes)\n"
                              "   Volume Available Space:   570.2 GB (570163838976 Bytes)\n"}
        << QByteArray("Filesystem      Size   Used  Avail Capacity iused      ifree %iused  Mounted on\n"
                      "/dev/disk11s1  931Gi  400Gi  531Gi    43% 1234567 4293732712    0%   /Volumes/Eleven\n")
        << QStringList{"disk1 |  |  |  | 0 | listed", "disk11 |  |  |  | 0 | listed",
                       "  /dev/disk11s1 | Eleven | Journaled HFS+ | /Volumes/Eleven | 999860912128 | 570163838976"}
        << any;
    // diskutil list, disk0 and disk1 were recorded on one MacBook Pro; its group listing
    // was not, so a recorded one is given that machine's identifiers.
    QTest::newRow("CoreStorage group lists its physical disk")
        << QByteArrayList{"list",
                          Recorded("diskutil-list-03.txt"),
                          "cs list",
                          Recorded("diskutil-cs-list-02.txt", {{"disk1s2", "disk0s2"}, {"disk3", "disk1"}}),
                          "info disk0s2",
                          MadePartOfWhole("disk0s2", "disk0"),
                          "info disk0",
                          Recorded("diskutil-info-disk0-03.txt"),
                          "info disk1",
                          Recorded("diskutil-info-hfs-corestorage-disk1-01.txt")}
        << Recorded("df-h-02.txt")
        << QStringList{"disk0 | /dev/disk0 | APPLE SSD AP0256J | PCI-Express | 251000193024 | listed",
                       "  /dev/disk1 | Macintosh HD | Journaled HFS+ | / | 249664372736 | 55848755200",
                       "disk1 | /dev/disk1 | APPLE SSD AP0256J | PCI-Express | 249664372736 | -",
                       "disk2 |  |  |  | 0 | -"}
        << any;
}

void TestMacVolumes::recordedMachines()
{
    QFETCH(QByteArrayList, answers);
    QFETCH(QByteArray, df);
    QFETCH(QStringList, found);
    QFETCH(QStringList, calls);
    FakeMac mac;
    for (int i = 0; i + 1 < answers.size(); i += 2)
        mac.Diskutil(answers.at(i), answers.at(i + 1));
    mac.Df(df);
    mac.Install();
    GetVolumes volumes;
    QCOMPARE(Discover(volumes), found);
    if (calls != QStringList{"any"}) {
        QStringList made = mac.Calls("diskutil");
        for (const QString& arguments : mac.Calls("df"))
            made << "df " + arguments;
        QCOMPARE(made, calls);
    }
    if (QByteArray(QTest::currentDataTag()) == "plain HFS+") // neither groups nor containers
        QVERIFY(!volumes.CoreStorageList() && !volumes.APFSContainerList());
    if (QByteArray(QTest::currentDataTag()).startsWith("CoreStorage")) {
        QCOMPARE(DumpContainers(volumes.CoreStorageList()), (QStringList{"on disk0", found.at(1)}));
        // The disk's copy is its own: freeing the group leaves it intact.
        QVERIFY(volumes.DiskList()->partitionList != volumes.CoreStorageList()->partitionList);
        QVERIFY(volumes.FreeGetVolumesInfo());
        QVERIFY(!volumes.DiskList() && !volumes.CoreStorageList() && !volumes.APFSContainerList());
        QCOMPARE(Discover(volumes), found); // builds again from empty lists (the sanitizer checks for leaks)
    }
}

// The container count limits the turns; a volume's info decides whether it is taken.
void TestMacVolumes::apfsContainers_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QByteArray>("info"); // of disk2s1, the last container's volume; empty: the call fails
    QTest::addColumn<QStringList>("containers");
    // A recorded container cut before its volumes (one without any), then another recorded one.
    QByteArray two = Recorded("diskutil-apfs-list-04.txt");
    two.truncate(two.indexOf("    +-> Volume"));
    const QByteArray last = Recorded("diskutil-apfs-list-06.txt");
    two += last.mid(last.indexOf('\n') + 1); // without its own heading
    const QByteArray data =
        Recorded("diskutil-info-apfs-disk3s5-data-01.txt", {{"disk3s5", "disk2s1"}, {"disk3", "disk2"}});
    const QStringList both{"on disk3", "on disk0",
                           "  /dev/disk2s1 | Data | APFS | /Volumes/Data | 245107195904 | 183397150720"};
    QTest::newRow("one of two") << "APFS Containers (1 found)\n" + two << data << QStringList{"on disk3"};
    QTest::newRow("two") << "APFS Containers (2 found)\n" + two << data << both;
    QTest::newRow("more than there are") << "APFS Containers (5 found)\n" + two << data << both;
    QTest::newRow("no count") << "APFS Containers\n" + two << data << QStringList{};
    QTest::newRow("not a container") << Recorded("diskutil-apfs-list-05-not-a-container.txt") << data << QStringList{};
    QTest::newRow("read-only volume") << last << Recorded("diskutil-info-apfs-disk2s1-recovery-ro-01.txt")
                                      << QStringList{"on disk0"};
    QTest::newRow("older spelling, writable")
        << last << Recorded("diskutil-info-diskimage-exfat-disk3s1-01.txt")
        << QStringList{"on disk0", "  /dev/disk3s1 | myexfat | ExFAT | /Volumes/myexfat | 100032000 | 99807232"};
    QTest::newRow("no read-only lines") << last << MadePartOfWhole("disk2s1", "disk2") << QStringList{"on disk0"};
    QTest::newRow("info fails") << last << QByteArray() << QStringList{"on disk0"};
}

void TestMacVolumes::apfsContainers()
{
    QFETCH(QByteArray, list);
    QFETCH(QByteArray, info);
    QFETCH(QStringList, containers);
    FakeMac mac;
    mac.Diskutil("apfs list", list);
    mac.Diskutil("info disk3s1", MadePartOfWhole("disk3s1", "disk3"));
    mac.Diskutil("info disk0s2", MadePartOfWhole("disk0s2", "disk0"));
    if (!info.isEmpty())
        mac.Diskutil("info disk2s1", info);
    mac.Install();
    GetVolumes volumes;
    QVERIFY(volumes.CreateAPFSContainerList());
    QCOMPARE(DumpContainers(volumes.APFSContainerList()), containers);
}

// What overwriting cannot reach, from `df -P` of a path and `diskutil info` of its device.
void TestMacVolumes::writeReach_data()
{
    QTest::addColumn<QByteArray>("df");
    QTest::addColumn<QString>("info"); // recorded `diskutil info` of the device, or empty
    QTest::addColumn<QString>("mountPoint");
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<QVector<ReachConcern>>("concerns");
    const auto row = [](const char* tag, const QByteArray& device, const char* info, const char* mountPoint,
                        const char* fileSystem, QVector<ReachConcern> concerns) {
        QTest::newRow(tag) << "Filesystem 512-blocks Used Available Capacity Mounted on\n" + device +
                                  "  976490576 1234 5678 1% " + mountPoint + "\n"
                           << QString::fromLatin1(info) << QString::fromLatin1(mountPoint)
                           << QString::fromLatin1(fileSystem) << concerns;
    };
    row("APFS on solid state", "/dev/disk3s5", "diskutil-info-apfs-disk3s5-data-01.txt", "/Volumes/Data", "apfs",
        {ReachConcern::CopyOnWrite, ReachConcern::Flash});
    row("HFS+ on encrypted CoreStorage, SSD", "/dev/disk1", "diskutil-info-hfs-corestorage-disk1-02.txt", "/", "hfs",
        {ReachConcern::Flash, ReachConcern::Encrypted});
    row("HFS+ on CoreStorage, not encrypted", "/dev/disk1", "diskutil-info-hfs-corestorage-disk1-01.txt", "/", "hfs",
        {ReachConcern::Flash});
    row("optical, solid state unknown", "/dev/disk4", "diskutil-info-optical-dvd-disk4-readonly-01.txt",
        "/Volumes/Untitled", "cd9660", {ReachConcern::Flash});
    row("rotating external disk", "/dev/disk5", "diskutil-info-external-disk5-01.txt", "/Volumes/Backup", "", {});
    row("SMB share", "//tester@server/share", "", "/Volumes/share", "//tester@server/share", {ReachConcern::Network});
}

void TestMacVolumes::writeReach()
{
    QFETCH(QByteArray, df);
    QFETCH(QString, info);
    QFETCH(QString, mountPoint);
    QFETCH(QString, fileSystem);
    QFETCH(QVector<ReachConcern>, concerns);
    FakeMac mac;
    mac.Df(df);
    const QByteArray device = df.split('\n').at(1).split(' ').first();
    if (!info.isEmpty())
        mac.Diskutil("info " + device, Recorded(info));
    mac.Install();
    const VolumeReach reach = MacVolumeReach().Volume(QStringLiteral("/Users/tester/file"));
    QCOMPARE(reach.mountPoint, mountPoint);
    QCOMPARE(reach.fileSystem, fileSystem);
    QCOMPARE(reach.concerns, concerns);
}

void TestMacVolumes::isMounted_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("mounted");
    QTest::newRow("mounted") << QByteArray("   Mounted:                   Yes\n") << true;
    QTest::newRow("unknown volume") << QByteArray("Could not find disk\n") << false;
}

void TestMacVolumes::isMounted()
{
    QFETCH(QByteArray, answer);
    QFETCH(bool, mounted);
    // Should the name ever reach a shell, "pwned" appears in the working folder: a temporary one.
    QTemporaryDir work;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(work.path());
    FakeCommands fakes;
    fakes.Add(QStringLiteral("Diskutil"), answer);
    const QString folder = QStringLiteral("/Volumes/It's \"$(touch pwned)\"");
    QCOMPARE(MacVolumeDiscovery().IsMounted(folder), mounted);
    QCOMPARE(fakes.Calls(QStringLiteral("Diskutil")), QStringList(QStringLiteral("info\t") + folder));
    QDir::setCurrent(previous);
    QVERIFY(!QFile::exists(work.filePath(QStringLiteral("pwned"))));
}

QTEST_GUILESS_MAIN(TestMacVolumes)
#include "tst_macvolumes.moc"
