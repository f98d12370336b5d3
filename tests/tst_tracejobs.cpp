// The traces tree as the command-line eraser lists it, and the erasure jobs that selecting
// one node yields, built the way the selection screen builds them.
#include "CatalogTestSupport.h"

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
    void addJobsFillsJobListAndSummary();
    void handBuiltListsFollowTheScreensRules();

private:
    QScopedPointer<CatalogFixture> fx;
};

void TestTraceJobs::init()
{
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
    QCOMPARE(lines.mid(0, internet), QStringList({
                                         "4  Application Traces  installed  6 paths",
                                         "  20  Mac Application  installed  0 paths",
                                         "    301000  Apple Menu  not installed  0 paths",
                                         "    302000  Disk Utility  not installed  0 paths",
                                         "    303000  Finder  not installed  0 paths",
                                         "    304000  iTunes  not installed  0 paths",
                                         "    305000  Quick Time Player  not installed  0 paths",
                                         "    306000  Preview  not installed  0 paths",
                                         "    307000  Calculator  not installed  0 paths",
                                         "    308000  Apple Notes  not installed  0 paths",
                                         "    310000  Photos  not installed  0 paths",
                                         "  30  Chat Application  installed  0 paths",
                                         "    401000  Messages  not installed  0 paths",
                                         "    403000  Skype  not installed  0 paths",
                                         "    406000  Adium  not installed  0 paths",
                                         "    407000  ICQ  not installed  0 paths",
                                         "  40  Other Application  installed  6 paths",
                                         "    501000  VLC  installed  3 paths",
                                         "      501001  Recent File  installed  3 paths",
                                         "    502000  Adobe Flash Player  installed  3 paths",
                                         "      502001  Cookies  installed  2 paths",
                                         "      502002  Internet Cache  installed  1 path",
                                         "    503000  MPlayer  not installed  0 paths",
                                     }));
    // Nine browsers, none present; then the system groups, Trash first.
    QCOMPARE(lines.mid(internet + 1, 9).filter("not installed  0 paths").size(), 9);
    // 21 fixed paths, one Trash path per volume, and what the two log patterns found here.
    int hostDependent = 0;
    for (DISKINFO* disk = fx->app->diskList; disk; disk = disk->next)
        for (PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next)
            ++hostDependent;
    for (APPLICATIONINFO* node = fx->app->systemTracesList; node; node = node->next)
        for (PATHINFO* path = node->pathList; path; path = path->next)
            hostDependent += (node->currentId == 606000 || node->currentId == 607000) ? 1 : 0;
    QCOMPARE(lines.at(internet + 10), QString("3  System Traces  installed  %1 paths").arg(21 + hostDependent));
    QVERIFY(lines.at(internet + 11).startsWith("  601000  Trash  installed  "));
    QCOMPARE(lines.size(), internet + 11 + 19);
}

void TestTraceJobs::subtreeJobs_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("jobs"); // "type size path", home as "~"

    const QString sfl = "~/Library/Application Support/com.apple.sharedfilelist/"
                        "com.apple.LSSharedFileList.ApplicationRecentDocuments/";
    const QString flash = "~/Library/Preferences/Macromedia/Flash Player/";
    const QStringList vlc{"0 5 ~/Library/Preferences/org.videolan.vlc.LSSharedFileList.plist",
                          "0 0 " + sfl + "org.videolan.vlc.sfl2", "0 0 " + sfl + "org.videolan.vlc.sfl"};
    const QStringList flashJobs{"1 0 " + flash + "#SharedObjects", "1 0 " + flash + "macromedia.com/support",
                                "1 0 ~/Library/Caches/Adobe/Flash Player"};
    QTest::newRow("one content group") << 501001 << vlc;
    QTest::newRow("an application takes its groups; /* paths become folders") << 502000 << flashJobs;
    QTest::newRow("a category takes the whole subtree") << 4 << vlc + flashJobs;
    QTest::newRow("a missing application has nothing") << 503000 << QStringList{};
    QTest::newRow("a system group") << 624000 << QStringList{"0 0 ~/.bash_history"};
}

void TestTraceJobs::subtreeJobs()
{
    QFETCH(int, id);
    QFETCH(QStringList, jobs);
    APPLICATIONINFO* list = TraceTree::CategoryListFor(*fx->app, id);
    QVERIFY(list);
    QStringList actual;
    for (APPWIPINGINFO job : TraceTree::CollectJobs(list, fx->app->appList, id, 10, 2)) {
        QCOMPARE(job.category, QString("Traces Wiped"));
        QCOMPARE(job.algorithm, 10);
        QCOMPARE(job.verification, 2);
        QVERIFY(job.plistPath.isEmpty());
        actual << QString("%1 %2 %3").arg(job.wipeType).arg(job.itemSize).arg(job.itemPath.replace(fx->home, "~"));
    }
    QCOMPARE(actual, jobs);
}

void TestTraceJobs::addJobsFillsJobListAndSummary()
{
    fx->app->algorithm = 3;
    QVERIFY(TraceTree::AddJobs(*fx->app, 501001));
    QVERIFY(TraceTree::AddJobs(*fx->app, 40));
    QVERIFY(!TraceTree::AddJobs(*fx->app, 7));
    QVERIFY(!TraceTree::AddJobs(*fx->app, 123456));
    int count = 0;
    for (APPWIPINGINFO* job = fx->app->wipingInfoList; job; job = job->next, ++count)
        QCOMPARE(job->algorithm, 3);
    QCOMPARE(count, 3 + 6);
    QCOMPARE(fx->app->tracesSummaryList, QStringList({"Application Traces/Other Application/VLC/Recent File",
                                                      "Application Traces/Other Application"}));
    QCOMPARE(TraceTree::SummaryText(*fx->app, 3), QString("System Traces"));
    QCOMPARE(TraceTree::SummaryText(*fx->app, 1000), QString("Internet Activity/Google Chrome"));
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

QTEST_GUILESS_MAIN(TestTraceJobs)
#include "tst_tracejobs.moc"
