#include "AppUiFixture.h"
#include "ErasureHandOver.h"
#include "SearchResult.h"
#include "SizeString.h"

#include <QHeaderView>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

class TestSearchResult : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listsMatchesAndCompletes();
    void stopQuestion_data();
    void stopQuestion();
    void stopQuestionClosedByCompletion();
    void eraseWithoutSelection();
    void eraseBuildsSearchJobs_data();
    void eraseBuildsSearchJobs();
    void eraseRefusedWhileErasing();

private:
    void MakeFile(const QString& relative, int size = 0);
    // A walk long enough to be stopped: 3,000 matches in ten folders.
    void MakeManyFiles()
    {
        for (int i = 0; i < 3000; ++i)
            MakeFile(QString("Many/d%1/photo%2.png").arg(i % 10).arg(i));
    }
    SearchResult* StartSearch(const QString& patterns, const QString& location = QString());
    void WaitForSearchEnd();
    QPushButton* EraseButton() const { return page->findChild<QPushButton*>("Confirm_Erase_Btn"); }

    std::unique_ptr<AppUiFixture> fixture;
    std::unique_ptr<SearchResult> page;
    QString scratch;
    ErasureHandOver savedHandOver;
    int confirmations = 0;
    int confirmAnswer = 1;
    QStringList summaryAtConfirm;
    QList<APPWIPINGINFO> jobsAtConfirm;
    QList<QPointer<QWidget>> progressWindows;
};

void TestSearchResult::MakeFile(const QString& relative, int size)
{
    const QString path = scratch + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, 'k'));
}

void TestSearchResult::init()
{
    fixture.reset(new AppUiFixture);
    scratch = fixture->root.path() + "/scratch";
    MakeFile("Photos/IMG_001.JPG", 1536);
    MakeFile("Photos/img_002.jpg", 10);
    MakeFile("Photos/.cache/IMG_h.JPG");
    MakeFile("Photos/list.txt");
    MakeFile("Фото/ФОТО.JPG", 3);

    // Record what the page hands over instead of opening the confirmation and progress windows.
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
}

void TestSearchResult::cleanup()
{
    page.reset();
    for (const QPointer<QWidget>& window : progressWindows)
        delete window; // a window still shown is left to close itself
    SearchErasureHandOver() = savedHandOver;
    fixture.reset();
}

SearchResult* TestSearchResult::StartSearch(const QString& patterns, const QString& location)
{
    page.reset(new SearchResult(location.isEmpty() ? scratch : location, patterns));
    page->show();
    return page.get();
}

void TestSearchResult::WaitForSearchEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(!fixture->app->searchRunning, 20000);
}

void TestSearchResult::listsMatchesAndCompletes()
{
    QPushButton* back = new QPushButton; // stands for the title bar, disabled while searching
    fixture->app->backButton = back;
    StartSearch("*.jpg");
    QTreeWidget* tree = page->ResultTree();
    QVERIFY(fixture->app->searchRunning);
    QCOMPARE(EraseButton()->text(), QString("Stop"));
    QVERIFY(EraseButton()->styleSheet().contains("img_Stop.png"));
    QVERIFY(!tree->isEnabled());
    QVERIFY(!back->isEnabled());

    WaitForSearchEnd();
    QCOMPARE(EraseButton()->text(), QString("Erase"));
    QVERIFY(EraseButton()->styleSheet().contains("img_Next.png"));
    QVERIFY(tree->isEnabled());
    QVERIFY(back->isEnabled());
    QVERIFY(page->findChild<QLabel*>("label")->isHidden());
    QCOMPARE(page->findChild<QLabel*>("label")->movie()->state(), QMovie::NotRunning);
    QCOMPARE(MessageBox::ShownForTests(), QStringList{"Find Files|Search completed ! 3 items found."});
    fixture->app->backButton = nullptr;
    delete back;

    QCOMPARE(tree->columnCount(), 5);
    const QStringList headers = {"      Name", "Size", " Path", " Date", " Kind"};
    const int widths[] = {240, 100, 380, 150, 20};
    for (int column = 0; column < 5; ++column) {
        QCOMPARE(tree->headerItem()->text(column), headers.at(column));
        // The last column stretches to the tree's edge.
        if (column < 4)
            QCOMPARE(tree->columnWidth(column), widths[column]);
        else
            QVERIFY(tree->columnWidth(column) >= widths[column]);
    }
    QCOMPARE(tree->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(tree->alternatingRowColors());

    // Hidden folders and other names stay out; case does not matter.
    QCOMPARE(page->FoundCount(), 3);
    QStringList paths;
    for (int row = 0; row < tree->topLevelItemCount(); ++row)
        paths << QDir(scratch).relativeFilePath(tree->topLevelItem(row)->text(2));
    paths.sort();
    QCOMPARE(paths, (QStringList{"Photos/IMG_001.JPG", "Photos/img_002.jpg", "Фото/ФОТО.JPG"}));

    const QList<QTreeWidgetItem*> rows = tree->findItems("IMG_001.JPG", Qt::MatchExactly, 0);
    QCOMPARE(rows.size(), 1);
    const QFileInfo info(scratch + "/Photos/IMG_001.JPG");
    QCOMPARE(rows[0]->text(1), QString("1.50 KB"));
    QCOMPARE(rows[0]->textAlignment(1), 0x86);
    QCOMPARE(rows[0]->text(2), info.absoluteFilePath());
    QCOMPARE(rows[0]->text(3), info.lastModified().toString("dd/MM/yyyy hh:mm:ss"));
    QCOMPARE(rows[0]->text(4), QString("File"));
}

void TestSearchResult::stopQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Yes stops") << int(MessageBox::Yes);
    QTest::newRow("No goes on") << int(MessageBox::No);
}

void TestSearchResult::stopQuestion()
{
    QFETCH(int, answer);
    MakeManyFiles();
    StartSearch("*.png");
    MessageBox::QueueAnswerForTests(answer);
    QTest::mouseClick(EraseButton(), Qt::LeftButton);
    WaitForSearchEnd();

    const QStringList shown = MessageBox::ShownForTests();
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], QString("Stop Process|Do you want to stop the current process?"));
    // The count says how many rows were listed, whether the walk ran to its end or not.
    const int rows = page->ResultTree()->topLevelItemCount();
    QCOMPARE(shown[1], QString("Find Files|Search completed ! %1 items found.").arg(rows));
    if (answer == MessageBox::No) { // every match of the large walk is listed and counted
        QCOMPARE(rows, 3000);
        QCOMPARE(page->FoundCount(), 3000);
    }
    QCOMPARE(EraseButton()->text(), QString("Erase"));
    QCOMPARE(confirmations, 0);
}

void TestSearchResult::stopQuestionClosedByCompletion()
{
    MakeManyFiles();
    // The stop question really opens and waits; the walk ends while it is shown.
    qunsetenv("KORVANE_MESSAGEBOX_ANSWER");
    QStringList seen;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<MessageBox*>(widget);
            if (!box || !box->isVisible())
                continue;
            const QString text = box->findChild<QLabel*>("MessageString")->text();
            if (!seen.contains(text))
                seen << text;
            if (text.startsWith("Search completed"))
                box->done(MessageBox::Ok);
        }
    });
    closer.start(5);
    StartSearch("*.png");
    QTest::mouseClick(EraseButton(), Qt::LeftButton); // returns once both boxes are gone
    WaitForSearchEnd();
    closer.stop();
    qputenv("KORVANE_MESSAGEBOX_ANSWER", "99");

    QCOMPARE(seen.value(0), QString("Do you want to stop the current process?"));
    QCOMPARE(seen.value(1), QString("Search completed ! 3000 items found."));
    QCOMPARE(page->ResultTree()->topLevelItemCount(), 3000);
    QCOMPARE(EraseButton()->text(), QString("Erase"));
    for (QWidget* widget : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<MessageBox*>(widget)); // both deleted
}

void TestSearchResult::eraseWithoutSelection()
{
    fixture->app->fileSummaryList << "left over";
    StartSearch("*.jpg");
    WaitForSearchEnd();
    MessageBox::ShownForTests().clear();
    QTest::mouseClick(EraseButton(), Qt::LeftButton);
    QCOMPARE(MessageBox::ShownForTests(), QStringList{"Erase|Select an item to erase."});
    QCOMPARE(confirmations, 0);
    QVERIFY(fixture->app->fileSummaryList.isEmpty());
    QVERIFY(!fixture->app->wipingInfoList);
}

void TestSearchResult::eraseBuildsSearchJobs_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("confirmed") << 1;
    QTest::newRow("declined") << 0;
}

void TestSearchResult::eraseBuildsSearchJobs()
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
    QCOMPARE(jobsAtConfirm.size(), 2);
    QCOMPARE(jobsAtConfirm[0].wipeType, int(APPWIPINGINFO::File));
    QCOMPARE(jobsAtConfirm[0].itemSize, qint64(3));
    QCOMPARE(jobsAtConfirm[1].itemPath, folder);
    QCOMPARE(jobsAtConfirm[1].wipeType, int(APPWIPINGINFO::Folder));
    QCOMPARE(jobsAtConfirm[1].itemSize, qint64(0));
    for (const APPWIPINGINFO& job : jobsAtConfirm) {
        QCOMPARE(job.category, QString("Search File"));
        QCOMPARE(job.algorithm, 10);
        QCOMPARE(job.verification, 2);
    }
    QCOMPARE(progressWindows.size(), answer == 1 ? 1 : 0);
    QCOMPARE(page->ProgressWindow(), progressWindows.value(0).data());

    // Forward does the same; a confirmed erasure replaces the window opened before, once
    // that one has finished.
    if (answer == 1)
        progressWindows[0]->hide();
    page->ErasingSearch();
    QCOMPARE(confirmations, 2);
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

void TestSearchResult::eraseRefusedWhileErasing()
{
    StartSearch("*.jpg");
    WaitForSearchEnd();
    page->ResultTree()->topLevelItem(0)->setSelected(true);
    fixture->app->erasureRunning = true;
    MessageBox::ShownForTests().clear();
    page->ErasingSearch();
    fixture->app->erasureRunning = false;
    QCOMPARE(confirmations, 0);
    QCOMPARE(MessageBox::ShownForTests(),
             QStringList{"Erase|An erasure is running.\nPlease wait until it has completed."});
}

QTEST_MAIN(TestSearchResult)
#include "tst_searchresult.moc"
