// Scrubbing a name before its removal: the entry gets random names of the same length and
// then shorter ones, stays the same file, and never takes the place of another entry.
#include "NameScrub.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ino_t Inode(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0 ? st.st_ino : 0;
}

// Byte paths, as names that are not UTF-8 would not survive a QString.
void Write(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, content.constData(), content.size()), ssize_t(content.size()));
    ::close(fd);
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

class TestNameScrub : public QObject
{
    Q_OBJECT

private slots:
    void scrubNameAt_data();
    void scrubNameAt();
    void unlinkAndFolders();
};

void TestNameScrub::scrubNameAt_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("singlesTaken"); // every one-character name already exists
    QTest::addColumn<int>("finalLength");
    QTest::newRow("plain") << QByteArray("tax return 2025.pdf") << false << 1;
    QTest::newRow("one character") << QByteArray("a") << false << 1;
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9-\xff") << false << 1;
    QTest::newRow("every one-character name taken") << QByteArray("abc") << true << 2;
}

void TestNameScrub::scrubNameAt()
{
    QFETCH(QByteArray, name);
    QFETCH(bool, singlesTaken);
    QFETCH(int, finalLength);
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    const QByteArray alphabet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    if (singlesTaken) {
        for (char c : alphabet)
            Write(folder + c, QByteArray("other ") + c);
    }
    Write(folder + name, "the chosen file");
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

void TestNameScrub::unlinkAndFolders()
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("chosen/medical records"))));
    Write(root + "/chosen/medical records/scan.pdf", "kept: the folder is not empty");
    Write(root + "/beside.txt", "removed");

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

QTEST_GUILESS_MAIN(TestNameScrub)
#include "tst_namescrub.moc"
