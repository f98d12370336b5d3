#include "ProtectedLocations.h"

#include <QtTest>

class TestProtectedLocations : public QObject
{
    Q_OBJECT

private slots:
    void macLayout_data();
    void macLayout();
    void linuxLayout_data();
    void linuxLayout();
};

void TestProtectedLocations::macLayout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isProtected");
    const QList<QPair<QString, bool>> cases{
        {"/", true},
        {"/Applications/Safari.app", true},
        {"/usrdata/x", true},
        {"/private/var/log/system.log", true},
        {"/users", true},
        {"/Users/", true},
        {"/users/u/file", false},
        {"/Users/u", true},
        {"/Users/u/report.pdf", true},
        {"/Users/u/Desktop", true},
        {"/Users/u/Desktop/report.pdf", false},
        {"/Users/u/Work/Music", true},
        {"/Users/u/Work/music", true},
        {"/Users/u/Work/Notes", false},
        {"/Users/u/Work/Music/song.mp3", false},
        {"/Volumes/Disk/System", false},
        {"/Volumes/Disk/System/", true},
        {"/Volumes/Disk/tmp/sockets.log", true},
        {"/Volumes/Disk/Users/u", true},
        {"/Volumes/Disk/Users/u/Desktop", true},
        {"/Volumes/Disk/Users/u/Work/Pictures", true},
        {"/Volumes/Disk/Users/u/Work/file", false},
        {"/Volumes/Disk/Photos/a.jpg", false},
        {"/Volumes/Disk/Usersfolder/a", true},
        {"/Shared/x", false},
    };
    for (const auto& c : cases)
        QTest::newRow(qPrintable(c.first)) << c.first << c.second;
}

void TestProtectedLocations::macLayout()
{
    QFETCH(QString, path);
    QTEST(IsProtectedLocation(path, PlatformKind::MacOS), "isProtected");
}

void TestProtectedLocations::linuxLayout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isProtected");
    const QList<QPair<QString, bool>> cases{
        {"/", true},
        {"/etc/passwd", true},
        {"/usr/bin/ls", true},
        {"/lib64/ld-linux-x86-64.so.2", true},
        {"/var/log/syslog", true},
        {"/root/secret", true},
        {"/home", true},
        {"/HOME/", true},
        {"/home/u", true},
        {"/home/u/notes.txt", true},
        {"/home/u/Documents", true},
        {"/home/u/.ssh", true},
        {"/home/u/Documents/a.pdf", false},
        {"/home/u/Work/Videos", true},
        {"/home/u/Work/.config", true},
        {"/home/u/Work/report.odt", false},
        {"/media", true},
        {"/media/u", true},
        {"/media/u/USB/photo.jpg", false},
        {"/media/u/USB/etc/", true},
        {"/media/u/USB/home/u", true},
        {"/media/u/USB/home/u/Work/b.txt", false},
        {"/mnt/backup/old.tar", false},
        {"/run/mediax/u/USB/photo.jpg", true}, // "/run/media" is a whole name: no volume below /run here
        {"/run/media/u/USB/photo.jpg", false},
        {"/run/user/1000/secret", true},
        {"/srv/www", true},
        {"/data/projects/x.c", false},
    };
    for (const auto& c : cases)
        QTest::newRow(qPrintable(c.first)) << c.first << c.second;
}

void TestProtectedLocations::linuxLayout()
{
    QFETCH(QString, path);
    QTEST(IsProtectedLocation(path, PlatformKind::Linux), "isProtected");
}

QTEST_GUILESS_MAIN(TestProtectedLocations)
#include "tst_protectedlocations.moc"
