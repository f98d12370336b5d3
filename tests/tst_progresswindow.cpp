// The progress window with the real worker on a temporary tree: totals, percentage and path
// shortening, Stop, completion with the restart question (a fake `shutdown` on PATH), the
// certificate of search runs, and whole runs started from the selection screen.
#include "SelectionTestSupport.h"

#include "ErasureLog.h"
#include "FreeSpace.h"
#include "MainWipeThread.h"
#include "MessageBox.h"
#include "RestartDialog.h"
#include "WipingWizard.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTreeWidget>
#include <QtTest>

#include <atomic>

using ErasureLog::ItemKind;
using ErasureLog::Outcome;

class TestProgressWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shortenPath_data();
    void shortenPath();
    void totalAndPercentage();
    void stopQuestion_data();
    void stopQuestion();
    void restartAnswer_data();
    void restartAnswer();
    void dialogButtons();
    void searchRunWritesCertificate();
    void selectionScreenEndToEnd();
    void unusedSpaceThroughTheScreens();

private:
    void AddJob(int type, const QString& path, qint64 size);
    // Waits until the run completed and the restart question was answered.
    bool WaitForCompletion(WipingWizard* window);
    QStringList LogLines() const;

    SelectionFixture* m_f = nullptr;
    const QDateTime m_now = QDateTime(QDate(2026, 12, 6), QTime(9, 30, 0));
};

void TestProgressWindow::init()
{
    m_f = new SelectionFixture;
    KorvaneApp::SetClockForTests(m_now);
    MessageBox::ShownForTests().clear();
}

void TestProgressWindow::cleanup()
{
    WipingWizard::SetWorkerSetupForTests(nullptr);
    FreeSpaceTesting::SetSource({});
    delete m_f;
    m_f = nullptr;
    KorvaneApp::SetClockForTests(QDateTime());
}

void TestProgressWindow::AddJob(int type, const QString& path, qint64 size)
{
    APPWIPINGINFO job;
    job.wipeType = type;
    job.itemPath = path;
    job.itemSize = size;
    job.category = QStringLiteral("Folder & Files");
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
}

bool TestProgressWindow::WaitForCompletion(WipingWizard* window)
{
    return QTest::qWaitFor(
        [window]() {
            return !KorvaneApp::GetInstance()->erasureRunning && window->Worker()->isFinished() && !window->isVisible();
        },
        20000);
}

QStringList TestProgressWindow::LogLines() const
{
    QFile log(m_f->ui.app->logPath + QStringLiteral("/KVLOGFILE/run.log"));
    log.open(QIODevice::ReadOnly);
    return QString::fromUtf8(log.readAll()).split(QLatin1Char('\n'));
}

void TestProgressWindow::shortenPath_data()
{
    const QString dirs = QStringLiteral("/0123456789/0123456789/0123456789/0123456789");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("shown");
    QTest::newRow("64 whole") << dirs + "/0123456789/file5678" << dirs + "/0123456789/file5678";
    QTest::newRow("65 shortened") << dirs + "/0123456789/file56789" << dirs + "/.../file56789";
    QTest::newRow("31-character name") << dirs + "/abcdefghijklmnopqrstuvwxyz01234" << dirs + "/...xyz01234";
    QTest::newRow("short") << QStringLiteral("/tmp/a.txt") << QStringLiteral("/tmp/a.txt");
}

void TestProgressWindow::shortenPath()
{
    QFETCH(QString, path);
    QFETCH(QString, shown);
    QCOMPARE(WipingWizard::ShortenPath(path), shown);
}

void TestProgressWindow::totalAndPercentage()
{
    const QString folder = m_f->home + QStringLiteral("/Work/folder");
    m_f->MakeFile(QStringLiteral("home/tester/Work/folder/a.bin"), 300);
    m_f->MakeFile(QStringLiteral("home/tester/Work/folder/sub/.hidden"), 200);
    AddJob(APPWIPINGINFO::File, m_f->home + QStringLiteral("/Work/missing.txt"), 1000);
    AddJob(APPWIPINGINFO::Folder, folder, 0);
    AddJob(APPWIPINGINFO::Plist, QString(), 0);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    WipingWizard window(nullptr);
    QCOMPARE(window.TotalBytes(), qint64(1500));
    QCOMPARE(window.SelectedFileCount(), qint64(0));
    QCOMPARE(window.size(), QSize(450, 160));

    const QString path = QStringLiteral("/0123456789/0123456789/0123456789/0123456789/0123456789/file56789");
    window.UpdateWipingStatus(750, path);
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("ErasingLabel"))->text(),
             QStringLiteral("Erasing In Progress [ 50 %]"));
    QCOMPARE(window.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 50);
    QCOMPARE(window.findChild<QLabel*>(QStringLiteral("WipingLabel"))->text(),
             QStringLiteral("Path: /0123456789/0123456789/0123456789/0123456789/.../file56789"));
    QVERIFY(WaitForCompletion(&window));
    QVERIFY(!QFileInfo::exists(folder));
}

void TestProgressWindow::stopQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("no keeps erasing") << int(MessageBox::No);
    QTest::newRow("yes ends at a chunk boundary") << int(MessageBox::Yes);
}

void TestProgressWindow::stopQuestion()
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
    QCOMPARE(MessageBox::ShownForTests(), QStringList("Stop Process|Do you want to stop the current process?"));

    const QStringList log = LogLines();
    QVERIFY(!QFileInfo::exists(big)); // truncated and removed either way
    if (answer == MessageBox::Yes) {
        QVERIFY(reports < 256); // ended long before the last of its 256 chunks
        QVERIFY(log.contains(ErasureLog::ItemLine(ItemKind::File, Outcome::Failed, big, m_now)));
        QVERIFY(log.contains(ErasureLog::AbortLine(m_now)));
        QVERIFY(QFileInfo::exists(next));
    } else {
        QVERIFY(log.contains(ErasureLog::ItemLine(ItemKind::File, Outcome::Successful, big, m_now)));
        QVERIFY(log.contains(ErasureLog::ItemLine(ItemKind::File, Outcome::Successful, next, m_now)));
        QVERIFY(!QFileInfo::exists(next));
    }
    delete window;
}

void TestProgressWindow::restartAnswer_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("shutdownCalls");
    QTest::newRow("Restart Later") << 0 << QStringList();
    QTest::newRow("Restart Now") << 1 << QStringList("-r\tnow");
}

void TestProgressWindow::restartAnswer()
{
    QFETCH(int, answer);
    QFETCH(QStringList, shutdownCalls);
    const QString file = m_f->MakeFile(QStringLiteral("home/tester/Work/a.txt"), 10);
    AddJob(APPWIPINGINFO::File, file, 10);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), answer);
    WipingWizard window(nullptr);
    QVERIFY(WaitForCompletion(&window));
    QCOMPARE(m_f->fakes.Calls(QStringLiteral("shutdown")), shutdownCalls);
    QVERIFY(!QFileInfo::exists(file));
}

void TestProgressWindow::dialogButtons()
{
    RestartDialog restart(QStringLiteral("Erasure completed !\nRestart system to allow changes to take effect."),
                          nullptr);
    QCOMPARE(restart.size(), QSize(350, 170));
    QCOMPARE(restart.findChild<QLabel*>(QStringLiteral("MessageString"))->text(),
             QStringLiteral("Erasure completed !\nRestart system to allow changes to take effect."));
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
    QCOMPARE(summary->size(), QSize(486, 384));
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

void TestProgressWindow::searchRunWritesCertificate()
{
    KorvaneApp* app = m_f->ui.app;
    app->searchMode = true;
    app->certificatePath = m_f->ui.root.path() + QStringLiteral("/certificates");
    const QString file = m_f->MakeFile(QStringLiteral("home/tester/Work/found.txt"), 10);
    AddJob(APPWIPINGINFO::File, file, 10);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    WipingWizard window(nullptr);
    QCOMPARE(window.SelectedFileCount(), qint64(1));
    QVERIFY(WaitForCompletion(&window));
    const QStringList pdfs =
        QDir(app->certificatePath + QStringLiteral("/KVCERTIFICATE")).entryList({QStringLiteral("*.pdf")});
    QCOMPARE(pdfs.size(), 1);
    QCOMPARE(app->certificateList.size(), 1);
    QCOMPARE(app->certificateList.first().status, int(CERTIFICATEDATA::Erased));
}

void TestProgressWindow::selectionScreenEndToEnd()
{
    SelectionFixture& f = *m_f;
    f.mounted << f.tree;
    KorvaneApp* app = f.ui.app;
    app->FillLeftPaneListInit(QStringLiteral("Application Traces"), QString(), QString(), 0, 4, QString());
    auto* group = new APPLICATIONINFO;
    group->name = QStringLiteral("Recent Files");
    group->parentId = 4;
    group->currentId = 401;
    group->installed = true;
    AppendNode(app->appTracesList, group);
    auto* record = new APPLICATIONINFO(*group);
    record->next = nullptr;
    record->pathList = new PATHINFO;
    record->pathList->path = f.home + QStringLiteral("/Work/recent/*");
    AppendNode(app->appList, record);

    const QString chosen = f.MakeFile(QStringLiteral("home/tester/Work/chosen.txt"), 5000);
    const QString kept = f.MakeFile(QStringLiteral("home/tester/Work/kept.txt"), 70);
    const QString folder = f.home + QStringLiteral("/Work/old");
    f.MakeFile(QStringLiteral("home/tester/Work/old/inner/deep.bin"), 9000);
    const QString trace = f.MakeFile(QStringLiteral("home/tester/Work/recent/one.txt"), 40);
    const QString protectedFile = f.MakeFile(QStringLiteral("home/tester/Documents/keep.txt"));
    f.AddVolume(QStringLiteral("Scratch"), f.tree);

    TracesMain* screen = f.Open(true, true, false);
    f.SelectFiles(0, {chosen, folder, QFileInfo(protectedFile).path()});
    screen->TraceTree(0)->topLevelItem(0)->child(0)->setSelected(true);
    DialogAnswers::Queue(QStringLiteral("ErasureSummary"), 1);
    DialogAnswers::Queue(QStringLiteral("RestartDialog"), 0);
    screen->findChild<QPushButton*>(QStringLiteral("next_btn"))->click();
    QVERIFY(screen->ProgressWindow());
    QCOMPARE(screen->ProgressWindow()->TotalBytes(), qint64(5000 + 9000 + 40));
    QVERIFY(WaitForCompletion(screen->ProgressWindow()));

    QVERIFY(!QFileInfo::exists(chosen));
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(!QFileInfo::exists(trace));
    QVERIFY(QFileInfo::exists(kept));
    QVERIFY(QFileInfo::exists(protectedFile));
    QVERIFY(f.fakes.Calls(QStringLiteral("shutdown")).isEmpty());

    const QStringList log = LogLines();
    QVERIFY(log.contains(ErasureLog::ItemLine(ItemKind::File, Outcome::Successful, chosen, m_now)));
    QVERIFY(log.contains(ErasureLog::ItemLine(ItemKind::Folder, Outcome::Successful, folder, m_now)));
    const QStringList header =
        ErasureLog::RunHeader(MainWipeThread::GetAlgorithmName(0), MainWipeThread::GetVerificationName(0), m_now);
    QCOMPARE(log.mid(0, header.size()), header);
    for (const QString& line : log)
        QVERIFY2(!line.contains(QLatin1String("keep.txt")) && !line.contains(QLatin1String("kept.txt")),
                 qPrintable(line));
}

void TestProgressWindow::unusedSpaceThroughTheScreens()
{
    SelectionFixture& f = *m_f;
    const QString volumeFolder = f.ui.root.path() + QStringLiteral("/smallvolume");
    QDir().mkpath(volumeFolder);
    auto* disk = new DISKINFO;
    disk->mediaName = QStringLiteral("Test Media");
    disk->listed = true;
    disk->partitionList = new PARTITIONINFO;
    disk->partitionList->volumeName = QStringLiteral("small");
    disk->partitionList->mountPoint = volumeFolder;
    disk->partitionList->freeSpace = 64 * 1024;
    AppendNode(f.ui.app->diskList, disk);

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
    QCOMPARE(ErasureSummary::ShownForTests().first(), QStringList({"Unused space", "  Test Media/small", ""}));
    QVERIFY(screen->ProgressWindow());
    QCOMPARE(screen->ProgressWindow()->TotalBytes(), qint64(64 * 1024));
    QVERIFY(WaitForCompletion(screen->ProgressWindow()));
    QCOMPARE(screen->ProgressWindow()->Worker()->JobResults(), QVector<bool>{true});
    QVERIFY(QDir(volumeFolder).isEmpty()); // the filler folder is gone again
}

QTEST_MAIN(TestProgressWindow)
#include "tst_progresswindow.moc"
