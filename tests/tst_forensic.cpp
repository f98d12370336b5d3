// Forensic check on a real ext4 image: files full of a marker text are erased with
// korvane-erase; afterwards the raw image must not hold the marker anywhere (deleted files'
// space through --free-space: tst_writereach). A flush must put what was written on the medium
// before it answers. Needs root and loop devices.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
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
    void initTestCase();
    void erasedFilesLeaveNoMarker_data();
    void erasedFilesLeaveNoMarker();
    void flushReachesTheMedium_data();
    void flushReachesTheMedium();

private:
    QString m_eraser;
};

void TestForensic::initTestCase()
{
    const QString unavailable = LoopImageUnavailable();
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    m_eraser = EraserCopy::Shared();
    QVERIFY(QFile::exists(m_eraser));
}

void TestForensic::erasedFilesLeaveNoMarker_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<qint64>("largeFile");
    QTest::newRow("0 zeroes") << 0 << (300LL << 20);
    QTest::newRow("4 DoD, self-verifying") << 4 << (300LL << 20);
    // 35 passes over 300 MiB would take minutes here; the pattern passes are what matter.
    QTest::newRow("10 Gutmann") << 10 << (32LL << 20);
}

void TestForensic::erasedFilesLeaveNoMarker()
{
    QFETCH(int, algorithm);
    QFETCH(qint64, largeFile);
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/forensic-XXXXXX"));
    MountedImage image;
    QVERIFY(image.Create(dir.path(), largeFile + (96LL << 20)));
    const QByteArray marker = NewMarker("forensic");
    QStringList files;
    const QList<qint64> sizes{0, 1, 4095, 4096, 1 << 20, largeFile};
    for (qint64 size : sizes)
        files << MakeMarkerFile(image.MountPoint() + QStringLiteral("/file-%1").arg(size), size, marker);
    ::sync();
    QVERIFY(MarkerHits(image.Image(), marker) > 0);

    QStringList arguments{"-q", "-a", QString::number(algorithm), "--log-dir", dir.filePath(QStringLiteral("logs"))};
    QCOMPARE(RunEraser(arguments + files), 0);
    for (const QString& file : files)
        QVERIFY(!QFileInfo::exists(file));
    QVERIFY(image.Detach());
    QCOMPARE(MarkerHits(image.Image(), marker), 0LL);
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
