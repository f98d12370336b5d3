#include "ProtectedLocations.h"

#include <QtTest>

class TestProtectedLocations : public QObject
{
    Q_OBJECT

private slots:
    void protectedPaths_data();
    void protectedPaths();
};

void TestProtectedLocations::protectedPaths_data()
{
    QTest::addColumn<int>("platform");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("isProtected");
    const PlatformKind mac = PlatformKind::MacOS, gnu = PlatformKind::Linux;
    const struct
    {
        PlatformKind platform;
        const char* path;
        bool isProtected;
    } cases[] = {
        {mac, "/", true},
        {mac, "/Applications/Safari.app", true},
        {mac, "/usrdata/x", true},
        {mac, "/private/var/log/system.log", true},
        {mac, "/users", true},
        {mac, "/Users/", true},
        {mac, "/users/u/file", false},
        {mac, "/Users/u", true},
        {mac, "/Users/u/report.pdf", true},
        {mac, "/Users/u/Desktop", true},
        {mac, "/Users/u/Desktop/report.pdf", false},
        {mac, "/Users/u/Work/Music", true},
        {mac, "/Users/u/Work/music", true},
        {mac, "/Users/u/Work/Notes", false},
        {mac, "/Users/u/Work/Music/song.mp3", false},
        {mac, "/Volumes/Disk/System", false},
        {mac, "/Volumes/Disk/System/", true},
        {mac, "/Volumes/Disk/tmp/sockets.log", true},
        {mac, "/Volumes/Disk/Users/u", true},
        {mac, "/Volumes/Disk/Users/u/Desktop", true},
        {mac, "/Volumes/Disk/Users/u/Work/Pictures", true},
        {mac, "/Volumes/Disk/Users/u/Work/file", false},
        {mac, "/Volumes/Disk/Photos/a.jpg", false},
        {mac, "/Volumes/Disk/Usersfolder/a", true},
        {mac, "/Shared/x", false},
        {gnu, "/", true},
        {gnu, "/etc/passwd", true},
        {gnu, "/usr/bin/ls", true},
        {gnu, "/lib64/ld-linux-x86-64.so.2", true},
        {gnu, "/var/log/syslog", true},
        {gnu, "/root/secret", true},
        {gnu, "/home", true},
        {gnu, "/HOME/", true},
        {gnu, "/home/u", true},
        {gnu, "/home/u/notes.txt", true},
        {gnu, "/home/u/Documents", true},
        {gnu, "/home/u/.ssh", true},
        {gnu, "/home/u/Documents/a.pdf", false},
        {gnu, "/home/u/Work/Videos", true},
        {gnu, "/home/u/Work/.config", true},
        {gnu, "/home/u/Work/report.odt", false},
        {gnu, "/media", true},
        {gnu, "/media/u", true},
        {gnu, "/media/u/USB/photo.jpg", false},
        {gnu, "/media/u/USB/etc/", true},
        {gnu, "/media/u/USB/home/u", true},
        {gnu, "/media/u/USB/home/u/Work/b.txt", false},
        {gnu, "/mnt/backup/old.tar", false},
        {gnu, "/run/mediax/u/USB/photo.jpg", true}, // "/run/media" is a whole name: no volume below /run here
        {gnu, "/run/media/u/USB/photo.jpg", false},
        {gnu, "/run/user/1000/secret", true},
        {gnu, "/srv/www", true},
        {gnu, "/data/projects/x.c", false},
    };
    for (const auto& c : cases)
        QTest::addRow("%s %s", c.platform == mac ? "macOS" : "Linux", c.path)
            << int(c.platform) << QString(c.path) << c.isProtected;
}

void TestProtectedLocations::protectedPaths()
{
    QFETCH(int, platform);
    QFETCH(QString, path);
    QTEST(IsProtectedLocation(path, PlatformKind(platform)), "isProtected");
}

QTEST_GUILESS_MAIN(TestProtectedLocations)
#include "tst_protectedlocations.moc"
