// The installed-applications list: the macOS line through system_profiler, the Linux list
// from desktop entries, and how the catalogs read paths back from it with grep.
#include "InstalledApplications.h"

#include "FakeCommands.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestInstalledApps : public QObject
{
    Q_OBJECT

private slots:
    void macWriterAppendsLocationLines();
    void desktopEntriesBecomeListLines();
    void listedPaths_data();
    void listedPaths();
};

namespace {
QByteArray Fixture(const QString& name)
{
    QFile file(qEnvironmentVariable("KV_SOURCE_DIR") + "/tests/data/catalogs/" + name);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList Lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n');
    lines.removeLast();
    return lines;
}
} // namespace

void TestInstalledApps::macWriterAppendsLocationLines()
{
    QCOMPARE(SystemProfilerCommand("/b/it's $(x)"),
             QString("system_profiler SPApplicationsDataType |grep -Ei \"Location:\" >> '/b/it'\\''s $(x)'"));
    QTemporaryDir dir;
    FakeCommands fakes;
    fakes.Add("system_profiler", Fixture("system-profiler-apps-01-excerpt.txt") +
                                     Fixture("system-profiler-apps-03-excerpt-annotated.txt"));
    const QString list = dir.path() + "/Korvane's \"$HOME\" `x`/KVFInfo.txt";
    QDir().mkpath(QFileInfo(list).path());
    WriteTestFile(list, "      Location: /Applications/Left.app\n"); // an earlier run that ended abnormally

    QVERIFY(CreateInstalledApplicationsWriter(PlatformKind::MacOS)->Write(list));
    QCOMPARE(fakes.Calls("system_profiler"), QStringList{"SPApplicationsDataType"});
    QCOMPARE(Lines(list),
             QStringList({"      Location: /Applications/Left.app", "      Location: /Applications/Steam.app",
                          "      Location: /System/Applications/System Preferences.app",
                          "      Location: /Library/Application Support/Blackmagic Design/DaVinci Resolve/DaVinci "
                          "Resolve Welcome.app",
                          "      Location: /Users/myname/Applications (Parallels)/"
                          "{7dd1123c-b1da-47a3-b088-934847232124} Applications.localized/Excel.app"}));
    QCOMPARE(ListedApplicationPaths("Steam", list), QStringList{"/Applications/Steam.app"});
}

void TestInstalledApps::desktopEntriesBecomeListLines()
{
    QTemporaryDir dir;
    FakeCommands fakes;
    fakes.Add("vlc");
    fakes.Add("skypeforlinux");
    const QString user = dir.path() + "/user/applications";
    const QString system = dir.path() + "/system/applications";
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    const QByteArray oldDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path() + "/user"));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(dir.path() + "/none:" + dir.path() + "/system"));
    const QStringList folders = DesktopEntryFolders();
    QCOMPARE(folders, QStringList({user, dir.path() + "/none/applications", system}));
    const QString program = dir.path() + "/opt/My App/run";
    WriteTestFile(program, "");
    WriteTestFile(system + "/firefox-esr.desktop", "[Desktop Entry]\nType=Application\nName=Firefox ESR\n"
                                                   "Name[de]=Firefox Deutsch\nExec=/nowhere/firefox-esr %u\n");
    WriteTestFile(user + "/firefox-esr.desktop", "[Desktop Entry]\nType=Application\nName=Firefox Mine\nExec=vlc\n");
    WriteTestFile(system + "/vlc.desktop", "[Desktop Entry]\nName=VLC media player\nType=Application\nNoDisplay=true\n"
                                           "Exec=vlc --started-from-file %U\n[Desktop Action play]\nName=Play/Pause\n");
    WriteTestFile(system + "/skype.desktop", "[Desktop Entry]\nType=Application\nName=Skype\n"
                                             "Exec=env FOO=1 -u BAR skypeforlinux %U\n");
    WriteTestFile(system + "/kde/myapp.desktop", "[Desktop Entry]\nType=Application\nName=AC/DC\\sPlayer\nExec=\"" +
                                                     QFile::encodeName(program) + "\" %f\n");
    WriteTestFile(system + "/gone.desktop",
                  "[Desktop Entry]\nType=Application\nName=Gone\nTryExec=no-such-program-kv\n");
    WriteTestFile(system + "/hidden.desktop", "[Desktop Entry]\nType=Application\nName=Hidden\nExec=vlc\n");
    WriteTestFile(user + "/hidden.desktop", "[Desktop Entry]\nHidden=true\n");
    WriteTestFile(system + "/deleted.desktop",
                  "[Desktop Entry]\nType=Application\nName=Deleted\nExec=vlc\nHidden=true\n");
    WriteTestFile(system + "/link.desktop", "[Desktop Entry]\nType=Link\nName=Web Link\nURL=https://example.org\n");
    WriteTestFile(system + "/script.desktop",
                  "[Desktop Entry]\nType=Application\nName=Script\nExec=no-such-program-kv\n");

    const QStringList lines{
        "    Firefox Mine Location: " + fakes.Dir() + "/vlc", "    AC-DC Player Location: " + program,
        "    Script Location: " + system + "/script.desktop", "    Skype Location: " + fakes.Dir() + "/skypeforlinux",
        "    VLC media player Location: " + fakes.Dir() + "/vlc"};
    QCOMPARE(DesktopEntryLines(folders), lines);
    // The writer appends, as the macOS line does.
    const QString list = dir.path() + "/KVFInfo.txt";
    QVERIFY(CreateInstalledApplicationsWriter(PlatformKind::Linux)->Write(list));
    QVERIFY(CreateInstalledApplicationsWriter(PlatformKind::Linux)->Write(list));
    qputenv("XDG_DATA_HOME", oldHome);
    qputenv("XDG_DATA_DIRS", oldDirs);
    QCOMPARE(Lines(list), lines + lines);
    QCOMPARE(ListedApplicationPaths("Script", list),
             QStringList({system + "/script.desktop", system + "/script.desktop"}));
}

void TestInstalledApps::listedPaths_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("every matching line, from its first slash")
        << QByteArray("  Location: /Applications/Skype.app\n  Location: /opt/Skype 2/Skype.app\n") << "Skype"
        << QStringList{"/Applications/Skype.app", "/opt/Skype 2/Skype.app"};
    QTest::newRow("a line led by a slash or without one is skipped")
        << QByteArray("/Applications/Skype.app\nSkype without path\nSkype:/x/Skype.app\n") << "Skype"
        << QStringList{"/x/Skype.app"};
    QTest::newRow("the last line needs no line feed") << QByteArray("  Location: /a/VLC.app\n  Location: /b/VLC.app")
                                                      << "VLC" << QStringList{"/a/VLC.app", "/b/VLC.app"};
    QTest::newRow("grep is case-sensitive") << QByteArray("  Location: /a/skype.app\n") << "Skype" << QStringList{};
    QTest::newRow("the name is one word for the shell") << QByteArray("  Location: /a/$(touch pwned).app\n")
                                                        << "$(touch pwned)" << QStringList{"/a/$(touch pwned).app"};
}

void TestInstalledApps::listedPaths()
{
    QFETCH(QByteArray, list);
    QFETCH(QString, name);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    const QString listPath = dir.path() + "/list 'one'.txt";
    WriteTestFile(listPath, list);
    QCOMPARE(ListedApplicationPaths(name, listPath), expected);
    QVERIFY(!QFile::exists(dir.path() + "/pwned"));
    QCOMPARE(ListedApplicationPaths(name, dir.path() + "/missing.txt"), QStringList{});
}

QTEST_GUILESS_MAIN(TestInstalledApps)
#include "tst_installedapps.moc"
