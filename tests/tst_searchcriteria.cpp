#include "AppUiFixture.h"
#include "DirectoryDialog.h"
#include "KorvaneforFileMain.h"
#include "SearchFileMain.h"
#include "SearchResult.h"

#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {
const QString kLimitMessage = "Find Files|File name can't be more than 64\ncharacters.";
const QString kInvalidMessage = "Find Files|Invalid search criteria.";
const QString kSystemFolderMessage =
    "Find Files|You have selected an operating system folder.\nSelected folder can't be erased.";
} // namespace

class TestSearchCriteria : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void patternLimit_data();
    void patternLimit();
    void returnInsertsNothing_data();
    void returnInsertsNothing();
    void findButtonNeedsBothTexts_data();
    void findButtonNeedsBothTexts();
    void patternsChecked_data();
    void patternsChecked();
    void browse_data();
    void browse();
    void backTwiceFromResults();

private:
    QTextEdit* Patterns() const { return screen->findChild<QTextEdit*>("FN_Edit_TextEdit"); }
    QTextEdit* Location() const { return screen->findChild<QTextEdit*>("SF_Location_TextEdit"); }
    QPushButton* Button(QWidget* in, const char* name) const { return in->findChild<QPushButton*>(name); }
    void WaitForSearchEnd();

    std::unique_ptr<AppUiFixture> fixture;
    std::unique_ptr<SearchFileMain> screen;
    QString scratch;
};

void TestSearchCriteria::init()
{
    fixture.reset(new AppUiFixture);
    scratch = fixture->root.path() + "/scratch";
    QDir().mkpath(scratch + "/Photos");
    QFile(scratch + "/Photos/IMG_1.JPG").open(QIODevice::WriteOnly);
    QFile(scratch + "/Photos/note.txt").open(QIODevice::WriteOnly);
    // The scratch folder sits in the system's temporary folder, which is protected on Linux:
    // the test's folder plays the root for the rules, everything outside it is protected.
    KorvaneApp::SetProtectionRootForTests(QFileInfo(fixture->root.path()).canonicalFilePath());
    screen.reset(new SearchFileMain);
    screen->show();
}

void TestSearchCriteria::cleanup()
{
    screen.reset();
    KorvaneApp::SetProtectionRootForTests(QString());
    fixture.reset();
}

void TestSearchCriteria::WaitForSearchEnd()
{
    QTRY_VERIFY_WITH_TIMEOUT(!fixture->app->searchRunning, 10000);
}

void TestSearchCriteria::patternLimit_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<int>("messages");

    QTest::newRow("64 typed") << 64 << false << 0;
    QTest::newRow("65th typed") << 65 << false << 1;
    QTest::newRow("100 pasted") << 100 << true << 1;
}

void TestSearchCriteria::patternLimit()
{
    QFETCH(int, typed);
    QFETCH(bool, pasted);
    QFETCH(int, messages);
    QString text;
    for (int i = 0; i < typed; ++i)
        text += QChar('a' + i % 26);
    if (pasted) {
        Patterns()->insertPlainText(text);
    } else {
        Patterns()->setFocus();
        QTest::keyClicks(Patterns(), text);
    }
    QCOMPARE(MessageBox::ShownForTests().count(kLimitMessage), messages);
    QCOMPARE(Patterns()->toPlainText(), text.left(64));
    // Typing goes on at the end of what is left, so a further key is cut off again.
    QTest::keyClick(Patterns(), Qt::Key_Z);
    QCOMPARE(Patterns()->toPlainText(), text.left(64));
}

void TestSearchCriteria::returnInsertsNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TestSearchCriteria::returnInsertsNothing()
{
    QFETCH(int, key);
    Patterns()->setFocus();
    QTest::keyClicks(Patterns(), "*.jpg");
    QTest::keyClick(Patterns(), Qt::Key(key));
    QTest::keyClicks(Patterns(), ";*.png");
    QCOMPARE(Patterns()->toPlainText(), QString("*.jpg;*.png"));
}

void TestSearchCriteria::findButtonNeedsBothTexts_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<bool>("withLocation");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("neither") << "" << false << false;
    QTest::newRow("patterns only") << "*.jpg" << false << false;
    QTest::newRow("location only") << "" << true << false;
    QTest::newRow("both") << "*.jpg" << true << true;
}

void TestSearchCriteria::findButtonNeedsBothTexts()
{
    QFETCH(QString, patterns);
    QFETCH(bool, withLocation);
    QFETCH(bool, enabled);
    QPushButton* find = Button(screen.get(), "Find_Btn");
    QVERIFY(!find->isEnabled());
    if (withLocation) {
        QueueDirectoryForTests(scratch);
        QTest::mouseClick(Button(screen.get(), "Browse_btn"), Qt::LeftButton);
    }
    Patterns()->setPlainText(patterns);
    QCOMPARE(find->isEnabled(), enabled);
    // A disabled Find (or Forward) opens nothing.
    screen->FileSearchNext();
    QCOMPARE(screen->IsResultShown(), enabled);
    WaitForSearchEnd();
}

void TestSearchCriteria::patternsChecked_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("hint example") << "*.JPG;*.PNG" << true;
    // The rules themselves are rows of tst_searchthread; here only that the screen applies them.
    QTest::newRow("three stars in the second") << "*.JPG;*a*b*" << false;
}

void TestSearchCriteria::patternsChecked()
{
    QFETCH(QString, patterns);
    QFETCH(bool, accepted);
    QueueDirectoryForTests(scratch);
    QTest::mouseClick(Button(screen.get(), "Browse_btn"), Qt::LeftButton);
    Patterns()->setPlainText(patterns);
    QTest::mouseClick(Button(screen.get(), "Find_Btn"), Qt::LeftButton);
    QCOMPARE(MessageBox::ShownForTests().contains(kInvalidMessage), !accepted);
    QCOMPARE(screen->IsResultShown(), accepted);
    QCOMPARE(screen->findChild<QWidget*>("Criteria_widget")->isVisible(), !accepted);
    WaitForSearchEnd();
    if (accepted)
        QCOMPARE(screen->ResultPage()->ResultTree()->topLevelItemCount(), 1);
}

void TestSearchCriteria::browse_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("kept");
    QTest::addColumn<bool>("refused");

    QTest::newRow("protected system folder") << "/usr/share" << true << true;
    QTest::newRow("protected root") << "/" << true << true;
    QTest::newRow("cancelled") << "" << true << false;
    QTest::newRow("ordinary folder") << "Photos" << false << false;
}

void TestSearchCriteria::browse()
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

void TestSearchCriteria::backTwiceFromResults()
{
    screen.reset();
    KorvaneforFileMain window;
    window.show();
    QTest::mouseClick(window.findChild<QPushButton*>("search_file_slider_btn"), Qt::LeftButton);
    QTest::mouseClick(window.findChild<QPushButton*>("next_btn"), Qt::LeftButton);
    auto* search = qobject_cast<SearchFileMain*>(window.SearchScreen());
    QVERIFY(search);
    QCOMPARE(fixture->app->helpPage, 2);
    QueueDirectoryForTests(scratch);
    QTest::mouseClick(search->findChild<QPushButton*>("Browse_btn"), Qt::LeftButton);
    search->findChild<QTextEdit*>("FN_Edit_TextEdit")->setPlainText("*.jpg");

    // Forward on the criteria page is Find.
    QTest::mouseClick(window.findChild<QPushButton*>("pushButton_frwrd"), Qt::LeftButton);
    QVERIFY(search->IsResultShown());
    QPointer<SearchResult> firstPage = search->ResultPage();
    WaitForSearchEnd();
    QVERIFY(MessageBox::ShownForTests().contains("Find Files|Search completed ! 1 items found."));

    QPushButton* back = window.findChild<QPushButton*>("pushButton_back");
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(window.SearchScreen(), search); // results -> criteria, both texts kept
    QVERIFY(!firstPage);
    QVERIFY(search->findChild<QWidget*>("Criteria_widget")->isVisible());
    QCOMPARE(search->findChild<QTextEdit*>("SF_Location_TextEdit")->toPlainText(), scratch);
    QCOMPARE(search->findChild<QTextEdit*>("FN_Edit_TextEdit")->toPlainText(), QString("*.jpg"));

    // Find again runs a new search on a new page.
    QTest::mouseClick(search->findChild<QPushButton*>("Find_Btn"), Qt::LeftButton);
    QVERIFY(search->ResultPage());
    WaitForSearchEnd();
    QTest::mouseClick(back, Qt::LeftButton);
    QTest::mouseClick(back, Qt::LeftButton);
    QVERIFY(!window.SearchScreen()); // criteria -> home
    QVERIFY(window.findChild<QWidget*>("search_file_widget")->isVisible());
    QCOMPARE(fixture->app->helpPage, 0);
}

QTEST_MAIN(TestSearchCriteria)
#include "tst_searchcriteria.moc"
