// The whole traces tree that start-up builds for a fake home, held against a recorded tree,
// and the rules every catalog table keeps.
#include "CatalogTestSupport.h"

#include "ChatApplication.h"
#include "InternetActivity.h"
#include "MacApplication.h"
#include "OtherApplication.h"
#include "SystemTraces.h"

#include "FakeCommands.h"
#include "Platform.h"

#include <QRegularExpression>

Q_DECLARE_METATYPE(PlatformKind)

using namespace Catalog;

class TestCatalogTree : public QObject
{
    Q_OBJECT

private slots:
    void homeBuildsRecordedTree_data();
    void homeBuildsRecordedTree();
    void tablesKeepTheirRules_data();
    void tablesKeepTheirRules();
    void rootWithoutHomeUsesRootsHome();
};

namespace {
QStringList ReadExpected(const QString& name, const QString& root)
{
    QFile file(qEnvironmentVariable("KV_SOURCE_DIR") + "/tests/data/catalogs/" + name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {"cannot read " + name};
    QStringList lines = QString::fromUtf8(file.readAll()).replace("@ROOT@", root).split('\n');
    lines.removeAll(QString());
    return lines;
}

std::vector<const Application*> AllApplications(PlatformKind platform)
{
    std::vector<const Application*> all;
    const bool mac = platform == PlatformKind::MacOS;
    for (const auto* table : {mac ? &macapplication::Table() : &macapplication::LinuxTable(),
                              mac ? &chatapplication::Table() : &chatapplication::LinuxTable(),
                              mac ? &otherapplication::Table() : &otherapplication::LinuxTable(),
                              mac ? &internetactivity::Table() : &internetactivity::LinuxTable()})
        all.insert(all.end(), table->begin(), table->end());
    return all;
}

// A folder text of a Linux table: below the home folder or an XDG base folder.
bool HomeFolderText(const char* text)
{
    const QString folder = QString::fromUtf8(text);
    return QRegularExpression("^(~|\\$XDG_(CONFIG|CACHE|DATA|STATE)_HOME)/[^*]+[^/]$").match(folder).hasMatch() &&
           !folder.contains("//") && !folder.contains("/../");
}

// A table path: starts with "/" (profile paths and absolute ones alike), no empty component,
// and a "*" only where its expansion reads it.
QString PathRuleViolation(const TracePath& path)
{
    const QString text = QString::fromUtf8(path.text);
    if (path.expand == Expand::VolumeTrashes || path.expand == Expand::FreedesktopTrashes)
        return text.isEmpty() ? QString() : "volume rule with text";
    if (!path.except.empty() && path.expand != Expand::Matches)
        return "exceptions outside a match: " + text;
    if (!text.startsWith('/') || text.contains("//") || text.endsWith('/'))
        return "not a clean absolute suffix: " + text;
    const QString last = text.section('/', -1);
    const QString folder = text.section('/', 0, -2);
    if (folder.contains('*'))
        return "star before the last component: " + text;
    switch (path.expand) {
    case Expand::Matches:
        return last.isEmpty() ? "a match without a name: " + text : QString();
    case Expand::Plain:
        return (text.contains('*') && last != "*") ? "plain path with a pattern: " + text : QString();
    case Expand::Files:
    case Expand::Folders: // without a star the whole name is the prefix
        return last.count('*') > 1 ? "pattern with two stars: " + text : QString();
    case Expand::AccountArchives:
        return text.contains('*') ? "archive folder with a star: " + text : QString();
    default: // the volume rules, above
        break;
    }
    return QString();
}
} // namespace

void TestCatalogTree::homeBuildsRecordedTree_data()
{
    QTest::addColumn<PlatformKind>("platform");
    QTest::newRow("macOS") << PlatformKind::MacOS;
    QTest::newRow("Linux") << PlatformKind::Linux;
}

void TestCatalogTree::homeBuildsRecordedTree()
{
    QFETCH(PlatformKind, platform);
    const bool mac = platform == PlatformKind::MacOS;
    // On macOS every application is present except Disk Utility, MPlayer and iCab, some only at
    // their second location or through the installed-applications list.
    QStringList bundles{"/System", "/Volumes/Apps/Skype.app", "/opt/Flash/Adobe Flash Player Install Manager.app"};
    for (const char* name : {"iTunes", "Calculator", "Notes", "ICQ", "Adium", "VLC", "Google Chrome", "Firefox",
                             "Opera", "Safari", "Camino", "OmniWeb", "Navigator", "Flock"})
        bundles << QString("/Applications/%1.app").arg(name);
    for (const char* name : {"QuickTime Player", "Preview", "Photos", "Messages"})
        bundles << QString("/System/Applications/%1.app").arg(name);
    CatalogFixture fx(mac ? bundles : QStringList{}, platform);
    if (!mac) {
        fx.PlantLinuxHome();
        // Kate's desktop entry alone offers nothing: it left no traces.
        fx.PlantAt(fx.Root() + "/usr/bin/kate");
        fx.WriteInstalledList("    Kate Location: " + QFile::encodeName(fx.Root()) + "/usr/bin/kate\n");
    } else {
        fx.WriteInstalledList("      Location: /Applications/Skype.app\n"
                              "      Location: /Volumes/Apps/Skype.app\n"
                              "      Location: /opt/Flash/Adobe Flash Player Install Manager.app\n");
        for (const char* file :
             {"Library/Application Support/Google/Chrome/Default/Cookies",
              "Library/Application Support/Google/Chrome/Default/Cookies-journal",
              "Library/Application Support/Google/Chrome/Profile 1/History",
              "Library/Application Support/Google/Chrome/System Profile/",
              "Library/Application Support/Google/Chrome/.profile-hidden/",
              "Library/Application Support/Google/Chrome/profile.json", "Library/Caches/Google/Chrome/Default/Cache/",
              "Library/Application Support/Firefox/Profiles/abc.default/cookies.sqlite",
              "Library/Application Support/Firefox/Profiles/abc.default/places.sqlite",
              "Library/Caches/Firefox/Profiles/abc.default/cache2/", "Library/Safari/History.db",
              "Library/Safari/Databases/___IndexedDB/one.db", "Library/Safari/Databases/___IndexedDB/sub/two.db",
              "Library/Safari/icons/", "Library/Application Support/ICQ/history.sqlite-wal",
              "Library/Application Support/ICQ/12345/archive/",
              // In the container: an archive, and what is none (another folder, a file, a
              // hidden account).
              "Library/Containers/com.icq.macicq/Data/Library/Application Support/ICQ/111/archive/",
              "Library/Containers/com.icq.macicq/Data/Library/Application Support/ICQ/222/other/",
              "Library/Containers/com.icq.macicq/Data/Library/Application Support/ICQ/333/archive",
              "Library/Containers/com.icq.macicq/Data/Library/Application Support/ICQ/.hid/archive/",
              "Library/Caches/com.icq.macicq/Cache.db",
              "Library/Application Support/Microsoft/Skype for Desktop/Cookies",
              "Library/Containers/com.apple.Notes/Data/Library/Caches/com.apple.Notes/Cache.db-shm",
              "Library/Caches/Opera/icons/site.png", "Library/Caches/com.operasoftware.Opera/Cache/",
              "Library/Caches/Flock/Profiles/first/Cache/"})
            fx.Plant(file);
        fx.PlantAt(fx.Root() + "/navigator-work/bookmarks.html");
        fx.WriteText(fx.home + "/Library/Application Support/Firefox/profiles.ini",
                     "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\n");
        fx.WriteText(fx.home + "/Library/Application Support/Navigator/profiles.ini",
                     "[Profile0]\nName=work\nPath=" + QFile::encodeName(fx.Root()) + "/navigator-work\n");
        fx.WriteText(fx.home + "/Library/Application Support/Flock/profiles.ini", "Path=Profiles/first\nName=named\n");
    }

    QVERIFY(fx.app->GetKVFInfo());
    const QStringList expected = ReadExpected(mac ? "fake-home-tree.txt" : "linux-home-tree.txt", fx.Root());
    // Without the drives and the trashes of this machine's volumes (their rule: tst_catalogexpansion).
    const QStringList actual =
        DumpNodes(fx.app->appList, fx.home).filter(QRegularExpression("^(?!0 7 |7 |    .*/\\.Trashes/\\*$)"));
    if (qEnvironmentVariableIsSet("KV_PRINT_TREE")) // to review a changed tree by eye
        qInfo().noquote() << actual.join('\n');
    QCOMPARE(actual, expected);
    // Nothing of the Linux tree lies outside the home, and no path passes through a link.
    for (const QString& line : actual) {
        if (!mac && line.startsWith("    "))
            QVERIFY2(line.startsWith("    ~/") && !line.contains("/outside/") && !line.contains("/current/"),
                     qPrintable(line));
    }

    // The three category lists hold the same rows as appList below their category, each
    // child after its parent.
    auto section = [&](int first, int last) {
        const QStringList all = DumpNodes(fx.app->appList, fx.home);
        const int from = all.indexOf(QRegularExpression(QString("^%1 .*").arg(first)));
        const int to = last ? all.indexOf(QRegularExpression(QString("^0 %1 .*").arg(last))) : all.size();
        return all.mid(from, to - from);
    };
    QCOMPARE(DumpNodes(fx.app->appTracesList, fx.home), section(4, 5));
    QCOMPARE(DumpNodes(fx.app->internetTracesList, fx.home), section(5, 3));
    QCOMPARE(DumpNodes(fx.app->systemTracesList, fx.home), section(3, 0));
    for (APPLICATIONINFO* list : {fx.app->appTracesList, fx.app->internetTracesList, fx.app->systemTracesList}) {
        QSet<int> seen{3, 4, 5};
        for (APPLICATIONINFO* node = list; node; node = node->next) {
            QVERIFY2(seen.contains(node->parentId), qPrintable(node->name));
            QVERIFY2(!seen.contains(node->currentId) || node->currentId == node->parentId, qPrintable(node->name));
            seen.insert(node->currentId);
        }
    }

    QStringList pane;
    for (LEFTPANEINFO* entry = fx.app->leftPaneList; entry; entry = entry->next)
        if (entry->group == 0)
            pane << QString("%1 %2 %3").arg(entry->id).arg(entry->title, entry->icon);
    QCOMPARE(pane, QStringList({"4 Application Traces :/images/images/Traces/Application_Traces.png",
                                "5 Internet Activity :/images/images/Traces/InternetActivity.png",
                                "3 System Traces :/images/images/Traces/System_Traces.png"}));
}

void TestCatalogTree::tablesKeepTheirRules_data()
{
    QTest::addColumn<PlatformKind>("platform");
    QTest::addColumn<int>("applications");
    QTest::addColumn<int>("systemGroups");
    QTest::newRow("macOS") << PlatformKind::MacOS << 25 << 19;
    QTest::newRow("Linux") << PlatformKind::Linux << 17 << 12;
}

void TestCatalogTree::tablesKeepTheirRules()
{
    QFETCH(PlatformKind, platform);
    QFETCH(int, applications);
    QFETCH(int, systemGroups);
    const bool onLinux = platform == PlatformKind::Linux;
    QSet<int> applicationIds;
    for (const Application* app : AllApplications(platform)) {
        QVERIFY2(!applicationIds.contains(app->id), app->name);
        applicationIds.insert(app->id);
        QVERIFY2(!app->locations.empty(), app->name);
        for (const char* location : app->locations)
            QVERIFY2(onLinux ? HomeFolderText(location) : QString(location).startsWith('/'), location);
        for (const ProfileRoot& root : app->profiles.roots)
            QVERIFY2(onLinux && HomeFolderText(root.dataFolder) && HomeFolderText(root.cacheFolder), root.dataFolder);
        // A Linux application can be told running by a program name or a profile lock.
        QVERIFY2(!onLinux || !app->processes.empty(), app->name);
        QVERIFY2(QString(app->icon).startsWith(":/images/images/"), app->icon);
        QVERIFY2(QFile::exists(QString(app->icon)) ||
                     QFile::exists(qEnvironmentVariable("KV_SOURCE_DIR") + "/resources" + QString(app->icon).mid(8)),
                 app->icon);
        QSet<int> numbers;
        for (const TraceGroup& group : app->groups) {
            // Group numbers stay below the step between two profiles of one browser.
            QVERIFY2(group.id >= 1 && group.id < 20 && !numbers.contains(group.id), group.name);
            numbers.insert(group.id);
            for (const TracePath& path : group.paths) {
                QVERIFY2(PathRuleViolation(path).isEmpty(), qPrintable(PathRuleViolation(path)));
                const bool profilePath = path.base == Base::ProfileData || path.base == Base::ProfileCache;
                QVERIFY2(profilePath == (app->profiles.kind != Profiles::None), path.text);
                // Linux tables name the base folder of every path.
                QVERIFY2(!onLinux || path.base != Base::Absolute, path.text);
            }
        }
    }
    QSet<int> groupIds;
    for (const TraceGroup& group : onLinux ? systemtraces::LinuxTable() : systemtraces::Table()) {
        QVERIFY2(group.id >= 601000 && group.id < 700000 && !groupIds.contains(group.id), group.name);
        groupIds.insert(group.id);
        for (const TracePath& path : group.paths)
            QVERIFY2(PathRuleViolation(path).isEmpty(), qPrintable(PathRuleViolation(path)));
    }
    if (onLinux) {
        // "User Cache" leaves the cache folders that other groups erase to those groups.
        const TraceGroup& userCache = systemtraces::LinuxTable().back();
        QCOMPARE(QString(userCache.name), QString("User Cache"));
        QStringList claimed;
        for (const Application* app : AllApplications(platform)) {
            for (const ProfileRoot& root : app->profiles.roots)
                claimed << QString(root.cacheFolder);
            for (const TraceGroup& group : app->groups)
                for (const TracePath& path : group.paths)
                    if (path.base == Base::CacheHome)
                        claimed << "$XDG_CACHE_HOME" + QString(path.text);
        }
        for (const TraceGroup& group : systemtraces::LinuxTable())
            for (const TracePath& path : group.paths)
                if (path.base == Base::CacheHome && &group != &userCache)
                    claimed << "$XDG_CACHE_HOME" + QString(path.text);
        for (const QString& folder : claimed.filter(QRegularExpression("^\\$XDG_CACHE_HOME/"))) {
            const QString first = folder.section('/', 1, 1);
            bool excepted = false;
            for (const char* except : userCache.paths.front().except)
                excepted = excepted || first == except;
            QVERIFY2(excepted, qPrintable(folder));
        }
    }
    QCOMPARE(int(AllApplications(platform).size()), applications);
    QCOMPARE(int(groupIds.size()), systemGroups);
}

void TestCatalogTree::rootWithoutHomeUsesRootsHome()
{
    CatalogFixture fx;
    FakeCommands fakes;
    fakes.Add("whoami", "root\n");
    qunsetenv("HOME");
    fx.app->homePath.clear();
    QVERIFY(fx.app->GetKVFInfo());
    const QString rootHome = PlatformPaths::RootHome(HostPlatform());
    QCOMPARE(fx.app->homePath, rootHome);
    QStringList bash;
    for (APPLICATIONINFO* node = fx.app->systemTracesList; node; node = node->next)
        if (node->currentId == 624000 || node->currentId == 642000)
            bash << node->pathList->path;
    QCOMPARE(bash, QStringList({rootHome + "/.bash_history", rootHome + "/Library/Saved Application State/*"}));
}

QTEST_GUILESS_MAIN(TestCatalogTree)
#include "tst_catalogtree.moc"
