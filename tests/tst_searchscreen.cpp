// Search: the pattern rules, the walk and the jobs it yields; the criteria page, the result
// page (its search, Stop and Erase, with the confirmation and progress windows recorded), and
// a search erased from end to end from the main window with the real windows and worker, a
// certificate and a fake `shutdown`.
#include "AppUiFixture.h"
#include "DialogAnswers.h"
#include "DirectoryDialog.h"
#include "ErasureHandOver.h"
#include "ErasureSummary.h"
#include "FakeCommands.h"
#include "KorvaneforFileMain.h"
#include "MainWipeThread.h"
#include "SearchFileMain.h"
#include "SearchJobs.h"
#include "SearchPatterns.h"
#include "SearchResult.h"
#include "SearchThread.h"
#include "TestFiles.h"
#include "WipingWizard.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {
// A job as "type|path|category|size|algorithm|verification".
QString JobText(const APPWIPINGINFO& job)
{
    return QString("%1|%2|%3|%4|%5|%6")
        .arg(job.wipeType)
        .arg(job.itemPath, job.category)
        .arg(job.itemSize)
        .arg(job.algorithm)
        .arg(job.verification);
}

const QString kLimitMessage = "Find Files|File name can't be more than 64\ncharacters.";
const QString kInvalidMessage = "Find Files|Invalid search criteria.";
const QString kSystemFolderMessage =
    "Find Files|You have selected an operating system folder.\nSelected folder can't be erased.";
} // namespace

class TestSearchScreen : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void splitAndValidate_data();
    void splitAndValidate();
    void walkFindsMatchingFiles_data();
    void walkFindsMatchingFiles();
    void stopEndsWalkAndStillCompletes();
    void jobFromPath_data();
    void jobFromPath();
    void patternLimit_data();
    void patternLimit();
    void findButtonNeedsBothTexts_data();
    void findButtonNeedsBothTexts();
    void browse_data();
    void browse();
    void listsMatchesAndCompletes();
    void stopQuestion_data();
    void stopQuestion();
    void eraseRefused_data();
    void eraseRefused();
    void eraseBuildsSearchJobs_data();
    void eraseBuildsSearchJobs();
    void searchBackAndEraseFromTheMainWindow();

private:
    QString MakeFile(const QString& relative, int size = 0);
    // A walk long enough to be stopped: 3,000 matches in ten folders.
    void MakeManyFiles()
    {
        for (int i = 0; i < 3000; ++i)
            MakeFile(QString("Many/d%1/photo%2.gif").arg(i % 10).arg(i));
    }
    SearchResult* StartSearch(const QString& patterns);
    // The paths, below the scratch folder, that a walk reported.
    QStringList Search(const QString& location, const QStringList& patterns);
    void WaitForSearchEnd() { QTRY_VERIFY_WITH_TIMEOUT(!fixture->app->searchRunning, 20000); }
    QTextEdit* Patterns() const { return screen->findChild<QTextEdit*>("FN_Edit_TextEdit"); }
    QTextEdit* Location() const { return screen->findChild<QTextEdit*>("SF_Location_TextEdit"); }
    QPushButton* Button(QWidget* in, const char* name) const { return in->findChild<QPushButton*>(name); }
    QPushButton* EraseButton() const { return page->findChild<QPushButton*>("Confirm_Erase_Btn"); }

    std::unique_ptr<AppUiFixture> fixture;
    std::unique_ptr<FakeCommands> fakes;
    std::unique_ptr<SearchFileMain> screen;
    std::unique_ptr<SearchResult> page;
    QString scratch;
    ErasureHandOver savedHandOver;
    int confirmations = 0;
    int confirmAnswer = 1;
    QStringList summaryAtConfirm;
    QList<APPWIPINGINFO> jobsAtConfirm;
    QList<QPointer<QWidget>> progressWindows;
};

QString TestSearchScreen::MakeFile(const QString& relative, int size)
{
    return WriteTestFile(scratch + "/" + relative, QByteArray(size, 'k'));
}

void TestSearchScreen::init()
{
    fixture.reset(new AppUiFixture);
    fakes.reset(new FakeCommands);
    for (const char* command : {"shutdown", "kill", "killall"})
        fakes->Add(command);
    fakes->Add("whoami", "tester\n");
    KorvaneApp* app = fixture->app;
    app->certificatePath = fixture->root.path() + "/certificates";
    app->logPath = fixture->root.path() + "/logs";
    QDir().mkpath(app->logPath + "/KVLOGFILE");
    app->logFileStamp = "run";
    scratch = fixture->root.path() + "/scratch";
    MakeFile("Photos/IMG_001.JPG", 1536);
    MakeFile("Photos/img_002.jpg", 10);
    MakeFile("Photos/.cache/IMG_h.JPG");
    MakeFile("Photos/list.txt");
    MakeFile("Photos/Holiday Shot.Png");
    MakeFile("Photos/.thumb.jpg");
    MakeFile("Фото/ФОТО.JPG", 3);
    QDir().mkpath(scratch + "/album.jpg"); // a folder is never a match
    QDir().mkpath(fixture->root.path() + "/outside/pictures");
    WriteTestFile(fixture->root.path() + "/outside/pictures/outside.jpg");
    QFile::link(fixture->root.path() + "/outside/pictures", scratch + "/linked");
    // The scratch folder sits in the system's temporary folder, which is protected on Linux:
    // the test's folder plays the root for the rules, everything outside it is protected.
    KorvaneApp::SetProtectionRootForTests(QFileInfo(fixture->root.path()).canonicalFilePath());
    DialogAnswers::Clear();
    ErasureSummary::ShownForTests().clear();

    // Record what the result page hands over instead of opening the confirmation and progress
    // windows.
    savedHandOver = SearchErasureHandOver();
    confirmations = 0;
    confirmAnswer = 1;
    summaryAtConfirm.clear();
    jobsAtConfirm.clear();
    progressWindows.clear();
    SearchErasureHandOver().confirm = [this](QWidget* parent) {
        ++confirmations;
        [&] { QCOMPARE(parent, fixture->app->centralArea); }();
        summaryAtConfirm = fixture->app->searchSummaryList;
        for (APPWIPINGINFO* job = fixture->app->wipingInfoList; job; job = job->next)
            jobsAtConfirm.append(*job);
        return confirmAnswer;
    };
    SearchErasureHandOver().startProgress = [this](QWidget* parent) {
        auto* window = new QWidget(parent, Qt::Window);
        window->show();
        progressWindows.append(window);
        return window;
    };
    screen.reset(new SearchFileMain);
    screen->show();
}

void TestSearchScreen::cleanup()
{
    screen.reset();
    page.reset();
    for (const QPointer<QWidget>& window : progressWindows)
        delete window; // a window still shown is left to close itself
    SearchErasureHandOver() = savedHandOver;
    KorvaneApp::SetProtectionRootForTests(QString());
    DialogAnswers::Clear();
    fakes.reset();
    fixture.reset();
}

SearchResult* TestSearchScreen::StartSearch(const QString& patterns)
{
    page.reset(new SearchResult(scratch, patterns));
    page->show();
    return page.get();
}

QStringList TestSearchScreen::Search(const QString& location, const QStringList& patterns)
{
    SearchThread thread;
    thread.location = location;
    thread.patterns = patterns;
    QSignalSpy found(&thread, &SearchThread::SearchingString);
    QSignalSpy complete(&thread, &SearchThread::SearchingComplete);
    thread.start();
    // The spies record on the walking thread; joining it makes every record visible here.
    if (!thread.wait(10000) || complete.count() != 1)
        return {"<no SearchingComplete>"};
    QStringList paths;
    for (const QList<QVariant>& args : found)
        paths.append(QDir(scratch).relativeFilePath(args.at(0).toString()));
    paths.sort();
    return paths;
}

void TestSearchScreen::splitAndValidate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<bool>("valid");

    QTest::newRow("hint example") << "*.JPG;*.PNG" << QStringList{"*.JPG", "*.PNG"} << true;
    QTest::newRow("one star") << "*.txt" << QStringList{"*.txt"} << true;
    QTest::newRow("two stars") << "*report*" << QStringList{"*report*"} << true;
    QTest::newRow("three stars") << "***" << QStringList{"***"} << false;
    QTest::newRow("three stars in second") << "*.a;*b*c*" << QStringList{"*.a", "*b*c*"} << false;
    QTest::newRow("stars of two patterns") << "*.a*;*.b*" << QStringList{"*.a*", "*.b*"} << true;
    QTest::newRow("blanks kept") << " *.jpg ; *.png" << QStringList{" *.jpg ", " *.png"} << true;
    QTest::newRow("empty segments skipped") << ";;*.txt;" << QStringList{"*.txt"} << true;
    QTest::newRow("only separators") << ";;" << QStringList{} << false;
}

void TestSearchScreen::splitAndValidate()
{
    QFETCH(QString, text);
    QFETCH(QStringList, patterns);
    QFETCH(bool, valid);
    QCOMPARE(SplitSearchPatterns(text), patterns);
    QCOMPARE(SearchPatternsValid(SplitSearchPatterns(text)), valid);
}

void TestSearchScreen::walkFindsMatchingFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("lower case finds upper case")
        << "*.jpg" << QStringList{"Photos/IMG_001.JPG", "Photos/img_002.jpg", "Фото/ФОТО.JPG"};
    QTest::newRow("hint example") << "*.JPG;*.PNG"
                                  << QStringList{"Photos/Holiday Shot.Png", "Photos/IMG_001.JPG", "Photos/img_002.jpg",
                                                 "Фото/ФОТО.JPG"};
    QTest::newRow("question mark") << "img_00?.*" << QStringList{"Photos/IMG_001.JPG", "Photos/img_002.jpg"};
    QTest::newRow("non-Latin-1 lower case") << "фото*" << QStringList{"Фото/ФОТО.JPG"};
    QTest::newRow("whole name only") << "list" << QStringList{};
    QTest::newRow("exact name") << "LIST.TXT" << QStringList{"Photos/list.txt"};
    QTest::newRow("missing location") << "<missing>" << QStringList{};
}

void TestSearchScreen::walkFindsMatchingFiles()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    // Hidden entries, the folder named album.jpg and the linked folder's file stay out.
    if (text == "<missing>")
        QCOMPARE(Search(scratch + "/does-not-exist", {"*"}), expected);
    else
        QCOMPARE(Search(scratch, SplitSearchPatterns(text)), expected);
}

void TestSearchScreen::stopEndsWalkAndStillCompletes()
{
    for (int i = 0; i < 200; ++i)
        MakeFile(QString("Many/file%1.dat").arg(i));
    SearchThread thread;
    thread.location = scratch + "/Many";
    thread.patterns = QStringList{"*.DAT"};
    int found = 0;
    // A direct connection runs on the walking thread, so the stop lands before the next entry.
    connect(
        &thread, &SearchThread::SearchingString, this,
        [&](const QString&) {
            ++found;
            thread.stopRequested = true;
        },
        Qt::DirectConnection);
    QSignalSpy complete(&thread, &SearchThread::SearchingComplete);
    thread.start();
    QVERIFY(thread.wait(10000));
    QCOMPARE(complete.count(), 1);
    QCOMPARE(found, 1);
}

void TestSearchScreen::jobFromPath_data()
{
    // A path as the result list gives it (@ the scratch folder), and the job made of it.
    QTest::addColumn<QString>("relative");
    QTest::addColumn<QString>("job");
    QTest::newRow("file") << "Photos/IMG_001.JPG"
                          << "0|@/Photos/IMG_001.JPG|Search File|1536|10|2";
    QTest::newRow("link to folder") << "linked"
                                    << "0|@/linked|Search File|0|10|2";
    QTest::newRow("vanished") << "Jobs/gone.bin"
                              << "0|@/Jobs/gone.bin|Search File|0|10|2";
}

void TestSearchScreen::jobFromPath()
{
    QFETCH(QString, relative);
    QFETCH(QString, job);
    QCOMPARE(JobText(MakeSearchJob(scratch + "/" + relative, 10, 2)), job.replace('@', scratch));
}

void TestSearchScreen::patternLimit_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<int>("messages");

    QTest::newRow("64 typed") << 64 << false << 0;
    QTest::newRow("65th typed") << 65 << false << 1;
    QTest::newRow("100 pasted") << 100 << true << 1;
}

void TestSearchScreen::patternLimit()
{
    QFETCH(int, typed);
    QFETCH(bool, pasted);
    QFETCH(int, messages);
    QString text;
    for (int i = 0; i < typed; ++i)
        text += QChar('a' + i % 26);
    Patterns()->setFocus();
    QTest::keyClick(Patterns(), Qt::Key_Return); // neither key adds a line
    QTest::keyClick(Patterns(), Qt::Key_Enter);
    if (pasted)
        Patterns()->insertPlainText(text);
    else
        QTest::keyClicks(Patterns(), text);
    QCOMPARE(MessageBox::ShownForTests().count(kLimitMessage), messages);
    QCOMPARE(Patterns()->toPlainText(), text.left(64));
    // Typing goes on at the end of what is left, so a further key is cut off again.
    QTest::keyClick(Patterns(), Qt::Key_Z);
    QCOMPARE(Patterns()->toPlainText(), text.left(64));
}

void TestSearchScreen::findButtonNeedsBothTexts_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<bool>("withLocation");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("found"); // rows on the result page, -1 when it did not open

    QTest::newRow("neither") << "" << false << false << -1;
    QTest::newRow("patterns only") << "*.jpg" << false << false << -1;
    QTest::newRow("location only") << "" << true << false << -1;
    QTest::newRow("both") << "*.jpg" << true << true << 3;
    QTest::newRow("hint example") << "*.JPG;*.PNG" << true << true << 4;
    // The rules themselves are rows of splitAndValidate; here only that the screen applies them.
    QTest::newRow("three stars in the second") << "*.JPG;*a*b*" << true << true << -1;
}

void TestSearchScreen::findButtonNeedsBothTexts()
{
    QFETCH(QString, patterns);
    QFETCH(bool, withLocation);
    QFETCH(bool, enabled);
    QFETCH(int, found);
    QPushButton* find = Button(screen.get(), "Find_Btn");
    QVERIFY(!find->isEnabled());
    if (withLocation) {
        QueueDirectoryForTests(scratch);
        QTest::mouseClick(Button(screen.get(), "Browse_btn"), Qt::LeftButton);
    }
    Patterns()->setPlainText(patterns);
    QCOMPARE(find->isEnabled(), enabled);
    screen->FileSearchNext(); // as Find and Forward do: a disabled Find opens nothing
    QCOMPARE(screen->IsResultShown(), found >= 0);
    QCOMPARE(screen->findChild<QWidget*>("Criteria_widget")->isVisible(), found < 0);
    QCOMPARE(MessageBox::ShownForTests().contains(kInvalidMessage), enabled && found < 0);
    WaitForSearchEnd();
    if (found >= 0)
        QCOMPARE(screen->ResultPage()->ResultTree()->topLevelItemCount(), found);
}

void TestSearchScreen::browse_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("refused");

    QTest::newRow("protected system folder") << "/usr/share" << true << true;
    QTest::newRow("protected root") << "/" << true << true;
    QTest::newRow("cancelled") << "" << true << false;
    QTest::newRow("ordinary folder") << "Photos" << false << false;
}

void TestSearchScreen::browse()
{
    QFETCH(QString, answer);
    QFETCH(bool, kept);
    QFETCH(bool, refused);
    QueueDirectoryForTests(scratch);
    QTest::mouseClick(Button(screen.get(), "Browse_btn"), Qt::LeftButton);
    QCOMPARE(Location()->toPlainText(), scratch);

    const QString folder = answer.startsWith('/') || answer.isEmpty() ? answer : scratch + "/" + answer;
    QueueDirectoryForTests(folder);
    QTest::mouseClick(Button(screen.get(), "Browse_btn"), Qt::LeftButton);
    QCOMPARE(Location()->toPlainText(), kept ? scratch : folder);
    QCOMPARE(MessageBox::ShownForTests().contains(kSystemFolderMessage), refused);
    QVERIFY(Button(screen.get(), "Browse_btn")->isEnabled());
}

void TestSearchScreen::listsMatchesAndCompletes()
{
    QPushButton* back = new QPushButton; // stands for the title bar, disabled while searching
    fixture->app->backButton = back;
    StartSearch("*.jpg");
    QTreeWidget* tree = page->ResultTree();
    QVERIFY(fixture->app->searchRunning);
    QCOMPARE(EraseButton()->text(), QString("Stop"));
    QVERIFY(!tree->isEnabled());
    QVERIFY(!back->isEnabled());

    WaitForSearchEnd();
    QCOMPARE(EraseButton()->text(), QString("Erase"));
    QVERIFY(tree->isEnabled());
    QVERIFY(back->isEnabled());
    QVERIFY(page->findChild<QLabel*>("label")->isHidden());
    QCOMPARE(MessageBox::ShownForTests(), QStringList{"Find Files|Search completed ! 3 items found."});
    fixture->app->backButton = nullptr;
    delete back;

    // Which names match is walkFindsMatchingFiles'; here, how a row shows its file.
    QCOMPARE(page->FoundCount(), 3);
    QCOMPARE(tree->topLevelItemCount(), 3);
    const QList<QTreeWidgetItem*> rows = tree->findItems("IMG_001.JPG", Qt::MatchExactly, 0);
    QCOMPARE(rows.size(), 1);
    const QFileInfo info(scratch + "/Photos/IMG_001.JPG");
    QCOMPARE(rows[0]->text(1), QString("1.50 KB"));
    QCOMPARE(rows[0]->text(2), info.absoluteFilePath());
    QCOMPARE(rows[0]->text(3), info.lastModified().toString("dd/MM/yyyy hh:mm:ss"));
    QCOMPARE(rows[0]->text(4), QString("File"));
}

void TestSearchScreen::stopQuestion_data()
{
    QTest::addColumn<bool>("answered");
    QTest::newRow("Yes stops") << true;
    // The question really opens and waits; the walk ends while it is shown.
    QTest::newRow("walk ends while asked") << false;
}

void TestSearchScreen::stopQuestion()
{
    QFETCH(bool, answered);
    MakeManyFiles();
    QStringList seen;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<MessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            const QString text =
                box->findChild<QLabel*>("TitleLabel")->text() + '|' + box->findChild<QLabel*>("MessageString")->text();
            if (!seen.contains(text))
                seen << text;
            if (text.contains("Search completed"))
                box->done(MessageBox::Ok);
        }
    });
    StartSearch("*.gif");
    if (answered) {
        MessageBox::QueueAnswerForTests(MessageBox::Yes);
    } else {
        qunsetenv("KORVANE_MESSAGEBOX_ANSWER");
        closer.start(5);
    }
    QTest::mouseClick(EraseButton(), Qt::LeftButton); // returns once the boxes are gone
    WaitForSearchEnd();
    closer.stop();
    qputenv("KORVANE_MESSAGEBOX_ANSWER", "99");

    // The count says how many rows were listed, whether the walk ran to its end or not.
    const int rows = page->ResultTree()->topLevelItemCount();
    QCOMPARE(answered ? MessageBox::ShownForTests() : seen,
             (QStringList{"Stop Process|Do you want to stop the current process?",
                          QString("Find Files|Search completed ! %1 items found.").arg(rows)}));
    QVERIFY(answered || rows == 3000);
    QCOMPARE(EraseButton()->text(), QString("Erase"));
    QCOMPARE(confirmations, 0);
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<MessageBox*>(widget)); // every box deleted
}

void TestSearchScreen::eraseRefused_data()
{
    QTest::addColumn<bool>("erasing");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing selected") << false << "Erase|Select an item to erase.";
    QTest::newRow("erasure running") << true << "Erase|An erasure is running.\nPlease wait until it has completed.";
}

void TestSearchScreen::eraseRefused()
{
    QFETCH(bool, erasing);
    QFETCH(QString, message);
    fixture->app->fileSummaryList << "left over";
    StartSearch("*.jpg");
    WaitForSearchEnd();
    page->ResultTree()->topLevelItem(0)->setSelected(erasing);
    fixture->app->erasureRunning = erasing;
    MessageBox::ShownForTests().clear();
    QTest::mouseClick(EraseButton(), Qt::LeftButton);
    fixture->app->erasureRunning = false;
    QCOMPARE(MessageBox::ShownForTests(), QStringList{message});
    QCOMPARE(confirmations, 0);
    QVERIFY(!fixture->app->wipingInfoList);
    if (!erasing) // a running erasure's lists are left alone
        QVERIFY(fixture->app->fileSummaryList.isEmpty());
}

void TestSearchScreen::eraseBuildsSearchJobs_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("confirmed") << 1;
    QTest::newRow("declined") << 0;
}

void TestSearchScreen::eraseBuildsSearchJobs()
{
    QFETCH(int, answer);
    confirmAnswer = answer;
    fixture->app->algorithm = 10;
    fixture->app->verification = 2;
    StartSearch("*.JPG");
    WaitForSearchEnd();
    // A row whose path has become a folder with a non-Latin-1 name is erased as a folder.
    const QString folder = scratch + "/Фото";
    page->SearchFile(folder);
    QTreeWidget* tree = page->ResultTree();
    QTRY_COMPARE(tree->topLevelItemCount(), 4);

    QTreeWidgetItem* photo = tree->findItems("ФОТО.JPG", Qt::MatchExactly, 0).value(0);
    QTreeWidgetItem* album = tree->findItems("Фото", Qt::MatchExactly, 0).value(0);
    QVERIFY(photo && album);
    photo->setSelected(true);
    album->setSelected(true);
    QTest::mouseClick(EraseButton(), Qt::LeftButton);

    QCOMPARE(confirmations, 1);
    QCOMPARE(summaryAtConfirm, (QStringList{photo->text(2), folder}));
    QCOMPARE(JobText(jobsAtConfirm.value(0)), "0|" + photo->text(2) + "|Search File|3|10|2");
    QCOMPARE(JobText(jobsAtConfirm.value(1)), "1|" + folder + "|Search File|0|10|2");
    QCOMPARE(progressWindows.size(), answer == 1 ? 1 : 0);
    QCOMPARE(page->ProgressWindow(), progressWindows.value(0).data());

    // Forward does the same; a confirmed erasure replaces the window opened before, once
    // that one has finished.
    if (answer == 1)
        progressWindows[0]->hide();
    page->ErasingSearch();
    QCOMPARE(confirmations, 2);
    QCOMPARE(summaryAtConfirm, (QStringList{photo->text(2), folder})); // replaced, not added to
    QCOMPARE(jobsAtConfirm.size(), 4);
    if (answer == 1) {
        QCOMPARE(progressWindows.size(), 2);
        QCOMPARE(page->ProgressWindow(), progressWindows[1].data());
        QVERIFY(!progressWindows[0]);
        // Leaving the page while its erasure runs keeps the progress window (and its worker)
        // until the window closes itself.
        page.reset();
        QVERIFY(progressWindows[1]);
        progressWindows[1]->close();
        QTRY_VERIFY(!progressWindows[1]);
    }
}

void TestSearchScreen::searchBackAndEraseFromTheMainWindow()
{
    screen.reset();
    SearchErasureHandOver() = savedHandOver; // the real confirmation and progress windows
    fixture->app->algorithm = 10;
    KorvaneforFileMain window;
    window.show();
    QTest::mouseClick(Button(&window, "search_file_slider_btn"), Qt::LeftButton);
    QTest::mouseClick(Button(&window, "next_btn"), Qt::LeftButton);
    auto* search = qobject_cast<SearchFileMain*>(window.SearchScreen());
    QVERIFY(search);
    QVERIFY(fixture->app->searchMode);
    QCOMPARE(fixture->app->helpPage, 2);
    QueueDirectoryForTests(scratch);
    QTest::mouseClick(Button(search, "Browse_btn"), Qt::LeftButton);
    search->findChild<QTextEdit*>("FN_Edit_TextEdit")->setPlainText("*.jpg");

    // Forward on the criteria page is Find.
    QTest::mouseClick(Button(&window, "pushButton_frwrd"), Qt::LeftButton);
    QVERIFY(search->IsResultShown());
    QPointer<SearchResult> firstPage = search->ResultPage();
    WaitForSearchEnd();
    QVERIFY(MessageBox::ShownForTests().contains("Find Files|Search completed ! 3 items found."));
    QPushButton* back = Button(&window, "pushButton_back");
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(window.SearchScreen(), search); // results -> criteria, both texts kept
    QVERIFY(!firstPage);
    QVERIFY(search->findChild<QWidget*>("Criteria_widget")->isVisible());
    QCOMPARE(search->findChild<QTextEdit*>("SF_Location_TextEdit")->toPlainText(), scratch);
    QCOMPARE(search->findChild<QTextEdit*>("FN_Edit_TextEdit")->toPlainText(), QString("*.jpg"));

    // Find again runs a new search on a new page; Forward there is Erase.
    QTest::mouseClick(Button(search, "Find_Btn"), Qt::LeftButton);
    WaitForSearchEnd();
    SearchResult* results = search->ResultPage();
    QCOMPARE(results->ResultTree()->topLevelItemCount(), 3);
    results->ResultTree()->selectAll();
    DialogAnswers::Queue("ErasureSummary", 1);
    DialogAnswers::Queue("RestartDialog", 1);
    QTest::mouseClick(Button(&window, "pushButton_frwrd"), Qt::LeftButton);
    QCOMPARE(ErasureSummary::ShownForTests().size(), 1);
    const QStringList lines = ErasureSummary::ShownForTests().at(0);
    QCOMPARE(lines.value(0), QString("Search Result"));
    QVERIFY(lines.contains("  " + scratch + "/Фото/ФОТО.JPG"));
    auto* progress = qobject_cast<WipingWizard*>(results->ProgressWindow());
    QVERIFY(progress);
    QVERIFY(QTest::qWaitFor(
        [&] { return !fixture->app->erasureRunning && progress->Worker()->isFinished() && !progress->isVisible(); },
        30000));
    for (const char* gone : {"Photos/IMG_001.JPG", "Photos/img_002.jpg", "Фото/ФОТО.JPG"})
        QVERIFY2(!QFileInfo::exists(scratch + "/" + QString::fromUtf8(gone)), gone);
    QVERIFY(QFileInfo::exists(scratch + "/Photos/list.txt"));
    QVERIFY(QFileInfo::exists(scratch + "/Photos/.cache/IMG_h.JPG"));
    QCOMPARE(fakes->Calls("shutdown"), QStringList{"-r\tnow"});

    QTest::mouseClick(back, Qt::LeftButton);
    QTest::mouseClick(back, Qt::LeftButton);
    QVERIFY(!window.SearchScreen()); // criteria -> home
    QVERIFY(window.findChild<QWidget*>("search_file_widget")->isVisible());
    QCOMPARE(fixture->app->helpPage, 0);

    // The certificate names the algorithm and every erased file.
    const QString certificates = fixture->app->certificatePath + "/KVCERTIFICATE/";
    const QStringList pdfs = QDir(certificates).entryList({"*.pdf"}, QDir::Files);
    QCOMPARE(pdfs.size(), 1);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) missing: run scripts/install-deps.sh");
    QProcess text;
    text.start("pdftotext", {certificates + pdfs[0], "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    for (const char* expected : {"Peter Gutmann", "No. of Selected Files 3", "Successful 3", "IMG_001.JPG", "ФОТО.JPG",
                                 "***End of Annexure***"})
        QVERIFY2(pdf.contains(QString::fromUtf8(expected)), qPrintable(pdf));
}

QTEST_MAIN(TestSearchScreen)
#include "tst_searchscreen.moc"
