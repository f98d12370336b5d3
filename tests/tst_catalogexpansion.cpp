// Pattern expansion, browser profile discovery, Trash paths and the installed-application
// probes of the catalogs, each against planted files.
#include "CatalogTestSupport.h"

#include "ChatApplication.h"
#include "InternetActivity.h"
#include "MacApplication.h"
#include "OtherApplication.h"
#include "SystemTraces.h"

#include "FakeCommands.h"

#include <unistd.h>

Q_DECLARE_METATYPE(PlatformKind)

using Catalog::ExpandFolderText;

// Exposes the working path list of the interpreter to the pattern tests.
class ExpansionProbe : public TraceCatalog
{
public:
    QStringList Expand(const QString& pattern, bool folders)
    {
        EmptyWorkingList();
        FindFileFolder(pattern, folders);
        QStringList paths;
        for (PATHINFO* path = m_pathList; path; path = path->next)
            paths << path->path;
        EmptyWorkingList();
        return paths;
    }
};

class TestCatalogExpansion : public QObject
{
    Q_OBJECT

private slots:
    void findFileFolder_data();
    void findFileFolder();
    void trashFollowsVolumes_data();
    void trashFollowsVolumes();
    void chromeProfilesStopBeforeFirefoxIds();
    void profilesIni_data();
    void profilesIni();
    void folderTexts_data();
    void folderTexts();
    void applicationLookup_data();
    void applicationLookup();
};

void TestCatalogExpansion::findFileFolder_data()
{
    QTest::addColumn<QStringList>("planted");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("folders");
    QTest::addColumn<QStringList>("expected");

    const QStringList caches{"Cache", "Cache.db", "OfflineCache", "Other"};
    QTest::newRow("substring anywhere in the name")
        << caches << "d/Cache*" << false << QStringList{"d/Cache", "d/Cache.db", "d/OfflineCache"};
    QTest::newRow("case ignored") << QStringList{"cookies.sqlite", "Cookies-journal", "Bookmarks"} << "d/Cookies*"
                                  << false << QStringList{"d/Cookies-journal", "d/cookies.sqlite"};
    QTest::newRow("only the text before the first star counts")
        << QStringList{"a.ico", "b.png", "sub/"} << "d/*.ico" << false << QStringList{"d/a.ico", "d/b.png"};
    QTest::newRow("folders end in /*") << QStringList{"Cache/", "CacheStorage/", "Cachefile"} << "d/Cache*" << true
                                       << QStringList{"d/Cache/*", "d/CacheStorage/*"};
    QTest::newRow("hidden entries are skipped")
        << QStringList{".Cache", ".CacheDir/", "Cache"} << "d/Cache*" << false << QStringList{"d/Cache"};
    QTest::newRow("no star: the whole name")
        << QStringList{"install.log", "install.log.0.gz", "install.logs/", "x.log"} << "d/install.log" << false
        << QStringList{"d/install.log", "d/install.log.0.gz"};
    QTest::newRow("folder path holding the prefix takes all")
        << QStringList{"a", "b"} << "Cachedir/d/Cache*" << false << QStringList{"Cachedir/d/a", "Cachedir/d/b"};
    QTest::newRow("missing folder") << QStringList{} << "nowhere/Cache*" << false << QStringList{};
}

void TestCatalogExpansion::findFileFolder()
{
    QFETCH(QStringList, planted);
    QFETCH(QString, pattern);
    QFETCH(bool, folders);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    const QString base = pattern.startsWith("Cachedir") ? dir.path() + "/Cachedir/d/" : dir.path() + "/d/";
    QDir().mkpath(base);
    for (const QString& entry : planted)
        CatalogFixture::PlantAt(base + entry);

    ExpansionProbe probe;
    QStringList actual = probe.Expand(dir.path() + "/" + pattern, folders);
    actual.replaceInStrings(dir.path() + "/", QString());
    actual.sort(); // the listing order is the file system's
    expected.sort();
    QCOMPARE(actual, expected);
}

void TestCatalogExpansion::trashFollowsVolumes_data()
{
    QTest::addColumn<PlatformKind>("platform");
    QTest::addColumn<QStringList>("mountPoints"); // of two disks, split at "|"; @ROOT@ the test's folder
    QTest::addColumn<QStringList>("planted");     // below @ROOT@
    QTest::addColumn<QStringList>("expected");
    const QString uid = QString::number(::getuid());
    QTest::newRow("macOS: every volume's .Trashes, then the home's")
        << PlatformKind::MacOS << QStringList{"/", "/Volumes/Data", "", "|", "/Volumes/USB Stick"} << QStringList{}
        << QStringList{"/.Trashes/*", "/Volumes/Data/.Trashes/*", "/.Trashes/*", "/Volumes/USB Stick/.Trashes/*",
                       "~/.Trash/*"};
    // The home trash first; then each user volume's .Trash-<uid> and .Trash/<uid> entries.
    // A protected mount point (/boot) and the root are left alone, as is another user's trash.
    QTest::newRow("Linux: the home trash and the user volumes' trashes")
        << PlatformKind::Linux << QStringList{"/", "@ROOT@/boot", "|", "@ROOT@/media/tester/USB"}
        << QStringList{"home/tester/.local/share/Trash/files/a",
                       "home/tester/.local/share/Trash/info/a.trashinfo",
                       "boot/.Trash-" + uid + "/files/k",
                       "media/tester/USB/.Trash-" + uid + "/files/b/",
                       "media/tester/USB/.Trash-" + uid + "/info/b.trashinfo",
                       "media/tester/USB/.Trash/" + uid + "/files/c",
                       "media/tester/USB/.Trash-4242/files/d"}
        << QStringList{"~/.local/share/Trash/files/a", "~/.local/share/Trash/info/a.trashinfo",
                       "@ROOT@/media/tester/USB/.Trash-" + uid + "/files/b/*",
                       "@ROOT@/media/tester/USB/.Trash-" + uid + "/info/b.trashinfo",
                       "@ROOT@/media/tester/USB/.Trash/" + uid + "/files/c"};
}

void TestCatalogExpansion::trashFollowsVolumes()
{
    QFETCH(PlatformKind, platform);
    QFETCH(QStringList, mountPoints);
    QFETCH(QStringList, planted);
    QFETCH(QStringList, expected);
    CatalogFixture fx({}, platform);
    const QString root = QFileInfo(fx.Root()).canonicalFilePath();
    KorvaneApp::SetProtectionRootForTests(root);
    for (const QString& entry : planted)
        CatalogFixture::PlantAt(root + "/" + entry);
    DISKINFO* disks = nullptr;
    auto* disk = new DISKINFO;
    AppendNode(disks, disk);
    for (const QString& mountPoint : mountPoints) {
        if (mountPoint == "|") {
            disk = new DISKINFO;
            AppendNode(disks, disk);
            continue;
        }
        auto* volume = new PARTITIONINFO;
        volume->mountPoint = QString(mountPoint).replace("@ROOT@", root);
        AppendNode(disk->partitionList, volume);
    }
    fx.app->diskList = disks;
    fx.app->homePath = root + "/home/tester";

    m_systemtraces.SystemTracesList(3);
    QStringList actual;
    for (const APPLICATIONINFO* node = m_systemtraces.NodeList(); node; node = node->next)
        for (const PATHINFO* path = node->pathList; node->currentId == 601000 && path; path = path->next)
            actual << path->path;
    actual.replaceInStrings(fx.app->homePath, "~").replaceInStrings(root, "@ROOT@");
    QCOMPARE(actual, expected);

    KorvaneApp::SetProtectionRootForTests(QString());
    // The application state's copy shares its volume lists with the volume discovery.
    for (DISKINFO* d = disks; d; d = d->next)
        FreeNodes(d->partitionList);
}

void TestCatalogExpansion::chromeProfilesStopBeforeFirefoxIds()
{
    CatalogFixture fx({"/Applications/Google Chrome.app", "/Applications/Firefox.app"});
    for (int i = 1; i <= 60; ++i)
        fx.Plant(QString("Library/Application Support/Google/Chrome/Profile %1/").arg(i, 2, 10, QChar('0')));
    fx.WriteText(fx.home + "/Library/Application Support/Firefox/profiles.ini", "Name=ff\nPath=Profiles/ff\n");

    m_internetactivity.InetrnetApplicationList(5);
    int chromeProfiles = 0;
    int lastId = 0;
    for (const APPLICATIONINFO* node = m_internetactivity.NodeList(); node; node = node->next) {
        if (node->parentId == 1000) {
            ++chromeProfiles;
            lastId = node->currentId;
        }
        if (node->currentId >= 2000 && node->currentId < 3000)
            QVERIFY2(node->parentId == 5 || node->parentId >= 2000, qPrintable(node->name));
    }
    QCOMPARE(chromeProfiles, 49); // DEFAULT and 48 further profiles
    QCOMPARE(lastId, 1980);
}

void TestCatalogExpansion::profilesIni_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("expected"); // profile nodes, then the Cookies and cache groups of each

    QTest::newRow("absolute value") << QByteArray("Name=ext\nPath=@ROOT@/ff\n")
                                    << QStringList{"2000 2020 ext", "2020 2021 Cookies", "    @ROOT@/ff/cookies.sqlite",
                                                   "2020 2023 Internet Cache", "    @ROOT@/ff/Cache/*"};
    QTest::newRow("Path before Name, then a section reusing the name")
        << QByteArray("Path=Profiles/p\nName=n\n[Profile1]\nPath=Profiles/q\n")
        << QStringList{"2000 2020 ",        "2000 2040 n",
                       "2020 2021 Cookies", "2020 2023 Internet Cache",
                       "2040 2041 Cookies", "2040 2043 Internet Cache"};
    QTest::newRow("other case and leading blanks ignored")
        << QByteArray("name=zz\n Path=Profiles/q\npath=Profiles/r\nNAME=x\n") << QStringList{};
    QTest::newRow("a bare relative value stays below the data folder")
        << QByteArray("Name=linuxish\nPath=abc.default\n")
        << QStringList{"2000 2020 linuxish", "2020 2021 Cookies", "    ~/FF/abc.default/cookies.sqlite",
                       "2020 2023 Internet Cache"};
}

void TestCatalogExpansion::profilesIni()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, expected);
    CatalogFixture fx({"/Applications/Firefox.app"});
    const QString ff = "Library/Application Support/Firefox";
    fx.WriteText(fx.home + "/" + ff + "/profiles.ini", ini.replace("@ROOT@", QFile::encodeName(fx.Root())));
    for (const QString& profile : {ff + "/Profiles/abc.default/", ff + "/abc.default/"})
        fx.Plant(profile + "cookies.sqlite");
    fx.PlantAt(fx.Root() + "/ff/cookies.sqlite");
    fx.PlantAt(fx.Root() + "/ff/Cache/");

    m_internetactivity.InetrnetApplicationList(5);
    QStringList actual;
    bool taken = false; // the paths of the groups of interest follow their node's line
    for (QString line : DumpNodes(m_internetactivity.NodeList(), fx.home)) {
        line.replace("~/" + ff, "~/FF").replace(fx.Root(), "@ROOT@");
        if (!line.startsWith("    "))
            taken = line.startsWith("2000 ") || line.contains(QRegExp("^20[24]0 20[24][13] "));
        if (taken)
            actual << line.section(" [", 0, 0);
    }
    QCOMPARE(actual, expected);
}

void TestCatalogExpansion::folderTexts_data()
{
    QTest::addColumn<QByteArray>("cacheHome"); // $XDG_CACHE_HOME; @HOME@ the home folder
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // ~ the home folder

    const char* const rows[][4] = {
        {"unset: the XDG default", "", "$XDG_CACHE_HOME/mozilla", "~/.cache/mozilla"},
        {"inside the home: taken", "@HOME@/var/cache", "$XDG_CACHE_HOME/mozilla", "~/var/cache/mozilla"},
        {"outside the home: ignored", "/var/tmp/c", "$XDG_CACHE_HOME", "~/.cache"},
        {"relative: ignored", "cache", "$XDG_CACHE_HOME/x", "~/.cache/x"},
        {"climbing out of the home: ignored", "@HOME@/../other", "$XDG_CACHE_HOME/x", "~/.cache/x"},
        {"a longer variable name is no match", "", "$XDG_CACHE_HOMEX/x", "$XDG_CACHE_HOMEX/x"},
        {"a Snap's current revision", "", "~/snap/brave/current/.config/b", "~/snap/brave/412/.config/b"},
        {"a current link that leaves the Snap's folder stays", "", "~/snap/odd/current/.config",
         "~/snap/odd/current/.config"},
        {"macOS texts as written", "", "/Library/Caches", "/Library/Caches"},
    };
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QByteArray(row[1]) << QString(row[2]) << QString(row[3]);
}

void TestCatalogExpansion::folderTexts()
{
    QFETCH(QByteArray, cacheHome);
    QFETCH(QString, text);
    QFETCH(QString, expected);
    CatalogFixture fx({}, PlatformKind::Linux);
    fx.Plant("snap/brave/412/");
    fx.Plant("snap/odd/");
    QVERIFY(QFile::link("412", fx.home + "/snap/brave/current"));
    QVERIFY(QFile::link("/etc", fx.home + "/snap/odd/current"));
    if (!cacheHome.isEmpty())
        qputenv("XDG_CACHE_HOME", cacheHome.replace("@HOME@", QFile::encodeName(fx.home)));
    const QString actual = ExpandFolderText(text);
    qunsetenv("XDG_CACHE_HOME");
    QCOMPARE(QString(actual).replace(fx.home, "~"), expected);
}

void TestCatalogExpansion::applicationLookup_data()
{
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QStringList>("installed"); // names of the installed chat and other applications
    QTest::addColumn<QStringList>("searched");  // grep's search names, in order

    const QStringList allSearches{"Messages",
                                  "Skype",
                                  "Adium",
                                  "ICQ",
                                  "VLC",
                                  "Adobe Flash Player Manager",
                                  "Adobe Flash Player Install Manager",
                                  "MPlayer OSX"};
    QTest::newRow("standard locations, Messages below /System/Applications")
        << QStringList{"/System/Applications/Messages.app", "/Applications/Skype.app",
                       "/Applications/Utilities/Adobe Flash Player Install Manager.app"}
        << QByteArray("      Location: /Applications/Skype.app\n")
        << QStringList{"Messages", "Skype", "Adobe Flash Player"} << QStringList{"Adium", "ICQ", "VLC", "MPlayer OSX"};
    QTest::newRow("first listed location that exists wins; odd lines skipped")
        << QStringList{"/opt/Skype.app", "/Apps/Adium.app", "/Apps/VLC.app"}
        << QByteArray("      Location: /gone/Skype.app\n/Apps/Adium.app\nVLC without path\n"
                      "      Location: /opt/Skype.app\n  Adium/x\n  VLC Location: /Apps/VLC.app")
        << QStringList{"Skype", "VLC"} << allSearches;
    QTest::newRow("second search name after the first one's lines")
        << QStringList{"/x/Adobe Flash Player Install Manager.app"}
        << QByteArray("  Location: /y/Adobe Flash Player Manager.app\n"
                      "  Location: /x/Adobe Flash Player Install Manager.app\n")
        << QStringList{"Adobe Flash Player"} << allSearches;
}

void TestCatalogExpansion::applicationLookup()
{
    QFETCH(QStringList, present);
    QFETCH(QByteArray, list);
    QFETCH(QStringList, installed);
    QFETCH(QStringList, searched);
    CatalogFixture fx(present);
    FakeCommands fakes;
    fakes.AddScript("grep", "exec /bin/grep \"$@\"");
    // The list path reaches grep as one word, whatever it holds.
    fx.app->infoFilePath = fx.Root() + "/it's a \"$(list)\" `file`.txt";
    fx.WriteInstalledList(list);

    m_chatapplication.ChatApplicationList(30);
    m_otherapplication.OtherApplicationList(40);
    QStringList actual;
    for (TraceCatalog* catalog :
         {static_cast<TraceCatalog*>(&m_chatapplication), static_cast<TraceCatalog*>(&m_otherapplication)})
        for (const APPLICATIONINFO* node = catalog->NodeList(); node; node = node->next)
            if (node->installed && (node->parentId == 30 || node->parentId == 40))
                actual << node->name;
            else if (!node->installed)
                QVERIFY2(!node->pathList && (!node->next || node->next->parentId != node->currentId),
                         "a missing application has no paths and no groups");
    QCOMPARE(actual, installed);

    QStringList calls;
    for (const QString& call : fakes.Calls("grep")) {
        QCOMPARE(call.section('\t', 1), fx.app->infoFilePath);
        calls << call.section('\t', 0, 0);
    }
    QCOMPARE(calls, searched);
}

QTEST_GUILESS_MAIN(TestCatalogExpansion)
#include "tst_catalogexpansion.moc"
