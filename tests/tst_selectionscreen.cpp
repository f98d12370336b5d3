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
    void tracesOnlyScreenHasOnePage();
    void headerFollowsThePage_data();
    void headerFollowsThePage();
    void volumeViewIsRootedAtMountedVolumes();
    void longVolumeNamesAreCutOnlyOn1012_data();
    void longVolumeNamesAreCutOnlyOn1012();
    void sameRowInTwoFoldersBothBecomeJobs();
    void protectedChoicesAreNamedOthersGoAhead();
    void nothingOrOnlyProtectedStopsWithAMessage_data();
    void nothingOrOnlyProtectedStopsWithAMessage();
    void openingACategorySelectsNothing();
    void selectedRowsBecomeJobs_data();
    void selectedRowsBecomeJobs();
    void notInstalledApplicationCannotBeSelected();
    void volumeJobCarriesFreeSpace();
    void cancelKeepsSelectionAndEraseTwiceRebuilds();
    void mainWindowHooksOpenAndForward();

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

void TestSelectionScreen::tracesOnlyScreenHasOnePage()
{
    SelectionFixture f;
    PlantTraces(f);
    TracesMain* screen = f.Open(false, true, false);
    auto* toolBox = screen->findChild<QToolBox*>(QStringLiteral("LeftToolBox"));
    QCOMPARE(toolBox->count(), 1);
    QCOMPARE(toolBox->itemText(0), QStringLiteral(" Traces"));
    QCOMPARE(f.ui.app->helpPage, 1);
    QCOMPARE(screen->CategoryList()->currentRow(), 0);
    QVERIFY(screen->TraceTree(0)->isVisible());
    QVERIFY(!screen->TraceTree(1)->isVisible());
    QCOMPARE(screen->TraceTree(0)->topLevelItem(0)->text(0), QStringLiteral("Application Traces"));
    QVERIFY(screen->TraceTree(0)->isColumnHidden(2));

    screen->CategoryList()->setCurrentRow(1);
    QVERIFY(!screen->TraceTree(0)->isVisible());
    QVERIFY(screen->TraceTree(1)->isVisible());
}

void TestSelectionScreen::headerFollowsThePage_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("subtitle");
    QTest::newRow("files") << 0 << "Files & Folders" << QString("Select the files and folders to erase");
    QTest::newRow("traces") << 1 << "Traces" << QString("Select the items to erase traces");
    QTest::newRow("unused") << 2 << "Unused Space" << QString("Select the volume to erase unused space");
}

void TestSelectionScreen::headerFollowsThePage()
{
    QFETCH(int, page);
    QFETCH(QString, title);
    QFETCH(QString, subtitle);
    SelectionFixture f;
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    PlantTraces(f);
    PlantDisk(f, f.tree);
    TracesMain* screen = f.Open(true, true, true);
    auto* toolBox = screen->findChild<QToolBox*>(QStringLiteral("LeftToolBox"));
    QCOMPARE(toolBox->count(), 3);
    toolBox->setCurrentIndex(page);
    QCOMPARE(screen->findChild<QLabel*>(QStringLiteral("label"))->text(), title);
    QCOMPARE(screen->findChild<QLabel*>(QStringLiteral("label_2"))->text(), subtitle);
    QCOMPARE(toolBox->itemText(page).mid(1).replace(QStringLiteral("&&"), QStringLiteral("&")), title);
    // Only listed disks have a row; the row's volumes fill the drive tree.
    QCOMPARE(screen->DriveList()->count(), 1);
    QCOMPARE(screen->DriveTree(0)->topLevelItem(0)->text(4), QStringLiteral("12.06 KB"));
    QCOMPARE(screen->DriveTree(0)->headerItem()->text(0), QStringLiteral("     Physical Drive"));
    QVERIFY(screen->DriveTree(0)->isColumnHidden(3));
}

void TestSelectionScreen::volumeViewIsRootedAtMountedVolumes()
{
    SelectionFixture f;
    const QString unmounted = f.ui.root.path() + QStringLiteral("/gone");
    f.mounted = QStringList{f.tree, QStringLiteral("/")};
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    f.AddVolume(QStringLiteral("Gone"), unmounted);
    f.AddVolume(QStringLiteral("Home"), f.home); // the home folder stands for "/"
    TracesMain* screen = f.Open(true, false, false);
    QCOMPARE(screen->VolumeList()->count(), 3);
    QCOMPARE(screen->VolumeModel(0)->filePath(screen->VolumeView(0)->rootIndex()), f.tree);
    QVERIFY(!screen->VolumeView(1)->rootIndex().isValid());
    QCOMPARE(screen->VolumeModel(2)->filePath(screen->VolumeView(2)->rootIndex()), QStringLiteral("/"));
    QVERIFY(screen->VolumeView(0)->isVisible());
    QCOMPARE(screen->VolumeView(0)->columnWidth(0), 275);
    QCOMPARE(screen->VolumeModel(0)->data(screen->VolumeView(0)->rootIndex(), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignVCenter));
}

void TestSelectionScreen::longVolumeNamesAreCutOnlyOn1012_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("shown");
    QTest::newRow("10.12") << "10.12.6" << QString("A Volume Named Twent...");
    QTest::newRow("other") << "10.13.1" << QString("A Volume Named Twenty-Five");
}

void TestSelectionScreen::longVolumeNamesAreCutOnlyOn1012()
{
    QFETCH(QString, version);
    QFETCH(QString, shown);
    SelectionFixture f;
    f.productVersion = version;
    f.AddVolume(QStringLiteral("A Volume Named Twenty-Five"), f.tree);
    TracesMain* screen = f.Open(true, false, false);
    QCOMPARE(screen->VolumeList()->item(0)->text(), shown);
}

void TestSelectionScreen::sameRowInTwoFoldersBothBecomeJobs()
{
    SelectionFixture f;
    f.mounted << f.tree;
    const QString a = f.MakeFile(QStringLiteral("home/tester/Work/dirA/first.txt"), 10);
    const QString b = f.MakeFile(QStringLiteral("home/tester/Work/dirB/second.txt"), 20);
    const QString folder = f.home + QStringLiteral("/Work/dirB");
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    TracesMain* screen = f.Open(true, false, false);
    f.SelectFiles(0, {a, b, folder});
    QCOMPARE(screen->VolumeModel(0)->index(a).row(), screen->VolumeModel(0)->index(b).row());
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    screen->OnClickedNextBtn();
    QCOMPARE(f.Jobs(), QStringList({"0|Folder & Files|" + a + "|10|0", "0|Folder & Files|" + b + "|20|0",
                                    "1|Folder & Files|" + folder + "|0|0"}));
    QCOMPARE(ErasureSummary::ShownForTests().size(), 1);
    QCOMPARE(ErasureSummary::ShownForTests().first(),
             QStringList({"Files & Folders", "  " + a, "  " + b, "  " + folder, ""}));
    QVERIFY(f.ui.app->fileSummaryList.isEmpty()); // the dialog empties the lists
}

void TestSelectionScreen::protectedChoicesAreNamedOthersGoAhead()
{
    SelectionFixture f;
    f.ui.app->algorithm = 3;
    const QString keep = f.MakeFile(QStringLiteral("home/tester/Documents/report.txt"));
    const QString erase = f.MakeFile(QStringLiteral("home/tester/Work/old.txt"), 7);
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    TracesMain* screen = f.Open(true, false, false);
    f.SelectFiles(0, {QFileInfo(keep).path(), erase});
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    screen->OnClickedNextBtn();
    QCOMPARE(f.Jobs(), QStringList("0|Folder & Files|" + erase + "|7|3"));
    QCOMPARE(MessageBox::ShownForTests(), QStringList(kProtected + QFileInfo(keep).path()));
    QCOMPARE(ErasureSummary::ShownForTests().size(), 1); // named before the confirmation
}

void TestSelectionScreen::nothingOrOnlyProtectedStopsWithAMessage_data()
{
    QTest::addColumn<QStringList>("selected");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing") << QStringList() << kNoSelection;
    QTest::newRow("standard folder") << QStringList{"home/tester/Documents"} << kProtected + "home/tester/Documents";
    QTest::newRow("top of home") << QStringList{"home/tester/notes.txt"} << kProtected + "home/tester/notes.txt";
}

void TestSelectionScreen::nothingOrOnlyProtectedStopsWithAMessage()
{
    QFETCH(QStringList, selected);
    QFETCH(QString, message);
    SelectionFixture f;
    f.MakeFile(QStringLiteral("home/tester/Documents/report.txt"));
    f.MakeFile(QStringLiteral("home/tester/notes.txt"));
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    TracesMain* screen = f.Open(true, false, false);
    QStringList paths;
    for (const QString& relative : selected)
        paths << f.tree + QLatin1Char('/') + relative;
    f.SelectFiles(0, paths);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 1); // must stay unused
    screen->OnClickedNextBtn();
    QCOMPARE(MessageBox::ShownForTests(), QStringList(message.replace("home/tester", f.tree + "/home/tester")));
    QVERIFY(ErasureSummary::ShownForTests().isEmpty());
    QVERIFY(!screen->ProgressWindow());
    QVERIFY(!f.ui.app->wipingInfoList);
    DialogAnswers::Clear();
}

void TestSelectionScreen::selectedRowsBecomeJobs_data()
{
    QTest::addColumn<QStringList>("selected"); // rows of the first tree, then "|", rows of the second
    QTest::addColumn<QStringList>("jobs");     // @T@ the traces folder
    QTest::addColumn<QStringList>("summary");
    QTest::newRow("category root takes every subtree path")
        << QStringList{"Application Traces"}
        << QStringList{"0|Traces Wiped|@T@/recent.txt|100|0", "1|Traces Wiped|@T@/cache|0|0",
                       "2|Traces Wiped|@T@/editor.plist|0|0", "0|Traces Wiped|@T@/playlist.txt|0|0"}
        << QStringList{"Traces", "  Application Traces", ""};
    QTest::newRow("one group takes only its own paths")
        << QStringList{"Recent Files", "|", "Browser"}
        << QStringList{"0|Traces Wiped|@T@/recent.txt|100|0", "1|Traces Wiped|@T@/cache|0|0",
                       "0|Traces Wiped|@T@/history.txt|0|0"}
        << QStringList{"Traces", "  Application Traces/Editor/Recent Files", "  Internet Activity/Browser", ""};
}

void TestSelectionScreen::selectedRowsBecomeJobs()
{
    QFETCH(QStringList, selected);
    QFETCH(QStringList, jobs);
    QFETCH(QStringList, summary);
    SelectionFixture f;
    PlantTraces(f);
    TracesMain* screen = f.Open(false, true, false);
    int tree = 0;
    for (const QString& row : selected) {
        if (row == "|")
            ++tree;
        else
            FindItem(screen->TraceTree(tree), row)->setSelected(true);
    }
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    screen->OnClickedNextBtn();
    QCOMPARE(f.Jobs(), jobs.replaceInStrings("@T@", f.home + QStringLiteral("/Work/traces")));
    QCOMPARE(ErasureSummary::ShownForTests().first(), summary);
}

void TestSelectionScreen::openingACategorySelectsNothing()
{
    SelectionFixture f;
    PlantTraces(f);
    TracesMain* screen = f.Open(false, true, false);
    screen->show();
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
}

void TestSelectionScreen::notInstalledApplicationCannotBeSelected()
{
    SelectionFixture f;
    PlantTraces(f);
    TracesMain* screen = f.Open(false, true, false);
    QTreeWidget* tree = screen->TraceTree(0);
    QTreeWidgetItem* player = FindItem(tree, QStringLiteral("Player"));
    QVERIFY(!(player->flags() & Qt::ItemIsEnabled));
    QCOMPARE(player->foreground(0).color(), QColor(QStringLiteral("#9f9fb1")));
    QVERIFY(player->child(0)->isDisabled()); // its groups go grey with it

    // A click does nothing, and even a forced selection yields no job.
    tree->expandAll();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(player).center());
    QVERIFY(tree->selectedItems().isEmpty());
    player->setSelected(true);
    screen->OnClickedNextBtn();
    QCOMPARE(MessageBox::ShownForTests(), QStringList(kNoSelection));
    QVERIFY(!f.ui.app->wipingInfoList);
}

void TestSelectionScreen::volumeJobCarriesFreeSpace()
{
    SelectionFixture f;
    const QString other = f.ui.root.path() + QStringLiteral("/elsewhere");
    PlantDisk(f, other);
    TracesMain* screen = f.Open(false, false, true);
    QTreeWidgetItem* item = screen->DriveTree(0)->topLevelItem(0);
    QCOMPARE(item->text(3), other);
    QCOMPARE(item->textAlignment(2), 0x86);
    item->setSelected(true);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 0);
    screen->OnClickedNextBtn();
    QCOMPARE(f.Jobs(), QStringList("3|Unused Space|" + other + "|12345|0"));
    QCOMPARE(ErasureSummary::ShownForTests().first(), QStringList({"Unused space", "  Test Media/volume", ""}));
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

void TestSelectionScreen::mainWindowHooksOpenAndForward()
{
    SelectionFixture f;
    f.AddVolume(QStringLiteral("Scratch"), f.tree);
    QWidget parent;
    QWidget* screen = Screens().createSelectionScreen(true, false, true, &parent);
    auto* selection = qobject_cast<TracesMain*>(screen);
    QVERIFY(selection);
    QVERIFY(QTest::qWaitFor([selection]() { return selection->PagesBuilt(); }));
    QCOMPARE(screen->findChild<QToolBox*>(QStringLiteral("LeftToolBox"))->count(), 2);
    Screens().selectionForward(screen); // Forward does what Erase does
    QCOMPARE(MessageBox::ShownForTests(), QStringList(kNoSelection));
}

QTEST_MAIN(TestSelectionScreen)
#include "tst_selectionscreen.moc"
