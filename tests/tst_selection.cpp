// From choice to run over a temporary tree. The selection screen: pages and headers, the volume
// views, and the jobs and summary that Erase builds from files, trace groups and volumes. The
// progress window with the real worker: totals, percentage, file count and path shortening,
// progress within a chunk, Stop (asked, shown, effective within a second), the three endings
// and the restart question (a fake `shutdown` on PATH), the certificate of search runs, and
// whole runs started from the selection screen.
#include "SelectionTestSupport.h"

#include "FreeSpace.h"
#include "MainWipeThread.h"
#include "MessageBox.h"
#include "MyFileSystemModel.h"
#include "RestartDialog.h"
#include "WipingWizard.h"

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QToolBox>
#include <QTreeWidget>
#include <QWindow>
#include <QtTest>

#include <atomic>

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

class TestSelection : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void headerFollowsThePage_data();
    void headerFollowsThePage();
    void volumeViewIsRootedAtMountedVolumes_data();
    void volumeViewIsRootedAtMountedVolumes();
    void eraseBuildsJobs_data();
    void eraseBuildsJobs();
    void clicksOnTraceRows();
    void cancelKeepsSelectionAndEraseTwiceRebuilds();
    void statusTexts_data();
    void statusTexts();
    void totalAndPercentage();
    void emptyFilesMoveByTheirCount();
    void stopQuestion_data();
    void stopQuestion();
    void stopTakesEffectWithinASecond();
    void endings_data();
    void endings();
    void dialogButtons();
    void selectionScreenEndToEnd();
    void unusedSpaceThroughTheScreens();

private:
    void PlantTraces(SelectionFixture& f);
    void PlantDisk(SelectionFixture& f, const QString& mountPoint);
    void AddJob(int type, const QString& path, qint64 size);
    // Waits until the run completed and the restart question was answered.
    bool WaitForCompletion(WipingWizard* window);
    QStringList LogLines() const;
    QString LogFile() const;

    SelectionFixture* m_f = nullptr;
    const QDateTime m_now = QDateTime(QDate(2026, 12, 6), QTime(9, 30, 0));
};

void TestSelection::PlantTraces(SelectionFixture& f)
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

void TestSelection::PlantDisk(SelectionFixture& f, const QString& mountPoint)
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

void TestSelection::headerFollowsThePage_data()
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

void TestSelection::headerFollowsThePage()
{
    QFETCH(QString, chosen);
    QFETCH(int, page);
    QFETCH(int, pages);
    QFETCH(QString, title);
    SelectionFixture& f = *m_f;
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

void TestSelection::volumeViewIsRootedAtMountedVolumes_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("shown");
    QTest::newRow("long name cut on 10.12") << "10.12.6" << QString("A Volume Named Twent...");
    QTest::newRow("long name whole elsewhere") << "10.13.1" << QString("A Volume Named Twenty-Five");
}

void TestSelection::volumeViewIsRootedAtMountedVolumes()
{
    QFETCH(QString, version);
    QFETCH(QString, shown);
    SelectionFixture& f = *m_f;
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

void TestSelection::eraseBuildsJobs_data()
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

void TestSelection::eraseBuildsJobs()
{
    QFETCH(QStringList, selected);
    QFETCH(QStringList, jobs);
    QFETCH(QStringList, summary);
    QFETCH(QStringList, messages);
    SelectionFixture& f = *m_f;
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

void TestSelection::clicksOnTraceRows()
{
    SelectionFixture& f = *m_f;
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

void TestSelection::cancelKeepsSelectionAndEraseTwiceRebuilds()
{
    SelectionFixture& f = *m_f;
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

void TestSelection::init()
{
    m_f = new SelectionFixture;
    KorvaneApp::SetClockForTests(m_now);
    MessageBox::ShownForTests().clear();
    RestartDialog::ShownForTests().clear();
}

void TestSelection::cleanup()
{
    WipingWizard::SetWorkerSetupForTests(nullptr);
    FreeSpaceTesting::SetSource({});
    delete m_f;
    m_f = nullptr;
    KorvaneApp::SetClockForTests(QDateTime());
}

void TestSelection::AddJob(int type, const QString& path, qint64 size)
{
    APPWIPINGINFO job;
    job.wipeType = type;
    job.itemPath = path;
    job.itemSize = size;
    job.category = QStringLiteral("Folder & Files");
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
}

bool TestSelection::WaitForCompletion(WipingWizard* window)
{
    return QTest::qWaitFor(
        [window]() {
            return !KorvaneApp::GetInstance()->erasureRunning && window->Worker()->isFinished() && !window->isVisible();
        },
        20000);
}

QString TestSelection::LogFile() const
{
    return m_f->ui.app->logPath + QStringLiteral("/KVLOGFILE/run.log");
}

QStringList TestSelection::LogLines() const
{
    return QString::fromUtf8(ReadTestFile(LogFile())).split(QLatin1Char('\n'));
}

void TestSelection::statusTexts_data()
{
    // A path over 64 characters keeps its folders' start and its name; the file count reads the
    // same in every locale and never runs beyond the total.
    const QString dirs = QStringLiteral("/0123456789/0123456789/0123456789/0123456789");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("64 whole") << dirs + "/0123456789/file5678" << dirs + "/0123456789/file5678";
    QTest::newRow("65 shortened") << dirs + "/0123456789/file56789" << dirs + "/.../file56789";
    QTest::newRow("31-character name") << dirs + "/abcdefghijklmnopqrstuvwxyz01234" << dirs + "/...xyz01234";
    QTest::newRow("short") << QStringLiteral("/tmp/a.txt") << QStringLiteral("/tmp/a.txt");
    QTest::newRow("count in thousands") << "1234 40000" << QString("1,234 of 40,000 files");
    QTest::newRow("count never beyond the total") << "5 3" << QString("3 of 3 files");
}

void TestSelection::statusTexts()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QLocale::setDefault(QLocale(QLocale::German));
    const QStringList count = path.split(QLatin1Char(' '));
    const QString text = path.startsWith(QLatin1Char('/'))
                             ? WipingWizard::ShortenPath(path)
                             : WipingWizard::FileCountText(count.at(0).toLongLong(), count.at(1).toLongLong());
    QLocale::setDefault(QLocale::c());
    QCOMPARE(text, shown);
}

void TestSelection::totalAndPercentage()
{
    const QString folder = m_f->home + QStringLiteral("/Work/folder");
    m_f->MakeFile(QStringLiteral("home/tester/Work/folder/a.bin"), 300);
    m_f->MakeFile(QStringLiteral("home/tester/Work/folder/sub/.hidden"), 200);
    AddJob(APPWIPINGINFO::File, m_f->home + QStringLiteral("/Work/missing.txt"), 1000);
    AddJob(APPWIPINGINFO::Folder, folder, 0);
    AddJob(APPWIPINGINFO::Plist, QString(), 0);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    // The window belongs to the main window and stays above it for the whole run.
    QWidget main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    auto* window = new WipingWizard(&main);
    QCOMPARE(window->TotalBytes(), qint64(1500));
    QCOMPARE(window->TotalFiles(), qint64(3));
    window->show();
    QCOMPARE(window->windowHandle()->transientParent(), main.windowHandle());

    const QString path = QStringLiteral("/0123456789/0123456789/0123456789/0123456789/0123456789/file56789");
    window->UpdateWipingStatus(750, path);
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("ErasingLabel"))->text(),
             QStringLiteral("Erasing In Progress [ 50 %]   0 of 3 files"));
    QCOMPARE(window->findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 50);
    QCOMPARE(window->findChild<QLabel*>(QStringLiteral("WipingLabel"))->text(),
             QStringLiteral("Path: /0123456789/0123456789/0123456789/0123456789/.../file56789"));
    QVERIFY(WaitForCompletion(window));
    QVERIFY(!QFileInfo::exists(folder));
    delete window;
}

void TestSelection::emptyFilesMoveByTheirCount()
{
    for (int i = 0; i < 4; ++i)
        m_f->MakeFile(QStringLiteral("home/tester/Work/empty/%1.txt").arg(i), 0);
    AddJob(APPWIPINGINFO::Folder, m_f->home + QStringLiteral("/Work/empty"), 0);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    WipingWizard window(nullptr);
    QCOMPARE(window.TotalBytes(), qint64(0));
    window.UpdateWipingFiles(2);
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("ErasingLabel"))->text(),
             QStringLiteral("Erasing In Progress [ 50 %]   2 of 4 files"));
    QVERIFY(WaitForCompletion(&window));
}

void TestSelection::stopQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("no keeps erasing") << int(MessageBox::No);
    QTest::newRow("yes ends at a chunk boundary") << int(MessageBox::Yes);
}

void TestSelection::stopQuestion()
{
    QFETCH(int, answer);
    const QString big = m_f->MakeFile(QStringLiteral("home/tester/Work/big.bin"), 1 << 20);
    const QString next = m_f->MakeFile(QStringLiteral("home/tester/Work/next.txt"), 10);
    AddJob(APPWIPINGINFO::File, big, 1 << 20);
    AddJob(APPWIPINGINFO::File, next, 10);

    // The worker waits at its first report until the question has been answered.
    QSemaphore answered;
    std::atomic<int> reports{0};
    bool asked = false;
    QString shownAfterStop;
    WipingWizard* window = nullptr;
    WipingWizard::SetWorkerSetupForTests([&](MainWipeThread* worker) {
        worker->SetChunkSizeForTests(4096);
        // Queued first: a signal reaches its connections in order, and the direct one blocks.
        connect(worker, &MainWipeThread::WipingStatus, this, [&, answer](long long, QString) {
            if (asked)
                return;
            asked = true;
            MessageBox::QueueAnswerForTests(answer);
            window->findChild<QPushButton*>(QStringLiteral("StopButton"))->click();
            shownAfterStop = window->findChild<QLabel*>(QStringLiteral("ErasingLabel"))->text();
            answered.release();
        });
        connect(
            worker, &MainWipeThread::WipingStatus, worker,
            [&answered, &reports](long long, QString) {
                if (++reports == 1)
                    answered.tryAcquire(1, 10000);
            },
            Qt::DirectConnection);
    });
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    window = new WipingWizard(nullptr);
    QVERIFY(WaitForCompletion(window));
    const QString question = QStringLiteral("Stop Process|Do you want to stop the current process?");

    const QStringList log = LogLines();
    QVERIFY(!QFileInfo::exists(big)); // truncated and removed either way
    if (answer == MessageBox::Yes) {
        // It says it is stopping until the worker has stopped, then how many items were erased.
        QCOMPARE(shownAfterStop, QStringLiteral("Stopping the erasure...   0 of 2 files"));
        QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("StopButton"))->isEnabled());
        QCOMPARE(MessageBox::ShownForTests(),
                 QStringList({question, "Erasure|Erasure stopped: 0 of 2 items erased.\nThe log file lists them:\n" +
                                            LogFile()}));
        QVERIFY(RestartDialog::ShownForTests().isEmpty()); // no restart after a stopped run
        QVERIFY(reports < 256);                            // ended long before the last of its 256 chunks
        QVERIFY(log.contains("File Path: " + big + " | Erasure failed 06/12/2026|09:30:00 "));
        QVERIFY(log.contains("Erasure aborted by user at  06/12/2026|09:30:00 "));
        QVERIFY(QFileInfo::exists(next));
    } else {
        QVERIFY(shownAfterStop.startsWith(QLatin1String("Erasing In Progress")));
        QCOMPARE(MessageBox::ShownForTests(), QStringList(question));
        QVERIFY(log.contains("File Path: " + big + " | Erasure successful 06/12/2026|09:30:00 "));
        QVERIFY(log.contains("File Path: " + next + " | Erasure successful 06/12/2026|09:30:00 "));
        QVERIFY(!QFileInfo::exists(next));
    }
    delete window;
}

void TestSelection::stopTakesEffectWithinASecond()
{
    // One chunk of a 35-pass algorithm: the whole file is one range per pass, yet the percentage
    // moves within it and Stop acts within the piece being written.
    constexpr qint64 kSize = 64LL << 20;
    const QString big = m_f->MakeFile(QStringLiteral("home/tester/Work/big.bin"), 0);
    QVERIFY(!WriteTestFile(big, QByteArray(kSize, 'k')).isEmpty());
    APPWIPINGINFO job;
    job.wipeType = APPWIPINGINFO::File;
    job.itemPath = big;
    job.itemSize = kSize;
    job.algorithm = 10;
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);

    auto* window = new WipingWizard(nullptr);
    QSignalSpy progress(window->Worker(), &MainWipeThread::WipingProgress);
    QVERIFY(progress.wait(10000));
    const qint64 within = progress.first().first().toLongLong();
    QVERIFY2(within > 0 && within < kSize, qPrintable(QString::number(within)));
    QTRY_VERIFY(window->findChild<QProgressBar*>(QStringLiteral("progressBar"))->value() > 0);

    MessageBox::QueueAnswerForTests(MessageBox::Yes);
    QElapsedTimer clock;
    clock.start();
    window->findChild<QPushButton*>(QStringLiteral("StopButton"))->click();
    QVERIFY(window->Worker()->wait(5000));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(WaitForCompletion(window));
    QVERIFY(!QFileInfo::exists(big));
    QVERIFY(LogLines().contains("File Path: " + big + " | Erasure failed 06/12/2026|09:30:00 "));
    QCOMPARE(MessageBox::ShownForTests().value(1).section('\n', 0, 0),
             QStringLiteral("Erasure|Erasure stopped: 0 of 1 items erased."));
    delete window;
}

void TestSelection::endings_data()
{
    // A run that was not stopped ends with what happened and the restart question; a search
    // run names its certificate (%1 the log, %2 the certificate).
    QTest::addColumn<bool>("search");
    QTest::addColumn<bool>("withMissing");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("shutdownCalls");
    const QString erased = "Erasure completed !\nRestart system to allow changes to take effect.";
    QTest::newRow("all erased, restart later") << false << false << 0 << erased << QStringList();
    QTest::newRow("all erased, restart now") << false << false << 1 << erased << QStringList("-r\tnow");
    QTest::newRow("some failed") << false << true << 0
                                 << "Erasure completed with errors: 1 of 2 items could not be erased.\n"
                                    "The log file says why:\n%1\nRestart system to allow changes to take effect."
                                 << QStringList();
    QTest::newRow("search run") << true << false << 0 << erased + "\nCertificate saved as:\n%2" << QStringList();
    // A file stands where the certificate folder should be.
    QTest::newRow("search run, certificate not written")
        << true << false << 0 << erased + "\nThe certificate could not be written." << QStringList();
}

void TestSelection::endings()
{
    QFETCH(bool, search);
    QFETCH(bool, withMissing);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(QStringList, shutdownCalls);
    KorvaneApp* app = m_f->ui.app;
    app->searchMode = search;
    const QString certificates = m_f->ui.root.path() + QStringLiteral("/certificates");
    app->certificatePath = certificates;
    if (message.endsWith(QLatin1String("could not be written.")))
        WriteTestFile(certificates, "in the way");
    const QString file = m_f->MakeFile(QStringLiteral("home/tester/Work/a.txt"), 10);
    AddJob(APPWIPINGINFO::File, file, 10);
    if (withMissing)
        AddJob(APPWIPINGINFO::File, m_f->home + QStringLiteral("/Work/missing.txt"), 0);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), answer);
    WipingWizard window(nullptr);
    // Another screen opened while the run goes on changes the global mode and settings, not
    // this run's.
    app->searchMode = !search;
    app->certificatePath = m_f->ui.root.path() + QStringLiteral("/elsewhere");
    QSignalSpy finished(&window, &WipingWizard::ErasureFinished);
    QVERIFY(WaitForCompletion(&window));
    const QStringList pdfs = QDir(certificates + QStringLiteral("/KVCERTIFICATE")).entryList({QStringLiteral("*.pdf")});
    QCOMPARE(pdfs.size(), message.contains("%2") ? 1 : 0);
    message.replace("%1", LogFile()).replace("%2", certificates + QStringLiteral("/KVCERTIFICATE/") + pdfs.value(0));
    QCOMPARE(RestartDialog::ShownForTests(), QStringList(message));
    QVERIFY(MessageBox::ShownForTests().isEmpty());
    QCOMPARE(finished.count(), 1);
    QCOMPARE(m_f->fakes.Calls(QStringLiteral("shutdown")), shutdownCalls);
    QVERIFY(!QFileInfo::exists(file));
}

void TestSelection::dialogButtons()
{
    RestartDialog restart(QStringLiteral("Erasure completed !\nRestart system to allow changes to take effect."),
                          nullptr);
    QCOMPARE(restart.findChild<QLabel*>(QStringLiteral("MessageString"))->text(),
             QStringLiteral("Erasure completed !\nRestart system to allow changes to take effect."));
    restart.open();
    QTest::keyClick(&restart, Qt::Key_Escape); // the safe answer
    QCOMPARE(restart.result(), 0);
    QVERIFY(!restart.isVisible());
    for (const auto& [button, result] : {std::make_pair("RS_Btn", 1), std::make_pair("RL_Btn", 0)}) {
        restart.open();
        restart.findChild<QPushButton*>(QLatin1String(button))->click();
        QCOMPARE(restart.result(), result);
        QVERIFY(!restart.isVisible());
    }

    KorvaneApp* app = m_f->ui.app;
    app->searchSummaryList << QStringLiteral("/found/a.txt");
    app->fileSummaryList << QStringLiteral("/chosen/b.txt");
    app->helpPage = 2; // from the search screen only the search results show
    auto* summary = new ErasureSummary(nullptr);
    QCOMPARE(summary->TreeLines(), QStringList({"Search Result", "  /found/a.txt", ""}));
    for (const auto& [button, result] : {std::make_pair("pushButton_close", 0), std::make_pair("next_btn", 1)}) {
        summary->open();
        summary->findChild<QPushButton*>(QLatin1String(button))->click();
        QCOMPARE(summary->result(), result);
    }
    delete summary;
    QVERIFY(app->searchSummaryList.isEmpty());
    QVERIFY(app->fileSummaryList.isEmpty());
}

void TestSelection::selectionScreenEndToEnd()
{
    SelectionFixture& f = *m_f;
    f.mounted << f.tree;
    PlantTraces(f);
    const QString chosen = f.MakeFile(QStringLiteral("home/tester/Work/chosen.txt"), 5000);
    const QString kept = f.MakeFile(QStringLiteral("home/tester/Work/kept.txt"), 70);
    const QString folder = f.home + QStringLiteral("/Work/old");
    f.MakeFile(QStringLiteral("home/tester/Work/old/inner/deep.bin"), 9000);
    const QString trace = f.home + QStringLiteral("/Work/traces/recent.txt");
    const QString protectedFile = f.MakeFile(QStringLiteral("home/tester/Documents/keep.txt"));
    f.AddVolume(QStringLiteral("Scratch"), f.tree);

    TracesMain* screen = f.Open(true, true, false);
    f.SelectFiles(0, {chosen, folder, QFileInfo(protectedFile).path()});
    FindItem(screen->TraceTree(0), QStringLiteral("Recent Files"))->setSelected(true);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 1);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    screen->findChild<QPushButton*>(QStringLiteral("next_btn"))->click();
    QVERIFY(screen->ProgressWindow());
    QCOMPARE(screen->ProgressWindow()->TotalBytes(), qint64(5000 + 9000 + 100));
    QVERIFY(WaitForCompletion(screen->ProgressWindow()));

    QVERIFY(!QFileInfo::exists(chosen));
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(!QFileInfo::exists(trace));
    QVERIFY(QFileInfo::exists(kept));
    QVERIFY(QFileInfo::exists(protectedFile));
    QVERIFY(f.fakes.Calls(QStringLiteral("shutdown")).isEmpty());
    // The protected folder was named before the confirmation; no choice outlives the run.
    QCOMPARE(MessageBox::ShownForTests(),
             QStringList("Erase|These items lie in protected system locations and will not be erased:\n" +
                         QFileInfo(protectedFile).path()));
    QTRY_VERIFY(screen->VolumeView(0)->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(screen->TraceTree(0)->selectedItems().isEmpty());

    const QStringList log = LogLines();
    QVERIFY(log.contains("File Path: " + chosen + " | Erasure successful 06/12/2026|09:30:00 "));
    QVERIFY(log.contains("Folder Path: " + folder + " | Erasure successful 06/12/2026|09:30:00 "));
    const QStringList header{"",
                             "Algorithm used : Zeroes 1 Write Pass ",
                             "Verification used : No verification",
                             "Erasure started at  06/12/2026|09:30:00 ",
                             QString(61, '_'),
                             ""};
    QCOMPARE(log.mid(0, header.size()), header);
    for (const QString& line : log)
        QVERIFY2(!line.contains(QLatin1String("keep.txt")) && !line.contains(QLatin1String("kept.txt")),
                 qPrintable(line));
}

void TestSelection::unusedSpaceThroughTheScreens()
{
    SelectionFixture& f = *m_f;
    const QString volumeFolder = f.ui.root.path() + QStringLiteral("/smallvolume");
    QDir().mkpath(volumeFolder);
    PlantDisk(f, volumeFolder); // listed with 12,345 bytes free
    // The volume has 64 KiB free at first; then what the filler files left.
    FreeSpaceTesting::SetSource([volumeFolder](const QString& folder) -> long long {
        if (folder != volumeFolder)
            return 0;
        qint64 used = WipingWizard::GetDirectorySize(volumeFolder);
        return qMax<qint64>(0, 64 * 1024 - used);
    });
    WipingWizard::SetWorkerSetupForTests([](MainWipeThread* worker) { worker->SetChunkSizeForTests(4096); });
    TracesMain* screen = f.Open(false, false, true);
    screen->DriveTree(0)->topLevelItem(0)->setSelected(true);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 1);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    screen->OnClickedNextBtn();
    QCOMPARE(ErasureSummary::ShownForTests().first(), QStringList({"Unused space", "  Test Media/volume", ""}));
    QVERIFY(screen->ProgressWindow());
    QCOMPARE(screen->ProgressWindow()->TotalBytes(), qint64(12345));
    QVERIFY(WaitForCompletion(screen->ProgressWindow()));
    QCOMPARE(screen->ProgressWindow()->Worker()->JobResults(), QVector<bool>{true});
    QVERIFY(QDir(volumeFolder).isEmpty()); // the filler folder is gone again
}

QTEST_MAIN(TestSelection)
#include "tst_selection.moc"
