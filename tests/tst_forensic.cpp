// What erased files leave: on real file systems (ext4, xfs, btrfs on loop devices) files full of
// a marker text are erased with korvane-erase, then the raw image is searched for the marker
// and for their names (deleted files' space through --free-space: tst_writereach). A name is
// scrubbed before its removal: random names of the same length, then shorter ones, the same
// file throughout, never taking another entry's place. A flush must put what was written on
// the medium before it answers. Needs root and loop devices.
#include <QCoreApplication>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "EraserCopy.h"
#include "LoopImage.h"
#include "NameScrub.h"
#include "PassEngine.h"
#include "TestFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How many of `names` occur in the ext4 image outside its journal. The journal keeps copies
// of metadata blocks as they were committed (a directory block with a new name among
// them) until it wraps; no removal in place reaches it, so the directory blocks are counted.
int NamesOutsideJournal(const QString& image, const QList<QByteArray>& names)
{
    QString blocks;
    QString header;
    if (!RunTool(QStringLiteral("debugfs"), {"-R", "blocks <8>", image}, &blocks) ||
        !RunTool(QStringLiteral("dumpe2fs"), {"-h", image}, &header))
        return -1;
    const qint64 blockSize =
        header.section(QLatin1String("Block size:"), 1).section(QLatin1Char('\n'), 0, 0).trimmed().toLongLong();
    QSet<qint64> journal;
    for (const QString& block : blocks.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        journal.insert(block.toLongLong());
    QFile file(image);
    if (blockSize <= 0 || !file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray raw = file.readAll();
    int found = 0;
    for (const QByteArray& name : names) {
        bool outside = false;
        for (int at = raw.indexOf(name); at >= 0 && !outside; at = raw.indexOf(name, at + 1))
            outside = !journal.contains(at / blockSize);
        found += outside;
    }
    return found;
}

ino_t Inode(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? st.st_ino : 0;
}

QByteArray Read(const QByteArray& path)
{
    char buffer[256];
    const int fd = ::open(path.constData(), O_RDONLY);
    const ssize_t n = fd < 0 ? -1 : ::read(fd, buffer, sizeof(buffer));
    if (fd >= 0)
        ::close(fd);
    return n < 0 ? QByteArray("<missing>") : QByteArray(buffer, int(n));
}

int Entries(const QByteArray& folder)
{
    int count = 0;
    if (DIR* dir = ::opendir(folder.constData())) {
        while (::readdir(dir))
            ++count;
        ::closedir(dir);
    }
    return count;
}

} // namespace

class TestForensic : public QObject
{
    Q_OBJECT

private slots:
    void erasedFilesLeaveNoMarker_data();
    void erasedFilesLeaveNoMarker();
    void erasedNamesLeaveTheDirectory_data();
    void erasedNamesLeaveTheDirectory();
    void scrubNameAt_data();
    void scrubNameAt();
    void unlinkAndFolders();
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

void TestForensic::erasedNamesLeaveTheDirectory_data()
{
    QTest::addColumn<bool>("asFolder");
    QTest::newRow("files") << false;
    QTest::newRow("folder") << true;
}

void TestForensic::erasedNamesLeaveTheDirectory()
{
    QFETCH(bool, asFolder);
    const QString unavailable = LoopImageUnavailable();
    if (!unavailable.isEmpty())
        QSKIP(qPrintable(unavailable));
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/forensic-XXXXXX"));
    MountedImage image;
    QVERIFY(image.Create(dir.path(), 256LL << 20));
    const QString folder = image.MountPoint() + QStringLiteral("/chosen");
    const QByteArray tag = QByteArray::number(QRandomGenerator::global()->generate(), 16);
    const QByteArray subfolder = "medical-records-" + tag;
    QVERIFY(QDir().mkpath(folder + QLatin1Char('/') + QString::fromLatin1(subfolder)));
    QList<QByteArray> names;
    QStringList files;
    for (const char* stem : {"tax-return-", "letter_to_the_doctor-", "x", "passwords.kdbx-", "a b c-"}) {
        names << stem + tag;
        files << MakeMarkerFile(folder + QLatin1Char('/') + QString::fromLatin1(names.last()), 100, NewMarker());
    }
    names << "scan-of-passport-" + tag;
    files << MakeMarkerFile(folder + QLatin1Char('/') + QString::fromLatin1(subfolder + '/' + names.last()), 5000,
                            NewMarker());
    if (asFolder)
        names << subfolder; // a files-only erasure leaves the folders
    // Unmounting writes the directory to the image; the names are there now.
    QVERIFY(image.Detach());
    const QList<QByteArray> written = asFolder ? names : names + QList<QByteArray>{subfolder};
    QCOMPARE(NamesOutsideJournal(image.Image(), written), int(written.size()));
    MountGuard remount; // MountedImage no longer holds the mount
    QVERIFY(remount.Mount({image.Image(), image.MountPoint()}));

    QCOMPARE(RunEraser(QStringList{"-q", "--log-dir", dir.filePath(QStringLiteral("logs"))} +
                       (asFolder ? QStringList{folder} : files)),
             0);
    QVERIFY(RunTool(QStringLiteral("umount"), {image.MountPoint()}));
    int inJournalToo = 0;
    for (const QByteArray& name : names)
        inJournalToo += MarkerHits(image.Image(), name) > 0;
    const int found = NamesOutsideJournal(image.Image(), names);
    qInfo("%s: %d of %d names still in directory blocks (%d anywhere in the image, journal included)",
          QTest::currentDataTag(), found, int(names.size()), inJournalToo);
    QCOMPARE(found, 0);
}

void TestForensic::scrubNameAt_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("singlesTaken"); // every one-character name already exists
    QTest::addColumn<int>("finalLength");
    QTest::newRow("plain") << QByteArray("tax return 2025.pdf") << false << 1;
    QTest::newRow("one character") << QByteArray("a") << false << 1;
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9-\xff") << false << 1;
    QTest::newRow("every one-character name taken") << QByteArray("abc") << true << 2;
}

void TestForensic::scrubNameAt()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, singlesTaken);
    QFETCH(int, finalLength);
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (singlesTaken) {
        for (char c : alphabet)
            QVERIFY(WriteNewFile(folder + c, QByteArray("other ") + c));
    }
    QVERIFY(WriteNewFile(folder + name, "the chosen file"));
    const ino_t inode = Inode(folder + name);
    const int entries = Entries(folder);

    const int dirfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    QByteArray scrubbed = name;
    QVERIFY(ScrubNameAt(dirfd, scrubbed));
    ::close(dirfd);
    QCOMPARE(scrubbed.size(), finalLength);
    QVERIFY(Inode(folder + name) == 0 || scrubbed == name); // a one-character name may draw itself back
    QCOMPARE(Inode(folder + scrubbed), inode);
    QCOMPARE(Read(folder + scrubbed), QByteArray("the chosen file"));
    QCOMPARE(Entries(folder), entries);
    if (singlesTaken) {
        for (char c : alphabet)
            QCOMPARE(Read(folder + c), QByteArray("other ") + c);
    }
}

void TestForensic::unlinkAndFolders()
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("chosen/medical records"))));
    QVERIFY(WriteNewFile(root + "/chosen/medical records/scan.pdf", "kept: the folder is not empty"));
    QVERIFY(WriteNewFile(root + "/beside.txt", "removed"));

    const int dirfd = ::open(root.constData(), O_RDONLY | O_DIRECTORY);
    const int chosen = ::open((root + "/chosen").constData(), O_RDONLY | O_DIRECTORY);
    QVERIFY(UnlinkScrubbedAt(dirfd, "beside.txt", false));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"chosen"});
    QVERIFY(!UnlinkScrubbedAt(dirfd, "missing.txt", false));
    // A folder that cannot go keeps its own name and everything in it.
    QVERIFY(!UnlinkScrubbedAt(chosen, "medical records", true));
    QCOMPARE(Read(root + "/chosen/medical records/scan.pdf"), QByteArray("kept: the folder is not empty"));
    ::close(chosen);
    ::close(dirfd);
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
