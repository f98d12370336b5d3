// Search & Erase from end to end: the main window's search screen finds files in a temporary
// tree, the chosen rows are confirmed and erased by the real progress window and worker, a
// certificate lists them, and the restart answer reaches a fake `shutdown`.
#include "AppUiFixture.h"
#include "DialogAnswers.h"
#include "DirectoryDialog.h"
#include "ErasureSummary.h"
#include "FakeCommands.h"
#include "KorvaneforFileMain.h"
#include "MainWipeThread.h"
#include "SearchFileMain.h"
#include "SearchResult.h"
#include "WipingWizard.h"

#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextEdit>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

class TestSearchErase : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void searchEraseAndCertify_data();
    void searchEraseAndCertify();

private:
    QString MakeFile(const QString& relative, int size);
    QPushButton* Button(QWidget* in, const char* name) const { return in->findChild<QPushButton*>(name); }

    std::unique_ptr<AppUiFixture> fixture;
    std::unique_ptr<FakeCommands> fakes;
    QString scratch;
};

QString TestSearchErase::MakeFile(const QString& relative, int size)
{
    const QString path = scratch + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray(size, 's'));
    return path;
}

void TestSearchErase::init()
{
    fixture.reset(new AppUiFixture);
    fakes.reset(new FakeCommands);
    for (const char* command : {"shutdown", "kill", "killall"})
        fakes->Add(command);
    fakes->Add("whoami", "tester\n");
    KorvaneApp* app = fixture->app;
    scratch = fixture->root.path() + "/scratch";
    app->certificatePath = fixture->root.path() + "/certificates";
    app->logPath = fixture->root.path() + "/logs";
    QDir().mkpath(app->logPath + "/KVLOGFILE");
    app->logFileStamp = "run";
    app->algorithm = 10;
    // The scratch folder sits in the system's temporary folder, which is protected on Linux:
    // the test's folder plays the root for the rules, everything outside it is protected.
    KorvaneApp::SetProtectionRootForTests(QFileInfo(fixture->root.path()).canonicalFilePath());
    DialogAnswers::Clear();
    ErasureSummary::ShownForTests().clear();
}

void TestSearchErase::cleanup()
{
    KorvaneApp::SetProtectionRootForTests(QString());
    DialogAnswers::Clear();
    fakes.reset();
    fixture.reset();
}

void TestSearchErase::searchEraseAndCertify_data()
{
    QTest::addColumn<int>("restart");
    QTest::newRow("restart now") << 1;
    QTest::newRow("restart later") << 0;
}

void TestSearchErase::searchEraseAndCertify()
{
    QFETCH(int, restart);
    const QString photo = MakeFile("Photos/IMG_0001.JPG", 70000);
    const QString unicode = MakeFile("Фото/снимок.jpg", 3000);
    const QString kept = MakeFile("Photos/notes.txt", 10);
    const QString hidden = MakeFile("Photos/.thumbs/IMG_0001.JPG", 10);

    KorvaneforFileMain window;
    window.show();
    QTest::mouseClick(Button(&window, "search_file_slider_btn"), Qt::LeftButton);
    QTest::mouseClick(Button(&window, "next_btn"), Qt::LeftButton);
    auto* search = qobject_cast<SearchFileMain*>(window.SearchScreen());
    QVERIFY(search);
    QCOMPARE(fixture->app->searchMode, true);
    QueueDirectoryForTests(scratch);
    QTest::mouseClick(Button(search, "Browse_btn"), Qt::LeftButton);
    search->findChild<QTextEdit*>("FN_Edit_TextEdit")->setPlainText("*.jpg");
    QTest::mouseClick(Button(search, "Find_Btn"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!fixture->app->searchRunning, 10000);

    SearchResult* page = search->ResultPage();
    QTreeWidget* tree = page->ResultTree();
    QCOMPARE(tree->topLevelItemCount(), 2);
    tree->selectAll();

    DialogAnswers::Queue("ErasureSummary", 1);
    DialogAnswers::Queue("RestartDialog", restart);
    // Forward on the result page is Erase.
    QTest::mouseClick(Button(&window, "pushButton_frwrd"), Qt::LeftButton);
    QCOMPARE(ErasureSummary::ShownForTests().size(), 1);
    const QStringList lines = ErasureSummary::ShownForTests().at(0);
    QCOMPARE(lines.value(0), QString("Search Result"));
    QVERIFY(lines.contains("  " + photo) && lines.contains("  " + unicode));

    auto* progress = qobject_cast<WipingWizard*>(page->ProgressWindow());
    QVERIFY(progress);
    QVERIFY(QTest::qWaitFor(
        [&] { return !fixture->app->erasureRunning && progress->Worker()->isFinished() && !progress->isVisible(); },
        30000));

    QVERIFY(!QFileInfo::exists(photo));
    QVERIFY(!QFileInfo::exists(unicode));
    QVERIFY(QFileInfo::exists(kept));
    QVERIFY(QFileInfo::exists(hidden));
    QCOMPARE(fakes->Calls("shutdown"), restart == 1 ? QStringList{"-r\tnow"} : QStringList{});

    const QStringList certificates =
        QDir(fixture->app->certificatePath + "/KVCERTIFICATE").entryList({"*.pdf"}, QDir::Files);
    QCOMPARE(certificates.size(), 1);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        QSKIP("pdftotext (poppler-utils) missing: run scripts/install-deps.sh");
    QProcess text;
    text.start("pdftotext", {fixture->app->certificatePath + "/KVCERTIFICATE/" + certificates[0], "-"});
    QVERIFY(text.waitForFinished(20000));
    const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
    QVERIFY2(pdf.contains("Peter Gutmann"), qPrintable(pdf));
    QVERIFY2(pdf.contains("No. of Selected Files 2"), qPrintable(pdf));
    QVERIFY2(pdf.contains("Successful 2"), qPrintable(pdf));
    QVERIFY2(pdf.contains("IMG_0001.JPG"), qPrintable(pdf));
    QVERIFY2(pdf.contains("снимок.jpg"), qPrintable(pdf));
    QVERIFY2(pdf.contains("***End of Annexure***"), qPrintable(pdf));
}

QTEST_MAIN(TestSearchErase)
#include "tst_searcherase.moc"
