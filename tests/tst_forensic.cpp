// What erased files leave on real file systems (ext4, xfs, btrfs on loop devices): files full of
// a marker text are erased with korvane-erase, then the raw image is searched for the marker
// (deleted files' space through --free-space: tst_writereach). A flush must put what was written
// on the medium before it answers. Needs root and loop devices.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "EraserCopy.h"
#include "LoopImage.h"
#include "PassEngine.h"

#include <fcntl.h>
#include <unistd.h>

class TestForensic : public QObject
{
    Q_OBJECT

private slots:
    void erasedFilesLeaveNoMarker_data();
    void erasedFilesLeaveNoMarker();
    void flushReachesTheMedium_data();
    void flushReachesTheMedium();
};

void TestForensic::erasedFilesLeaveNoMarker_data()
{
    QTest::addColumn<QString>("fileSystem");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<qint64>("largeFile"); // beyond one chunk of 256 MiB where it is worth the time
    QTest::addColumn<bool>("thenFreeSpace");
    QTest::addColumn<bool>("markerLeft");
    QTest::newRow("ext4, 0 zeroes") << "ext4" << 0 << (300LL << 20) << false << false;
    QTest::newRow("ext4, 4 DoD, self-verifying") << "ext4" << 4 << (300LL << 20) << false << false;
    // 35 passes over 300 MiB would take minutes here; the pattern passes are what matter.
    QTest::newRow("ext4, 10 Gutmann") << "ext4" << 10 << (32LL << 20) << false << false;
    QTest::newRow("xfs") << "xfs" << 0 << (8LL << 20) << false << false;
    // Copy-on-write: overwriting writes new extents and the old ones keep the data...
    QTest::newRow("btrfs, files only") << "btrfs" << 0 << (8LL << 20) << false << true;
    // ...until the volume's unused space is erased right after.
    QTest::newRow("btrfs, then free space") << "btrfs" << 0 << (8LL << 20) << true << false;
}

void TestForensic::erasedFilesLeaveNoMarker()
{
    QFETCH(QString, fileSystem);
    QFETCH(int, algorithm);
    QFETCH(qint64, largeFile);
    QFETCH(bool, thenFreeSpace);
    QFETCH(bool, markerLeft);
    const QString unavailable = LoopImageUnavailable(fileSystem);
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/forensic-XXXXXX"));
    MountedImage image; // mkfs.xfs wants 300 MiB, mkfs.btrfs more than 100
    const qint64 imageSize =
        fileSystem == "ext4" ? largeFile + (96LL << 20) : (fileSystem == "xfs" ? 320LL : 256LL) << 20;
    QVERIFY(image.Create(dir.path(), imageSize, fileSystem));
    const QByteArray marker = NewMarker("forensic");
    QStringList files;
    for (qint64 size : {0LL, 1LL, 4095LL, 4096LL, 1LL << 20, largeFile})
        files << MakeMarkerFile(image.MountPoint() + QStringLiteral("/file-%1").arg(size), size, marker);
    ::sync();
    const qint64 before = MarkerHits(image.Image(), marker);
    QVERIFY(before > 0);

    QStringList arguments{"-q", "-a", QString::number(algorithm), "--log-dir", dir.filePath(QStringLiteral("logs"))};
    if (thenFreeSpace)
        arguments << QStringLiteral("--then-free-space");
    QCOMPARE(RunEraser(arguments + files), 0);
    for (const QString& file : files)
        QVERIFY(!QFileInfo::exists(file));
    QVERIFY(image.Detach());
    const qint64 after = MarkerHits(image.Image(), marker);
    qInfo("%s: %lld marker hits before, %lld after", QTest::currentDataTag(), before, after);
    QCOMPARE(after > 0, markerLeft);
}

void TestForensic::flushReachesTheMedium_data()
{
    QTest::addColumn<bool>("byPath");
    QTest::newRow("by descriptor") << false;
    QTest::newRow("by path") << true;
}

// The image is read while still mounted: what the file system only holds in its cache (dirty
// pages go home after about 30 seconds) is not on the medium yet.
void TestForensic::flushReachesTheMedium()
{
    QFETCH(bool, byPath);
    const QString unavailable = LoopImageUnavailable();
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/forensic-XXXXXX"));
    MountedImage image;
    QVERIFY(image.Create(dir.path(), 64LL << 20));
    const QByteArray marker = NewMarker("forensic");
    const QString path = MakeMarkerFile(image.MountPoint() + QStringLiteral("/flushed"), 1 << 20, marker);
    QVERIFY(MarkerHits(image.Image(), marker) > 0);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
    QVERIFY(fd >= 0);
    const QByteArray zeroes(1 << 20, '\0');
    QCOMPARE(::pwrite(fd, zeroes.constData(), zeroes.size(), 0), ssize_t(zeroes.size()));
    QVERIFY(byPath ? OnFlushDisk(0, zeroes.size(), QFile::encodeName(path).constData(), 0, false) : FlushToMedium(fd));
    ::close(fd);
    QCOMPARE(MarkerHits(image.Image(), marker), 0LL);
    QVERIFY(!FlushToMedium(-1));
}

QTEST_GUILESS_MAIN(TestForensic)
#include "tst_forensic.moc"
