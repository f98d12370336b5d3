#include "AppUiFixture.h"
#include "KorvaneforFileMain.h"
#include "ScreenHooks.h"
#include "TestFiles.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QtTest>

#include <memory>

namespace {
const char* const kTracks[] = {"file_folder_slider_btn", "system_traces_slider_btn", "unused_space_slider_btn",
                               "search_file_slider_btn"};
const char* const kKnobs[] = {"on_off_btn_1", "on_off_btn_2", "on_off_btn_3", "on_off_btn_4"};
} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tilesStayExclusive_data();
    void tilesStayExclusive();
    void nextOpensTheChosenScreen_data();
    void nextOpensTheChosenScreen();
    void refusedWhileRunning_data();
    void refusedWhileRunning();
    void keyboardDrivesTheHomeScreen();
    void maximiseAlternates();
    void closeConfirmedEndsTheSession();
    void helpOpensThePageOfTheScreen_data();
    void helpOpensThePageOfTheScreen();
    void menuItemsOpenTheirAddresses_data();
    void menuItemsOpenTheirAddresses();
    void settingsMenuListsItsEntries();

private:
    QPushButton* Button(const char* name) const { return window->findChild<QPushButton*>(name); }
    QString States() const;

    std::unique_ptr<AppUiFixture> fixture;
    std::unique_ptr<KorvaneforFileMain> window;
    ScreenHooks savedHooks;
};

void TestMainWindow::init()
{
    fixture.reset(new AppUiFixture);
    savedHooks = Screens();
    Screens() = ScreenHooks();
    window.reset(new KorvaneforFileMain);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestMainWindow::cleanup()
{
    window.reset();
    Screens() = savedHooks;
    fixture.reset();
}

// Track states as "FTUS" letters for the on tiles, "-" for the off ones.
QString TestMainWindow::States() const
{
    QString states;
    const char letters[] = "FTUS";
    for (int i = 0; i < 4; ++i)
        states += Button(kTracks[i])->isChecked() ? QChar(letters[i]) : QChar('-');
    return states;
}

void TestMainWindow::tilesStayExclusive_data()
{
    // Clicks: a tile letter (F files, T traces, U unused space, S search), upper case for the
    // track and lower case for the knob. The three top tiles combine; search stands alone;
    // the four are never all off.
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("states");
    const char* const rows[][3] = {
        {"files off", "F", "-TU-"},
        {"files off by knob", "f", "-TU-"},
        {"traces off", "T", "F-U-"},
        {"unused off by knob", "u", "FT--"},
        {"last top tile off turns search on", "FTU", "---S"},
        {"last top tile off by knobs", "ftu", "---S"},
        {"search on turns top tiles off", "S", "---S"},
        {"search on by knob", "s", "---S"},
        {"search off turns all top tiles on", "SS", "FTU-"},
        {"search off by knob", "Ss", "FTU-"},
        {"top tile on turns search off", "SF", "F---"},
        {"traces knob on turns search off", "St", "-T--"},
        {"unused on while search on", "sU", "--U-"},
        {"search off only turns off tiles on", "FUSS", "FTU-"},
        {"a top tile back on", "FTF", "F-U-"},
    };
    QTest::newRow("at start") << QString() << QString("FTU-");
    for (const auto& row : rows)
        QTest::newRow(row[0]) << QString(row[1]) << QString(row[2]);
}

void TestMainWindow::tilesStayExclusive()
{
    QFETCH(QString, clicks);
    QFETCH(QString, states);
    const QString letters = "FTUS";
    for (const QChar click : clicks) {
        const int tile = letters.indexOf(click.toUpper());
        QPushButton* target = Button(click.isUpper() ? kTracks[tile] : kKnobs[tile]);
        QTest::mouseClick(target, Qt::LeftButton);
    }
    QCOMPARE(States(), states);
    for (int i = 0; i < 4; ++i) {
        const bool on = Button(kTracks[i])->isChecked();
        QCOMPARE(Button(kKnobs[i])->isChecked(), on);
        QTRY_COMPARE(Button(kKnobs[i])->geometry(), QRect(on ? 112 : 54, i == 3 ? 86 : 115, 63, 63));
    }
    QVERIFY(Button("next_btn")->isEnabled());
}

void TestMainWindow::nextOpensTheChosenScreen_data()
{
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("created"); // "selection F T U" or "search"
    QTest::addColumn<bool>("searchMode");
    QTest::newRow("all three") << QString() << "selection 1 1 1" << false;
    QTest::newRow("traces only") << QString("FU") << "selection 0 1 0" << false;
    QTest::newRow("files and unused") << QString("T") << "selection 1 0 1" << false;
    QTest::newRow("search") << QString("S") << "search" << true;
}

void TestMainWindow::nextOpensTheChosenScreen()
{
    QFETCH(QString, clicks);
    QFETCH(QString, created);
    QFETCH(bool, searchMode);
    QStringList calls;
    Screens().createSelectionScreen = [&calls](bool f, bool t, bool u, QWidget* parent) {
        calls << QString("selection %1 %2 %3").arg(f).arg(t).arg(u);
        return new QWidget(parent);
    };
    Screens().createSearchScreen = [&calls](QWidget* parent) {
        calls << "search";
        return new QWidget(parent);
    };
    for (const QChar click : clicks)
        QTest::mouseClick(Button(kTracks[QString("FTUS").indexOf(click)]), Qt::LeftButton);
    fixture->app->searchMode = !searchMode;

    QTest::mouseClick(Button("next_btn"), Qt::LeftButton);
    QCOMPARE(calls, QStringList{created});
    QCOMPARE(fixture->app->searchMode, searchMode);
    QWidget* screen = searchMode ? window->SearchScreen() : window->SelectionScreen();
    QVERIFY(screen);
    QCOMPARE(screen->parentWidget(), fixture->app->centralArea);
    QVERIFY(screen->isVisible());
    for (const char* home : {"header_widget", "traces_widget", "search_file_widget", "footer_widget"})
        QVERIFY2(!window->findChild<QWidget*>(home)->isVisible(), home);
    QVERIFY(Button("pushButton_back")->isVisible() && Button("pushButton_frwrd")->isVisible());

    // Back deletes the screen and shows home with the tiles as they were.
    const QString states = States();
    fixture->app->helpPage = 1;
    QTest::mouseClick(Button("pushButton_back"), Qt::LeftButton);
    QVERIFY(!window->SelectionScreen() && !window->SearchScreen());
    QVERIFY(window->findChild<QWidget*>("traces_widget")->isVisible());
    QVERIFY(!Button("pushButton_back")->isVisible());
    QCOMPARE(fixture->app->helpPage, 0);
    QCOMPARE(States(), states);
}

void TestMainWindow::refusedWhileRunning_data()
{
    // Back from a screen: a search refuses silently (its title bar is disabled), an erasure
    // says why. Closing the window: refused while either runs, asked otherwise (answered No).
    QTest::addColumn<QString>("running");
    QTest::addColumn<QStringList>("backMessages");
    QTest::addColumn<QString>("closeMessage");
    const QString busy = "Exit|Application running !!\nPlease halt the current process to exit. ";
    QTest::newRow("search running") << "search" << QStringList() << busy;
    QTest::newRow("erasure running") << "erasure"
                                     << QStringList("Erase|An erasure is running.\nPlease wait until it has completed.")
                                     << busy;
    QTest::newRow("nothing running") << "" << QStringList() << "Exit|Are you sure you want to exit application? ";
}

void TestMainWindow::refusedWhileRunning()
{
    QFETCH(QString, running);
    QFETCH(QStringList, backMessages);
    QFETCH(QString, closeMessage);
    int forwards = 0;
    Screens().createSelectionScreen = [](bool, bool, bool, QWidget* parent) { return new QWidget(parent); };
    Screens().selectionForward = [&forwards](QWidget*) { ++forwards; };
    QTest::mouseClick(Button("next_btn"), Qt::LeftButton);
    QPointer<QWidget> screen = window->SelectionScreen();
    fixture->app->searchRunning = running == "search";
    fixture->app->erasureRunning = running == "erasure";
    if (!running.isEmpty()) {
        QTest::mouseClick(Button("pushButton_back"), Qt::LeftButton);
        window->OnBtnClickedFrwd();
        QVERIFY(screen);
        QVERIFY(Button("pushButton_back")->isVisible());
        QCOMPARE(MessageBox::ShownForTests(), backMessages);
        QCOMPARE(forwards, running == "erasure" ? 1 : 0); // on the screen, Erase explains itself
        MessageBox::ShownForTests().clear();
    }
    MessageBox::QueueAnswerForTests(running.isEmpty() ? MessageBox::No : MessageBox::Ok);
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QCOMPARE(MessageBox::ShownForTests(), QStringList{closeMessage});
    QCOMPARE(fixture->app->exitCount, 0);

    fixture->app->searchRunning = false;
    fixture->app->erasureRunning = false;
    window->OnBtnClickedBack();
    QVERIFY(!screen);
}

void TestMainWindow::keyboardDrivesTheHomeScreen()
{
    QStringList opened;
    Screens().createSelectionScreen = [&opened](bool f, bool t, bool u, QWidget* parent) {
        opened << QString("selection %1 %2 %3").arg(f).arg(t).arg(u);
        return new QWidget(parent);
    };
    QApplication::setActiveWindow(window.get());
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    // Tab runs through the tiles from left to right, then to Next.
    QStringList order;
    for (int i = 0; i < 5; ++i) {
        order << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(order, (QStringList{"file_folder_slider_btn", "unused_space_slider_btn", "system_traces_slider_btn",
                                 "search_file_slider_btn", "next_btn"}));
    // Space toggles the tile with the focus, with the tiles' rules.
    Button("system_traces_slider_btn")->setFocus();
    QTest::keyClick(Button("system_traces_slider_btn"), Qt::Key_Space);
    QCOMPARE(States(), QString("F-U-"));
    // Return presses Next; it acts on the home screen only.
    QTest::keyClick(Button("system_traces_slider_btn"), Qt::Key_Return);
    QCOMPARE(opened, QStringList("selection 1 0 1"));
    QTest::keyClick(window.get(), Qt::Key_Return);
    QCOMPARE(opened.size(), 1);
    // F1 opens the help page of the screen, Ctrl+Q asks to quit.
    fixture->app->helpPage = 1; // as the selection screen sets it
    QTest::keyClick(window.get(), Qt::Key_F1);
    QCOMPARE(fixture->opened.value(0).toLocalFile(),
             fixture->bundle + "/Resources/Help_Manual/Working_with_Korvane_for_File.htm");
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(MessageBox::ShownForTests(), QStringList("Exit|Are you sure you want to exit application? "));
}

void TestMainWindow::maximiseAlternates()
{
    // Both sizes stay within the available area: the test screen is smaller than 960 x 650.
    const QRect desktop = QGuiApplication::primaryScreen()->geometry();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize normal = QSize(960, 650).boundedTo(area.size());
    const QPoint centred =
        area.topLeft() + QPoint((area.width() - normal.width()) / 2, (area.height() - normal.height()) / 2);
    QVERIFY(window->IsNormalSize());
    QCOMPARE(window->pos(), centred);
    for (int round = 0; round < 2; ++round) {
        QTest::mouseClick(Button("pushButton_max"), Qt::LeftButton);
        QVERIFY(!window->IsNormalSize());
        QCOMPARE(window->pos(), area.topLeft());
        QCOMPARE(window->size(),
                 QSize(desktop.width(), desktop.height() - 90).boundedTo(area.size()).expandedTo(normal));
        QTest::mouseClick(Button("pushButton_max"), Qt::LeftButton);
        QVERIFY(window->IsNormalSize());
        QCOMPARE(window->size(), normal);
        QCOMPARE(window->pos(), centred);
    }
}

void TestMainWindow::closeConfirmedEndsTheSession()
{
    KorvaneApp* app = fixture->app;
    app->InitSettings(false);
    KorvaneApp::SetClockForTests(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    app->GetKVFInfo();
    QVERIFY(!WriteTestFile(app->infoFilePath, "    Location: /Applications/Safari.app\n").isEmpty());
    app->FillKVFAppListInit("System Traces", true, 0, 3, ":/images/images/Traces/System_Traces.png", true);
    app->FillLeftPaneListInit("System Traces", "", "", 0, 3, ":/images/images/Traces/System_Traces.png");
    app->fileSummaryList << "/home/a.txt";

    MessageBox::QueueAnswerForTests(MessageBox::Yes);
    QVERIFY(window->close());
    KorvaneApp::SetClockForTests(QDateTime());
    QVERIFY(!window->isVisible());
    QCOMPARE(app->exitCount, 1);
    QVERIFY(!QFile::exists(app->infoFilePath));
    QVERIFY(!app->appList && !app->leftPaneList);
    QVERIFY(app->fileSummaryList.isEmpty());

    QStringList lines =
        QString::fromUtf8(ReadTestFile(app->logPath + "/KVLOGFILE/" + app->logFileStamp + ".log")).split('\n');
    lines.removeLast();
    QCOMPARE(lines.mid(lines.size() - 3),
             (QStringList{"", "Korvane File Eraser Ends 04/03/2026|05:06:07", QString(68, '-')}));

    // The exit is confirmed once: a second close passes without a question.
    window->show();
    QVERIFY(window->close());
    QCOMPARE(MessageBox::ShownForTests().size(), 1);
}

void TestMainWindow::helpOpensThePageOfTheScreen_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("file");
    QTest::newRow("home") << 0 << "User_Interface.htm";
    QTest::newRow("selection") << 1 << "Working_with_Korvane_for_File.htm";
    QTest::newRow("search") << 2 << "Search___Erase.htm";
    QTest::newRow("other") << 9 << "User_Interface.htm";
}

void TestMainWindow::helpOpensThePageOfTheScreen()
{
    QFETCH(int, page);
    QFETCH(QString, file);
    fixture->app->helpPage = page;
    QTest::mouseClick(Button("pushButton_help"), Qt::LeftButton);
    QCOMPARE(fixture->opened.size(), 1);
    QCOMPARE(fixture->opened.first().toLocalFile(), fixture->bundle + "/Resources/Help_Manual/" + file);
}

void TestMainWindow::menuItemsOpenTheirAddresses_data()
{
    // Where each item leads (@B@ the bundle), and what it says when nothing could open it
    // (the knowledgebase address then taken out of the installation).
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("failure");
    const QString noBrowser = "Help|No web browser could be started.\nOpen this address yourself:\n";
    const QString help = "file://@B@/Resources/Help_Manual/index.htm";
    const QString support = "https://support.korvane.example/eraser", ask = "https://support.korvane.example/ask";
    QTest::newRow("help") << "Help Topics" << help << noBrowser + help;
    QTest::newRow("mail") << "Email to Quillon Support"
                          << "mailto:help@korvane.example"
                          << "Help|No mail program could be started.\nWrite to: help@korvane.example";
    QTest::newRow("support") << "View Support Section" << support << noBrowser + support;
    QTest::newRow("enquiry") << "Submit Enquiry" << ask << noBrowser + ask;
    QTest::newRow("knowledgebase") << "View Knowledgebase Articles"
                                   << "https://support.korvane.example/kb"
                                   << "Help|The address of the knowledgebase is not set in this installation.";
    QTest::newRow("about") << "About Korvane File Eraser" << QString() << QString();
}

void TestMainWindow::menuItemsOpenTheirAddresses()
{
    QFETCH(QString, item);
    QFETCH(QString, address);
    QFETCH(QString, failure);
    const QList<QAction*> menus = window->MenuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QAction* action = nullptr;
    for (QAction* menu : menus) {
        for (QAction* candidate : menu->menu()->actions())
            action = candidate->text() == item ? candidate : action;
    }
    QVERIFY(action);
    action->trigger();
    if (address.isEmpty()) {
        QVERIFY(window->LastAboutWindow() && window->LastAboutWindow()->isVisible());
        return;
    }
    QCOMPARE(fixture->opened, QList<QUrl>{QUrl(address.replace("@B@", fixture->bundle))});
    SupportLinks::SetOpenerForTests([](const QUrl&) { return false; });
    QSettings info(fixture->bundle + "/Info.plist", PlistFormat());
    info.remove("KBLink");
    info.sync();
    action->trigger();
    QCOMPARE(MessageBox::ShownForTests(), QStringList(failure.replace("@B@", fixture->bundle)));
}

void TestMainWindow::settingsMenuListsItsEntries()
{
    QStringList texts;
    QTimer poll;
    connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions()) {
            texts << (action->isSeparator() ? QString("|") : action->text());
            if (action->objectName() == QLatin1String("discard_action") && !action->isChecked())
                action->trigger(); // the option is stored in the application state
        }
        menu->close();
    });
    poll.start(10);
    QTest::mouseClick(Button("pushButton_setting"), Qt::LeftButton);
    QCOMPARE(texts.mid(0, 5), (QStringList{"Settings", "|", "Update", "|", "Discard unused space"}));
    QVERIFY(fixture->app->discardAfterFill);
#ifndef Q_OS_MACOS
    // Without a global menu bar every Help menu item is reached from here.
    QCOMPARE(texts.mid(5), (QStringList{"|", "Help Topics", "Email to Quillon Support", "View Support Section",
                                        "Submit Enquiry", "View Knowledgebase Articles", "About"}));
#endif

    // While a search runs the menu does not open at all.
    texts.clear();
    fixture->app->searchRunning = true;
    window->openSettingmenu();
    window->OnBtnClickedSetting();
    QVERIFY(texts.isEmpty());
    QVERIFY(!window->findChild<QWidget*>("Setting"));

    // While an erasure runs the Settings dialog is refused with a word: the run keeps its folders.
    fixture->app->searchRunning = false;
    fixture->app->erasureRunning = true;
    window->OnBtnClickedSetting();
    QVERIFY(!window->findChild<QWidget*>("Setting"));
    QCOMPARE(MessageBox::ShownForTests(),
             QStringList("Erase|An erasure is running.\nPlease wait until it has completed."));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
