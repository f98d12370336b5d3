// The traces tree as the command-line eraser lists it, the erasure jobs that selecting
// one node yields, built the way the selection screen builds them, what erasing one group
// of a Linux home leaves, and the running applications named before erasing.
#include "CatalogTestSupport.h"
#include "TestFiles.h"

#include "EraseCommandLine.h"
#include "TraceTree.h"

class TestTraceJobs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void outlineListsEveryNode();
    void subtreeJobs_data();
    void subtreeJobs();
    void handBuiltListsFollowTheScreensRules();
    void erasingOneGroupKeepsTheOthers_data();
    void erasingOneGroupKeepsTheOthers();
    void runningApplicationsAreNamed_data();
    void runningApplicationsAreNamed();

private:
    QScopedPointer<CatalogFixture> fx;
};

void TestTraceJobs::init()
{
    // A macOS home with two applications, or the Linux home where files are erased.
    const QByteArray function = QTest::currentTestFunction();
    if (function == "erasingOneGroupKeepsTheOthers" || function == "runningApplicationsAreNamed") {
        fx.reset(new CatalogFixture({}, PlatformKind::Linux));
        fx->PlantLinuxHome();
        return;
    }
    fx.reset(new CatalogFixture({"/Applications/VLC.app", "/Applications/Adobe Flash Player Manager.app"}));
    fx->Plant("Library/Preferences/org.videolan.vlc.LSSharedFileList.plist"); // 5 bytes
    QVERIFY(fx->app->GetKVFInfo());
}

void TestTraceJobs::cleanup()
{
    fx.reset();
}

void TestTraceJobs::outlineListsEveryNode()
{
    const QStringList lines = TraceTree::Format(*fx->app);
    const int internet = lines.indexOf("5  Internet Activity  installed  0 paths");
    QVERIFY(internet > 0);
    // Every node with its state and number of paths, indented below its parent.
    for (const char* line :
         {"4  Application Traces  installed  6 paths", "  20  Mac Application  installed  0 paths",
          "    301000  Apple Menu  not installed  0 paths", "  30  Chat Application  installed  0 paths"})
        QVERIFY2(lines.mid(0, internet).contains(line), line);
    const int other = lines.indexOf("  40  Other Application  installed  6 paths");
    QCOMPARE(lines.mid(other + 1, internet - other - 1), QStringList({
                                                             "    501000  VLC  installed  3 paths",
                                                             "      501001  Recent File  installed  3 paths",
                                                             "    502000  Adobe Flash Player  installed  3 paths",
                                                             "      502001  Cookies  installed  2 paths",
                                                             "      502002  Internet Cache  installed  1 path",
                                                             "    503000  MPlayer  not installed  0 paths",
                                                         }));
    QCOMPARE(internet, 23);
    // Nine browsers, none present; then the system groups, Trash first.
    QCOMPARE(lines.mid(internet + 1, 9).filter("not installed  0 paths").size(), 9);
    QVERIFY(lines.at(internet + 10).startsWith("3  System Traces  installed  ")); // the paths depend on the host
    QVERIFY(lines.at(internet + 11).startsWith("  601000  Trash  installed  "));
    QCOMPARE(lines.size(), internet + 11 + 19);
}

void TestTraceJobs::subtreeJobs_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("summary");  // empty: not a node of the traces
    QTest::addColumn<QStringList>("jobs"); // "type size path", home as "~"

    const QString sfl = "~/Library/Application Support/com.apple.sharedfilelist/"
                        "com.apple.LSSharedFileList.ApplicationRecentDocuments/";
    const QString flash = "~/Library/Preferences/Macromedia/Flash Player/";
    const QStringList vlc{"0 5 ~/Library/Preferences/org.videolan.vlc.LSSharedFileList.plist",
                          "0 0 " + sfl + "org.videolan.vlc.sfl2", "0 0 " + sfl + "org.videolan.vlc.sfl"};
    const QStringList flashJobs{"1 0 " + flash + "#SharedObjects", "1 0 " + flash + "macromedia.com/support",
                                "1 0 ~/Library/Caches/Adobe/Flash Player"};
    QTest::newRow("one content group") << 501001 << "Application Traces/Other Application/VLC/Recent File" << vlc;
    QTest::newRow("an application takes its groups; /* paths become folders")
        << 502000 << "Application Traces/Other Application/Adobe Flash Player" << flashJobs;
    QTest::newRow("a category takes the whole subtree") << 4 << "Application Traces" << vlc + flashJobs;
    QTest::newRow("a missing application has nothing")
        << 503000 << "Application Traces/Other Application/MPlayer" << QStringList{};
    QTest::newRow("a missing browser") << 1000 << "Internet Activity/Google Chrome" << QStringList{};
    QTest::newRow("a system group") << 624000 << "System Traces/Bash History" << QStringList{"0 0 ~/.bash_history"};
    QTest::newRow("the drives") << 7 << QString() << QStringList{};
    QTest::newRow("no such node") << 123456 << QString() << QStringList{};
}

void TestTraceJobs::subtreeJobs()
{
    QFETCH(int, id);
    QFETCH(QString, summary);
    QFETCH(QStringList, jobs);
    fx->app->algorithm = 10;
    fx->app->verification = 2;
    QCOMPARE(TraceTree::AddJobs(*fx->app, id), !summary.isEmpty());
    QStringList actual;
    for (APPWIPINGINFO* job = fx->app->wipingInfoList; job; job = job->next) {
        QCOMPARE(job->category, QString("Traces Wiped"));
        QCOMPARE(job->algorithm, 10);
        QCOMPARE(job->verification, 2);
        QVERIFY(job->plistPath.isEmpty());
        actual << QString("%1 %2 %3").arg(job->wipeType).arg(job->itemSize).arg(job->itemPath.replace(fx->home, "~"));
    }
    QCOMPARE(actual, jobs);
    QCOMPARE(fx->app->tracesSummaryList, summary.isEmpty() ? QStringList() : QStringList{summary});
}

void TestTraceJobs::handBuiltListsFollowTheScreensRules()
{
    // Rows of a category list and of appList: a group with a property-list item, a node whose
    // appList record has another parent (not taken), and two nodes naming each other.
    PATHINFO* paths = nullptr;
    for (auto [path, plist] : {std::pair<QString, QString>{"/t/a.plist", ""}, {"", "/t/b.plist"}, {"/t/c/*", "/t/d"}}) {
        auto* p = new PATHINFO;
        p->path = path;
        p->plistPath = plist;
        AppendNode(paths, p);
    }
    auto node = [](int parent, int current, PATHINFO* list = nullptr) {
        auto* n = new APPLICATIONINFO;
        n->parentId = parent;
        n->currentId = current;
        n->pathList = list;
        return n;
    };
    APPLICATIONINFO* category = nullptr;
    APPLICATIONINFO* rows = nullptr;
    for (APPLICATIONINFO* n : {node(4, 90), node(90, 91, paths), node(90, 92), node(93, 94), node(94, 93)})
        AppendNode(category, n);
    for (APPLICATIONINFO* n : {node(4, 90), node(90, 91, paths), node(77, 92, paths), node(93, 94), node(94, 93)})
        AppendNode(rows, n);

    QStringList actual;
    for (const APPWIPINGINFO& job : TraceTree::CollectJobs(category, rows, 4, 0, 0))
        actual << QString("%1 [%2] [%3]").arg(job.wipeType).arg(job.itemPath, job.plistPath);
    QCOMPARE(actual, QStringList({"0 [/t/a.plist] []", "2 [] [/t/b.plist]", "1 [/t/c] []", "2 [] [/t/d]"}));
    QCOMPARE(TraceTree::CollectJobs(category, rows, 93, 0, 0).size(), 0); // the cycle ends

    FreePathList(paths);
    FreeNodes(category);
    FreeNodes(rows);
}

void TestTraceJobs::erasingOneGroupKeepsTheOthers_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("erased"); // below the home; a folder ends in "/"

    QTest::newRow("Chrome cookies of one profile")
        << 1021 << QStringList{".config/google-chrome/Default/Cookies", ".config/google-chrome/Default/Local Storage/"};
    QTest::newRow("Chrome cache lies in the cache folder")
        << 1025 << QStringList{".cache/google-chrome/Default/Cache/", ".cache/google-chrome/Default/Code Cache/"};
    QTest::newRow("Firefox history of the relative profile, bookmark backups stay")
        << 2084
        << QStringList{".mozilla/firefox/abc.default-release/places.sqlite",
                       ".mozilla/firefox/abc.default-release/places.sqlite-wal"};
    QTest::newRow("Firefox profile at an absolute path")
        << 2060 << QStringList{"Work/ff/formhistory.sqlite", "Work/ff/logins.json", "Work/ff/cache2/"};
    QTest::newRow("Chromium from its Snap") << 10000
                                            << QStringList{"snap/chromium/common/chromium/Default/History",
                                                           "snap/chromium/common/.cache/chromium/Default/Cache/"};
    QTest::newRow("Brave through the Snap's current revision")
        << 11000 << QStringList{"snap/brave/412/.config/BraveSoftware/Brave-Browser/Default/Favicons"};
    // The link goes, its target outside the home stays; the browsers' caches, the portal's
    // and dconf's folders stay.
    QTest::newRow("user cache") << 659000 << QStringList{".cache/pip/", ".cache/fontconfig/", ".cache/linked"};
    QTest::newRow("trash") << 601000
                           << QStringList{".local/share/Trash/files/secret.txt", ".local/share/Trash/files/.hidden",
                                          ".local/share/Trash/files/old/",
                                          ".local/share/Trash/info/secret.txt.trashinfo"};
}

void TestTraceJobs::erasingOneGroupKeepsTheOthers()
{
    QFETCH(int, id);
    QFETCH(QStringList, erased);
    const QString root = QFileInfo(fx->Root()).canonicalFilePath();
    // The mounted volumes of this machine lie outside the root and are left alone.
    KorvaneApp::SetProtectionRootForTests(root);
    const QString home = "home/tester/";
    const Sums before = Checksums(root, "bundle/");

    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int status = EraseCommandLine(&outStream, &errStream, false)
                           .Run({"-q", "--trace", QString::number(id)}, fx->Root() + "/bundle/bin");
    KorvaneApp::SetProtectionRootForTests(QString());
    QVERIFY2(status == 0, qPrintable(out + err));

    const Sums after = Checksums(root, "bundle/");
    for (const QString& entry : erased)
        QVERIFY2(!QFileInfo(root + "/" + home + entry).exists() && !QFileInfo(root + "/" + home + entry).isSymLink(),
                 qPrintable(entry));
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        bool chosen = false;
        for (const QString& entry : erased)
            chosen = chosen || it.key() == home + entry || (entry.endsWith('/') && it.key().startsWith(home + entry));
        if (!chosen)
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable("changed or gone: " + it.key()));
    }
}

void TestTraceJobs::runningApplicationsAreNamed_data()
{
    QTest::addColumn<QStringList>("processes"); // "pid comm"
    QTest::addColumn<QStringList>("locks");     // "link below the home=target"
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QStringList>("names");

    const QString chromeLock = ".config/google-chrome/SingletonLock=myhost-";
    QTest::newRow("a program") << QStringList{"100 firefox"} << QStringList{} << QList<int>{2000}
                               << QStringList{"Mozilla Firefox"};
    QTest::newRow("a profile lock held by a live process")
        << QStringList{"200 chrome-sandbox"} << QStringList{chromeLock + "200"} << QList<int>{1021}
        << QStringList{"Google Chrome"};
    QTest::newRow("a stale lock") << QStringList{"200 bash"} << QStringList{chromeLock + "201"} << QList<int>{1000}
                                  << QStringList{};
    QTest::newRow("Firefox's profile lock")
        << QStringList{"300 x"} << QStringList{".mozilla/firefox/abc.default-release/lock=127.0.1.1:+300"}
        << QList<int>{2084} << QStringList{"Mozilla Firefox"};
    QTest::newRow("categories take their applications")
        << QStringList{"100 firefox", "102 Discord"} << QStringList{} << QList<int>{4, 5}
        << QStringList{"Discord", "Mozilla Firefox"};
    QTest::newRow("an application not chosen is not named")
        << QStringList{"100 firefox"} << QStringList{} << QList<int>{1000, 659000, 624000} << QStringList{};
}

void TestTraceJobs::runningApplicationsAreNamed()
{
    QFETCH(QStringList, processes);
    QFETCH(QStringList, locks);
    QFETCH(QList<int>, ids);
    QFETCH(QStringList, names);
    for (const QString& process : processes)
        fx->WriteText(fx->Root() + "/proc/" + process.section(' ', 0, 0) + "/comm",
                      process.section(' ', 1).toUtf8() + "\n");
    for (const QString& lock : locks)
        QVERIFY(QFile::link(lock.section('=', 1), fx->home + "/" + lock.section('=', 0, 0)));
    TraceTree::SetProcRootForTests(fx->Root() + "/proc");
    QVERIFY(fx->app->GetKVFInfo());
    const QStringList actual = TraceTree::RunningApplications(*fx->app, ids);
    TraceTree::SetProcRootForTests(QString());
    QCOMPARE(actual, names);
    QCOMPARE(TraceTree::RunningWarning({"Mozilla Firefox"}),
             QString("Mozilla Firefox is running: its files may be in use and rewritten while they are erased. "
                     "Quit it before erasing."));
}

QTEST_GUILESS_MAIN(TestTraceJobs)
#include "tst_tracejobs.moc"
