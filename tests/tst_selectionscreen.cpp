// The selection screen over a temporary tree: pages and headers, the volume views, and the
// job and summary lists that Erase builds from files, trace groups and volumes.
#include "SelectionTestSupport.h"

#include "MessageBox.h"
#include "MyFileSystemModel.h"
#include "ScreenHooks.h"

#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QToolBox>
#include <QTreeWidget>
#include <QtTest>

namespace {
const QString kNoSelection = QStringLiteral("Erase|Select an item to erase.");
const QString kProtected =
    QStringLiteral("Erase|These items lie in protected system locations and will not be erased:\n");

// Appends a catalog node to the category list and its record, with paths, to appList.
void AddTraceNode(APPLICATIONINFO*& catalog, const QString& name, int parent, int id, bool installed,
                  const QStringList& paths = {}, const QString& plist = QString())
{
    auto* node = new APPLICATIONINFO;
    node->name = name;
    node->parentId = parent;
    node->currentId = id;
    node->installed = installed;
    AppendNode(catalog, node);
    auto* record = new APPLICATIONINFO(*node);
    record->next = nullptr;
    for (const QString& path : paths) {
        auto* entry = new PATHINFO;
        entry->path = path;
        AppendNode(record->pathList, entry);
    }
    if (!plist.isEmpty()) {
        auto* entry = new PATHINFO;
        entry->plistPath = plist;
        AppendNode(record->pathList, entry);
    }
    AppendNode(KorvaneApp::GetInstance()->appList, record);
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& name)
{
    const QList<QTreeWidgetItem*> found = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}
} // namespace

class TestSelectionScreen : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { MessageBox::ShownForTests().clear(); }
    void headerFollowsThePage_data();
    void headerFollowsThePage();
    void volumeViewIsRootedAtMountedVolumes_data();
    void volumeViewIsRootedAtMountedVolumes();
    void eraseBuildsJobs_data();
    void eraseBuildsJobs();
    void clicksOnTraceRows();
    void cancelKeepsSelectionAndEraseTwiceRebuilds();

private:
    void PlantTraces(SelectionFixture& f);
    void PlantDisk(SelectionFixture& f, const QString& mountPoint);
};

void TestSelectionScreen::PlantTraces(SelectionFixture& f)
{
    KorvaneApp* app = f.ui.app;
    app->FillLeftPaneListInit(QStringLiteral("Application Traces"), QString(), QString(), 0, 4, QString());
    app->FillLeftPaneListInit(QStringLiteral("Internet Activity"), QString(), QString(), 0, 5, QString());
    const QString traces = f.home + QStringLiteral("/Work/traces");
    AddTraceNode(app->appTracesList, QStringLiteral("Editor"), 4, 401, true);
    AddTraceNode(app->appTracesList, QStringLiteral("Recent Files"), 401, 40101, true,
                 {traces + QStringLiteral("/recent.txt"), traces + QStringLiteral("/cache/*")});
    AddTraceNode(app->appTracesList, QStringLiteral("Preferences"), 401, 40102, true, {},
                 traces + QStringLiteral("/editor.plist"));
    AddTraceNode(app->appTracesList, QStringLiteral("Player"), 4, 402, false);
    AddTraceNode(app->appTracesList, QStringLiteral("Playlists"), 402, 40201, false,
                 {traces + QStringLiteral("/playlist.txt")});
    AddTraceNode(app->internetTracesList, QStringLiteral("Browser"), 5, 501, true,
                 {traces + QStringLiteral("/history.txt")});
    f.MakeFile(QStringLiteral("home/tester/Work/traces/recent.txt"), 100);
}

void TestSelectionScreen::PlantDisk(SelectionFixture& f, const QString& mountPoint)
{
    auto* disk = new DISKINFO;
    disk->mediaName = QStringLiteral("Test Media");
    disk->listed = true;
    auto* volume = new PARTITIONINFO;
    volume->volumeName = QStringLiteral("volume");
    volume->fileSystem = QStringLiteral("ext4");
    volume->mountPoint = mountPoint;
    volume->totalSize = 1 << 20;
    volume->freeSpace = 12345;
    disk->partitionList = volume;
    AppendNode(f.ui.app->diskList, disk);
    auto* hidden = new DISKINFO;
    hidden->mediaName = QStringLiteral("Disk Image");
    AppendNode(f.ui.app->diskList, hidden);
}

void TestSelectionScreen::headerFollowsThePage_data()
{
    QTest::addColumn<QString>("chosen"); // F files, T traces, U unused space
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("subtitle");
    const QString traces = "Select the items to erase traces", unused = "Select the volume to erase unused space";
    QTest::newRow("traces only") << "T" << 0 << 1 << "Traces" << traces;
    QTest::newRow("files") << "FTU" << 0 << 3 << "Files & Folders" << QString("Select the files and folders to erase");
    QTest::newRow("traces") << "FTU" << 1 << 3 << "Traces" << traces;
    QTest::newRow("unused") << "FTU" << 2 << 3 << "Unused Space" << unused;
    QTest::newRow("files and unused") << "FU" << 1 << 2 << "Unused Space" << unused;
}

void TestSelectionScreen::headerFollowsThePage()
{
    QFETCH(QString, chosen);
    QFETCH(int, page);
    QFETCH(int, pages);
    QFETCH(QString, title);
    SelectionFixture f;
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    PlantTraces(f);
    PlantDisk(f, f.tree);
    TracesMain* screen = f.Open(chosen.contains('F'), chosen.contains('T'), chosen.contains('U'));
    auto* toolBox = screen->findChild<QToolBox*>(QStringLiteral("LeftToolBox"));
    QCOMPARE(toolBox->count(), pages);
    QCOMPARE(f.ui.app->helpPage, 1);
    toolBox->setCurrentIndex(page);
    QCOMPARE(screen->findChild<QLabel*>(QStringLiteral("label"))->text(), title);
    QTEST(screen->findChild<QLabel*>(QStringLiteral("label_2"))->text(), "subtitle");
    QCOMPARE(toolBox->itemText(page).mid(1).replace(QStringLiteral("&&"), QStringLiteral("&")), title);
    if (title == "Traces") { // one tree per category, the first shown
        QCOMPARE(screen->CategoryList()->currentRow(), 0);
        QCOMPARE(screen->TraceTree(0)->topLevelItem(0)->text(0), QStringLiteral("Application Traces"));
        QVERIFY(screen->TraceTree(0)->isVisible() && !screen->TraceTree(1)->isVisible());
        screen->CategoryList()->setCurrentRow(1);
        QVERIFY(!screen->TraceTree(0)->isVisible() && screen->TraceTree(1)->isVisible());
    } else if (title == "Unused Space") { // only listed disks have a row; its volumes fill the tree
        QCOMPARE(screen->DriveList()->count(), 1);
        QCOMPARE(screen->DriveTree(0)->topLevelItem(0)->text(4), QStringLiteral("12.06 KB"));
    }
}

void TestSelectionScreen::volumeViewIsRootedAtMountedVolumes_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("shown");
    QTest::newRow("long name cut on 10.12") << "10.12.6" << QString("A Volume Named Twent...");
    QTest::newRow("long name whole elsewhere") << "10.13.1" << QString("A Volume Named Twenty-Five");
}

void TestSelectionScreen::volumeViewIsRootedAtMountedVolumes()
{
    QFETCH(QString, version);
    QFETCH(QString, shown);
    SelectionFixture f;
    f.productVersion = version;
    f.mounted = QStringList{f.tree, QStringLiteral("/")};
    f.AddVolume(QStringLiteral("A Volume Named Twenty-Five"), f.tree);
    f.AddVolume(QStringLiteral("Gone"), f.ui.root.path() + QStringLiteral("/gone"));
    f.AddVolume(QStringLiteral("Home"), f.home); // the home folder stands for "/"
    TracesMain* screen = f.Open(true, false, false);
    QCOMPARE(screen->VolumeList()->count(), 3);
    QCOMPARE(screen->VolumeList()->item(0)->text(), shown);
    QCOMPARE(screen->VolumeModel(0)->filePath(screen->VolumeView(0)->rootIndex()), f.tree);
    QVERIFY(!screen->VolumeView(1)->rootIndex().isValid());
    QCOMPARE(screen->VolumeModel(2)->filePath(screen->VolumeView(2)->rootIndex()), QStringLiteral("/"));
    QVERIFY(screen->VolumeView(0)->isVisible());
}

void TestSelectionScreen::eraseBuildsJobs_data()
{
    // Selected: a path below the tree (~ the home), "trace:" and a trace row's name, or "drive".
    // Jobs are "type|category|path|size|algorithm" (@T@ the traces folder, @E@ the volume);
    // the summary is what the confirmation showed, the messages what was said before it.
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QStringList>("jobs");
    QTest::addColumn<QStringList>("summary");
    QTest::addColumn<QStringList>("messages");
    const QString files = "0|Folder & Files|~/Work/";
    QTest::newRow("same row in two folders")
        << QStringList{"~/Work/dirA/first.txt", "~/Work/dirB/second.txt", "~/Work/dirB"}
        << QStringList{files + "dirA/first.txt|10|3", files + "dirB/second.txt|20|3",
                       "1|Folder & Files|~/Work/dirB|0|3"}
        << QStringList{"Files & Folders", "  ~/Work/dirA/first.txt", "  ~/Work/dirB/second.txt", "  ~/Work/dirB", ""}
        << QStringList();
    QTest::newRow("protected named, others go ahead")
        << QStringList{"~/Documents", "~/Work/old.txt"} << QStringList{files + "old.txt|7|3"}
        << QStringList{"Files & Folders", "  ~/Work/old.txt", ""} << QStringList{kProtected + "~/Documents"};
    QTest::newRow("nothing") << QStringList() << QStringList() << QStringList() << QStringList{kNoSelection};
    QTest::newRow("standard folder only")
        << QStringList{"~/Documents"} << QStringList() << QStringList() << QStringList{kProtected + "~/Documents"};
    QTest::newRow("top of home only") << QStringList{"~/notes.txt"} << QStringList() << QStringList()
                                      << QStringList{kProtected + "~/notes.txt"};
    QTest::newRow("category root takes every subtree path")
        << QStringList{"trace:Application Traces"}
        << QStringList{"0|Traces Wiped|@T@/recent.txt|100|3", "1|Traces Wiped|@T@/cache|0|3",
                       "2|Traces Wiped|@T@/editor.plist|0|3", "0|Traces Wiped|@T@/playlist.txt|0|3"}
        << QStringList{"Traces", "  Application Traces", ""} << QStringList();
    QTest::newRow("one group takes only its own paths")
        << QStringList{"trace:Recent Files", "trace:Browser"}
        << QStringList{"0|Traces Wiped|@T@/recent.txt|100|3", "1|Traces Wiped|@T@/cache|0|3",
                       "0|Traces Wiped|@T@/history.txt|0|3"}
        << QStringList{"Traces", "  Application Traces/Editor/Recent Files", "  Internet Activity/Browser", ""}
        << QStringList();
    QTest::newRow("application not installed")
        << QStringList{"trace:Player"} << QStringList() << QStringList() << QStringList{kNoSelection};
    QTest::newRow("volume carries its free space")
        << QStringList{"drive"} << QStringList{"3|Unused Space|@E@|12345|3"}
        << QStringList{"Unused space", "  Test Media/volume", ""} << QStringList();
}

void TestSelectionScreen::eraseBuildsJobs()
{
    QFETCH(QStringList, selected);
    QFETCH(QStringList, jobs);
    QFETCH(QStringList, summary);
    QFETCH(QStringList, messages);
    SelectionFixture f;
    f.mounted << f.tree;
    f.ui.app->algorithm = 3;
    f.MakeFile(QStringLiteral("home/tester/Work/dirA/first.txt"), 10);
    f.MakeFile(QStringLiteral("home/tester/Work/dirB/second.txt"), 20);
    f.MakeFile(QStringLiteral("home/tester/Work/old.txt"), 7);
    f.MakeFile(QStringLiteral("home/tester/Documents/report.txt"));
    f.MakeFile(QStringLiteral("home/tester/notes.txt"));
    const QString volume = f.ui.root.path() + QStringLiteral("/elsewhere");
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    PlantTraces(f);
    PlantDisk(f, volume);
    TracesMain* screen = f.Open(true, true, true);
    for (const QString& choice : selected) {
        if (choice == "drive") {
            screen->DriveTree(0)->topLevelItem(0)->setSelected(true);
        } else if (choice.startsWith("trace:")) {
            QTreeWidgetItem* item = FindItem(screen->TraceTree(0), choice.mid(6));
            (item ? item : FindItem(screen->TraceTree(1), choice.mid(6)))->setSelected(true);
        } else {
            f.SelectFiles(0, {QString(choice).replace('~', f.home)});
        }
    }
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    Screens().selectionForward(screen); // the main window's Forward does what Erase does
    const QString traces = f.home + QStringLiteral("/Work/traces");
    QCOMPARE(f.Jobs(),
             jobs.replaceInStrings("~", f.home).replaceInStrings("@T@", traces).replaceInStrings("@E@", volume));
    QCOMPARE(MessageBox::ShownForTests(), messages.replaceInStrings("~", f.home));
    QCOMPARE(ErasureSummary::ShownForTests(),
             summary.isEmpty() ? QList<QStringList>() : QList<QStringList>{summary.replaceInStrings("~", f.home)});
    QVERIFY(!screen->ProgressWindow());
    QVERIFY(f.ui.app->fileSummaryList.isEmpty()); // the dialog empties the lists
}

void TestSelectionScreen::clicksOnTraceRows()
{
    SelectionFixture f;
    PlantTraces(f);
    TracesMain* screen = f.Open(false, true, false);
    QTreeWidget* tree = screen->TraceTree(0);
    QVERIFY(QTest::qWaitForWindowExposed(tree));
    QTreeWidgetItem* editor = FindItem(tree, QStringLiteral("Editor"));
    QVERIFY(!editor->isExpanded());
    // The first click opens the collapsed row and selects nothing; a click on the open row
    // selects it, and a double click does not close it again.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(editor).center());
    QVERIFY(editor->isExpanded());
    QVERIFY(tree->selectedItems().isEmpty());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(editor).center());
    QCOMPARE(tree->selectedItems(), QList<QTreeWidgetItem*>{editor});
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(editor).center());
    QVERIFY(editor->isExpanded());

    // An application that is not installed is grey with its groups, and a click does nothing.
    QTreeWidgetItem* player = FindItem(tree, QStringLiteral("Player"));
    QVERIFY(!(player->flags() & Qt::ItemIsEnabled));
    QVERIFY(player->child(0)->isDisabled());
    tree->clearSelection();
    tree->expandAll();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(player).center());
    QVERIFY(tree->selectedItems().isEmpty());
}

void TestSelectionScreen::cancelKeepsSelectionAndEraseTwiceRebuilds()
{
    SelectionFixture f;
    const QString file = f.MakeFile(QStringLiteral("home/tester/Work/a.txt"), 5);
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    PlantDisk(f, f.ui.root.path() + QStringLiteral("/elsewhere"));
    TracesMain* screen = f.Open(true, false, true);
    f.SelectFiles(0, {file});
    screen->DriveTree(0)->topLevelItem(0)->setSelected(true);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    screen->OnClickedNextBtn();
    const QStringList first = f.Jobs();
    QCOMPARE(first.size(), 2);
    QVERIFY(!screen->ProgressWindow());
    QVERIFY(QFile::exists(file));
    QCOMPARE(ErasureSummary::ShownForTests().first(),
             QStringList({"Files & Folders", "  " + file, "", "Unused space", "  Test Media/volume", ""}));

    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    screen->OnClickedNextBtn(); // the main window's Forward does the same
    QCOMPARE(f.Jobs(), first);
    QCOMPARE(ErasureSummary::ShownForTests().size(), 2);
    QCOMPARE(ErasureSummary::ShownForTests().at(1), ErasureSummary::ShownForTests().at(0));
    QCOMPARE(screen->VolumeView(0)->selectionModel()->selectedRows().size(), 1);

    // While an erasure runs, its job list is left alone: Erase only explains.
    f.ui.app->erasureRunning = true;
    MessageBox::QueueAnswerForTests(MessageBox::Ok);
    screen->OnClickedNextBtn();
    f.ui.app->erasureRunning = false;
    QCOMPARE(MessageBox::ShownForTests(),
             QStringList{"Erase|An erasure is running.\nPlease wait until it has completed."});
    QCOMPARE(ErasureSummary::ShownForTests().size(), 2);
}

QTEST_MAIN(TestSelectionScreen)
#include "tst_selectionscreen.moc"
