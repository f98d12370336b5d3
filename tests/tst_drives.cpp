// The application state's view of the disks: its disk copies, the "Erase Now" row and one
// row and left-pane entry per volume, the release at exit, and the volume listing.
#include "GetVolumes.h"
#include "KorvaneApp.h"
#include "VolumeListing.h"

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

class TestDrives : public QObject
{
    Q_OBJECT

private slots:
    void init() { KorvaneApp::ResetInstance(); }
    void volumeRowsAndListingUntilFreed();
    void otherGroupsOnlyCopyTheDisks();
    void startUpPutsVolumesAfterEraseNow();
};

void TestDrives::volumeRowsAndListingUntilFreed()
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

void TestDrives::otherGroupsOnlyCopyTheDisks()
{
    BuildThreeVolumes(m_getvolumes);
    KorvaneApp* app = KorvaneApp::GetInstance();
    QVERIFY(app->OnSetDrives(3, 100));
    QVERIFY(app->diskList && !app->appList && !app->leftPaneList);
}

void TestDrives::startUpPutsVolumesAfterEraseNow()
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

QTEST_GUILESS_MAIN(TestDrives)
#include "tst_drives.moc"
