// Whether a volume is mounted at a folder: the Linux mount table, and macOS `Diskutil info`
// (a fake on PATH) reached with the folder as one quoted word.
#include "FakeCommands.h"
#include "LinuxVolumeDiscovery.h"
#include "MacVolumeDiscovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestVolumeMount : public QObject
{
    Q_OBJECT

private slots:
    void linuxMountTable_data();
    void linuxMountTable();
    void macDiskutil_data();
    void macDiskutil();
};

void TestVolumeMount::linuxMountTable_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("mounted");
    QTest::newRow("root") << "/" << true;
    QTest::newRow("mount point") << "/media/tester/USB STICK" << true;
    QTest::newRow("trailing slash") << "/media/tester/USB STICK/" << true;
    QTest::newRow("folder inside") << "/media/tester/USB STICK/photos" << false;
    QTest::newRow("not mounted") << "/mnt/backup" << false;
}

void TestVolumeMount::linuxMountTable()
{
    QFETCH(QString, folder);
    QFETCH(bool, mounted);
    QTemporaryDir dir;
    QFile table(dir.filePath(QStringLiteral("mountinfo")));
    QVERIFY(table.open(QIODevice::WriteOnly));
    table.write("22 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                "40 22 8:17 / /media/tester/USB\\040STICK rw,nosuid - vfat /dev/sdb1 rw\n");
    table.close();
    LinuxVolumeSources sources;
    sources.mountTable = table.fileName();
    sources.sysRoot = dir.path();
    QCOMPARE(LinuxVolumeDiscovery(sources).IsMounted(folder), mounted);
}

void TestVolumeMount::macDiskutil_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("mounted");
    QTest::newRow("mounted") << QByteArray("   Mounted:                   Yes\n") << true;
    QTest::newRow("unknown volume") << QByteArray("Could not find disk\n") << false;
}

void TestVolumeMount::macDiskutil()
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

QTEST_MAIN(TestVolumeMount)
#include "tst_volumemount.moc"
