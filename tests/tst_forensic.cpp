// Forensic check on a real ext4 image: files full of a marker text are erased with
// korvane-erase (and deleted files' space through --free-space); afterwards the raw image
// must not hold the marker anywhere. Needs root and loop devices.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

bool RunTool(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(600000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// An ext4 image attached to a loop device and mounted; undone in reverse on destruction.
class MountedImage
{
public:
    bool Create(const QString& folder, qint64 size)
    {
        m_image = folder + QStringLiteral("/fs.img");
        // Mounted below /mnt, where volumes live: the build tree may sit in a protected
        // location (/tmp, /var), and a volume's files must be erasable.
        m_mountPoint = m_mountDir.path();
        QFile image(m_image);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(size))
            return false;
        image.close();
        return RunTool(QStringLiteral("mkfs.ext4"), {"-q", "-F", m_image}) && m_mountDir.isValid() &&
               RunTool(QStringLiteral("losetup"), {"--find", "--show", m_image}, &m_device) &&
               RunTool(QStringLiteral("mount"), {m_device, m_mountPoint}) && (m_mounted = true);
    }
    bool Detach()
    {
        bool ok = true;
        if (m_mounted)
            ok = RunTool(QStringLiteral("umount"), {m_mountPoint});
        m_mounted = m_mounted && !ok;
        if (!m_device.isEmpty() && !m_mounted && RunTool(QStringLiteral("losetup"), {"-d", m_device}))
            m_device.clear();
        return ok && m_device.isEmpty();
    }
    ~MountedImage() { Detach(); }
    // ext4 keeps a pool of free blocks (up to 4096 clusters) that no write from user space
    // can be given, so no free-space erasure reaches them. Releasing the pool on this test
    // image lets the test check every block that a filler file can be given.
    bool ReleaseReservedPool()
    {
        QFile pool(QStringLiteral("/sys/fs/ext4/%1/reserved_clusters").arg(QFileInfo(m_device).fileName()));
        return !pool.exists() || (pool.open(QIODevice::WriteOnly) && pool.write("0\n") == 2);
    }
    QString MountPoint() const { return m_mountPoint; }
    QString Image() const { return m_image; }

private:
    QString m_image;
    QTemporaryDir m_mountDir{QStringLiteral("/mnt/korvane-forensic-XXXXXX")};
    QString m_mountPoint;
    QString m_device;
    bool m_mounted = false;
};

QString MakeMarkerFile(const QString& path, qint64 size, const QByteArray& marker)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray block;
    while (block.size() < (1 << 20))
        block += marker;
    for (qint64 written = 0; written < size;) {
        const qint64 n = qMin<qint64>(block.size(), size - written);
        file.write(block.constData(), n);
        written += n;
    }
    file.flush();
    ::fsync(file.handle());
    return path;
}

// Counts the places where the start of the marker occurs in the raw image.
qint64 MarkerHits(const QString& image, const QByteArray& marker)
{
    QFile file(image);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray needle = marker.left(12);
    qint64 hits = 0;
    QByteArray carry;
    while (!file.atEnd()) {
        const QByteArray piece = carry + file.read(8 << 20);
        for (int at = piece.indexOf(needle); at >= 0; at = piece.indexOf(needle, at + 1))
            ++hits;
        carry = piece.right(needle.size() - 1);
    }
    return hits;
}

} // namespace

class TestForensic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void erasedFilesLeaveNoMarker_data();
    void erasedFilesLeaveNoMarker();
    void unusedSpaceLeavesNoMarker();

private:
    int Erase(const QStringList& arguments);
    QByteArray NewMarker() const;
    QString m_eraser;
};

void TestForensic::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("forensic image tests need root (mount and loop devices); run the suite as root to include them");
    if (!QFile::exists(QStringLiteral("/dev/loop-control")))
        QSKIP("forensic image tests need loop devices (/dev/loop-control is missing)");
    if (QStandardPaths::findExecutable(QStringLiteral("mkfs.ext4")).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("losetup")).isEmpty())
        QSKIP("forensic image tests need mkfs.ext4 (e2fsprogs) and losetup (util-linux)");
    m_eraser = QStringLiteral(KV_ERASE_BINARY);
    QVERIFY(QFile::exists(m_eraser));
}

QByteArray TestForensic::NewMarker() const
{
    return "KVMARK-" + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + "-forensic-marker-text|";
}

int TestForensic::Erase(const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(m_eraser, arguments);
    if (!process.waitForFinished(600000))
        return -1;
    return process.exitCode();
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
    const QByteArray marker = NewMarker();
    QStringList files;
    const QList<qint64> sizes{0, 1, 4095, 4096, 1 << 20, largeFile};
    for (qint64 size : sizes)
        files << MakeMarkerFile(image.MountPoint() + QStringLiteral("/file-%1").arg(size), size, marker);
    ::sync();
    QVERIFY(MarkerHits(image.Image(), marker) > 0);

    QStringList arguments{"-q", "-a", QString::number(algorithm), "--log-dir", dir.filePath(QStringLiteral("logs"))};
    QCOMPARE(Erase(arguments + files), 0);
    for (const QString& file : files)
        QVERIFY(!QFileInfo::exists(file));
    QVERIFY(image.Detach());
    QCOMPARE(MarkerHits(image.Image(), marker), 0LL);
}

void TestForensic::unusedSpaceLeavesNoMarker()
{
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/forensic-XXXXXX"));
    MountedImage image;
    QVERIFY(image.Create(dir.path(), 256LL << 20));
    QVERIFY(image.ReleaseReservedPool());
    const QByteArray marker = NewMarker();
    QStringList files;
    for (qint64 size : {4096LL, 1LL << 20, 100LL << 20})
        files << MakeMarkerFile(image.MountPoint() + QStringLiteral("/deleted-%1").arg(size), size, marker);
    ::sync();
    QVERIFY(RunTool(QStringLiteral("rm"), files)); // the files' blocks are free but still hold the marker
    ::sync();
    QVERIFY(MarkerHits(image.Image(), marker) > 0);

    QCOMPARE(Erase({"-q", "--log-dir", dir.filePath(QStringLiteral("logs")), "--free-space", image.MountPoint()}), 0);
    QCOMPARE(QDir(image.MountPoint()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("lost+found")});
    QVERIFY(image.Detach());
    QCOMPARE(MarkerHits(image.Image(), marker), 0LL);
}

QTEST_GUILESS_MAIN(TestForensic)
#include "tst_forensic.moc"
