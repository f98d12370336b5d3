// The common windows: the licence agreement, the splash screen, About, the animations, the
// message box and the frameless windows' dragging.
#include "AboutWizard.h"
#include "AgreementFlag.h"
#include "AppUiFixture.h"
#include "FramelessBehaviour.h"
#include "LicenseAgreement.h"
#include "SplashScreenDlg.h"
#include "SplashThread.h"
#include "SystemVersion.h"
#include "TestFiles.h"

#include <QLabel>
#include <QMouseEvent>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QtTest>

#include <memory>

class TestCommonWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void acceptedAgreementIsNotAskedAgain();
    void agreementShowsTheLicenceText();
    void agreementFallsBackToTheUsersFolder();
    void splashBuildsStateThenOpensMainWindow();
    void aboutShowsVersionAndSupport();
    void systemVersionIsRead_data();
    void systemVersionIsRead();
    void buttonsAnswer_data();
    void buttonsAnswer();
    void longPathsShowWhole();
    void dragMovesOnlyFromTheDragArea_data();
    void dragMovesOnlyFromTheDragArea();

private:
    // Clicks the named button of the first visible top-level T as soon as it shows.
    template <typename T> void ClickWhenShown(const char* button);
    static QStringList SlotTexts(MessageBox& box);
    static void SendMouse(QWidget* window, QEvent::Type type, const QPointF& local, Qt::MouseButtons buttons);

    std::unique_ptr<AppUiFixture> fixture;
    QTimer poll;
};

void TestCommonWindows::init()
{
    fixture.reset(new AppUiFixture);
}

void TestCommonWindows::cleanup()
{
    poll.stop();
    poll.disconnect();
    SplashScreenDlg::SetMainWindowFactory(nullptr);
    SplashThread::SetInstalledListWriter(nullptr);
    fixture.reset();
}

template <typename T> void TestCommonWindows::ClickWhenShown(const char* button)
{
    poll.disconnect();
    connect(&poll, &QTimer::timeout, this, [this, button] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (qobject_cast<T*>(top) && top->isVisible()) {
                poll.stop();
                QTest::mouseClick(top->findChild<QPushButton*>(button), Qt::LeftButton);
                return;
            }
        }
    });
    poll.start(10);
}

void TestCommonWindows::acceptedAgreementIsNotAskedAgain()
{
    ClickWhenShown<LicenseAgreement>("Disagree_Btn");
    QVERIFY(!LicenseAgreement::EnsureAccepted());
    const QString flag = fixture->root.path() + "/shared/KVLicense.plist";
    QCOMPARE(QSettings(flag, PlistFormat()).value("KVF_AgreeMent").toString(), QString("0"));
    ClickWhenShown<LicenseAgreement>("Agree_Btn"); // declined before: asked again
    QVERIFY(LicenseAgreement::EnsureAccepted());
    QCOMPARE(QSettings(flag, PlistFormat()).value("KVF_AgreeMent").toString(), QString("1"));
    poll.stop();
    QVERIFY(LicenseAgreement::EnsureAccepted()); // would block if the dialog showed again
}

void TestCommonWindows::agreementFallsBackToTheUsersFolder()
{
    if (HostPlatform() == PlatformKind::MacOS)
        QSKIP("the machine-wide flag is the only one on macOS");
    // The machine-wide flag cannot be written (its folder would be below a plain file): the
    // answer goes to the user's own data folder and counts from there.
    const QString blocker = WriteTestFile(fixture->root.path() + "/blocker");
    qputenv("KORVANE_AGREEMENT_FILE", QFile::encodeName(blocker + "/KVLicense.plist"));
    const QByteArray home = qgetenv("HOME"); // the user's data folder, inside the test's folder
    qputenv("HOME", QFile::encodeName(fixture->root.path() + "/home"));
    const QString fallback = PlatformPaths::AgreementFlagFallback();
    QVERIFY(fallback.startsWith(fixture->root.path() + "/home/"));
    QCOMPARE(AgreementFlag::WritablePath(), fallback);
    QVERIFY(!AgreementFlag::IsAccepted());
    QVERIFY(QFile::exists(fallback)); // created empty, as the machine-wide file would be
    QVERIFY(AgreementFlag::Store(true));
    QVERIFY(AgreementFlag::IsAccepted());
    QVERIFY(AgreementFlag::Store(false));
    QVERIFY(!AgreementFlag::IsAccepted());
    qputenv("HOME", home);
}

void TestCommonWindows::agreementShowsTheLicenceText()
{
    {
        LicenseAgreement empty;
        QVERIFY(empty.findChild<QTextEdit*>("AgreementTextEdit")->toPlainText().isEmpty());
    }
    QVERIFY(!WriteTestFile(fixture->bundle + "/Resources/Eula.txt", "LICENCE\n\n1. Terms \xc3\xa9\n").isEmpty());
    LicenseAgreement agreement;
    auto* text = agreement.findChild<QTextEdit*>("AgreementTextEdit");
    QCOMPARE(text->toPlainText(), QString("LICENCE\n\n1. Terms \u00e9\n"));
}

void TestCommonWindows::splashBuildsStateThenOpensMainWindow()
{
    QStringList written;
    SplashThread::SetInstalledListWriter([&written](const QString& path) { written << path; });
    std::unique_ptr<QWidget> mainWindow;
    SplashScreenDlg::SetMainWindowFactory([&mainWindow] {
        mainWindow.reset(new QWidget);
        return mainWindow.get();
    });
    SplashScreenDlg splash;
    splash.show();
    splash.SplashInit();
    QCOMPARE(splash.Movie()->state(), QMovie::Running);
    QTRY_VERIFY(mainWindow);
    QVERIFY(mainWindow->isVisible());
    QVERIFY(!splash.isVisible());
    QCOMPARE(splash.Movie()->state(), QMovie::NotRunning);
    QVERIFY(splash.Thread()->isFinished());

    QCOMPARE(written, QStringList{fixture->bundle + "/Resources/KVFInfo.txt"});
    KorvaneApp* app = fixture->app;
    QCOMPARE(app->settingsPath, fixture->bundle + "/Resources/kvf_setting.plist");
    QVERIFY(QFile::exists(app->settingsPath));
    QVERIFY(!app->logFileStamp.isEmpty());
    QVERIFY(QFile::exists(app->logPath + "/KVLOGFILE/" + app->logFileStamp + ".log"));
}

void TestCommonWindows::aboutShowsVersionAndSupport()
{
    AboutWizard about;
    QCOMPARE(about.findChild<QLabel*>("m_version_value_lbl")->text(), QString(": 5.0.0.0"));
    auto* contact = about.findChild<QLabel*>("m_contact_link_lbl");
    QCOMPARE(contact->text(),
             QString("<a href=\"https://support.korvane.example/eraser\" style=\"color: white;\">Contact Us</a>"));

    QTest::mouseClick(about.findChild<QPushButton*>("m_eula_btn"), Qt::LeftButton);
    QCOMPARE(fixture->opened, QList<QUrl>{QUrl::fromLocalFile(fixture->bundle + "/Resources/Eula.pdf")});
    about.show();
    QTest::mouseClick(about.findChild<QPushButton*>("m_close_btn"), Qt::LeftButton);
    QVERIFY(!about.isVisible());
}

void TestCommonWindows::systemVersionIsRead_data()
{
    QTest::addColumn<int>("platform");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("version");
    QTest::newRow("os-release, quoted") << int(PlatformKind::Linux) << "/etc/os-release"
                                        << QByteArray("PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                                      "NAME=\"Debian GNU/Linux\"\nVERSION_ID=\"12\"\n")
                                        << "Debian GNU/Linux" << QString("12");
    QTest::newRow("os-release, bare") << int(PlatformKind::Linux) << "/usr/lib/os-release"
                                      << QByteArray("NAME=Fedora\nVERSION_ID=40\n") << "Fedora" << QString("40");
    QTest::newRow("no os-release") << int(PlatformKind::Linux) << "/etc/other" << QByteArray("NAME=x\n") << QString()
                                   << QString();
    QTest::newRow("macOS plist") << int(PlatformKind::MacOS) << "/System/Library/CoreServices/SystemVersion.plist"
                                 << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">"
                                               "<dict><key>ProductName</key><string>macOS</string>"
                                               "<key>ProductVersion</key><string>10.12.6</string></dict></plist>\n")
                                 << "macOS" << QString("10.12.6");
    QTest::newRow("macOS, no file") << int(PlatformKind::MacOS) << "/System/other.plist" << QByteArray() << QString()
                                    << QString();
}

void TestCommonWindows::systemVersionIsRead()
{
    QFETCH(int, platform);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QString, version);
    const QString root = fixture->root.path() + "/system";
    QVERIFY(!WriteTestFile(root + file, content).isEmpty());
    const SystemVersionInfo info = ReadSystemVersion(static_cast<PlatformKind>(platform), root);
    QCOMPARE(info.productName, name);
    QCOMPARE(info.productVersion, version);
}

QStringList TestCommonWindows::SlotTexts(MessageBox& box)
{
    QStringList texts;
    for (const char* slot : {"Widget_3_Btn", "Widget_2_Btn", "Widget_1_Btn"}) {
        auto* holder = box.findChild<QWidget*>(QLatin1String(slot));
        const auto buttons = holder->findChildren<QPushButton*>();
        texts << (buttons.isEmpty() ? QString() : buttons.first()->text());
    }
    return texts;
}

void TestCommonWindows::buttonsAnswer_data()
{
    // The buttons fill the slots from the right (Widget_3_Btn, Widget_2_Btn, Widget_1_Btn).
    // Each answer is a button clicked or a key pressed on a new box, and the result it closes
    // with (-1: it stays open): Return answers with the first button, Escape with the
    // dismissing one.
    QTest::addColumn<int>("role");
    QTest::addColumn<QStringList>("filled");
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("0 OK") << 0 << QStringList{"", "", "OK"} << QStringList{"OK=0", "Return=0", "Escape=0"};
    QTest::newRow("1 reads as OK") << 1 << QStringList{"", "", "OK"} << QStringList{"OK=0"};
    QTest::newRow("2 OK Cancel") << 2 << QStringList{"", "OK", "Cancel"} << QStringList{"Cancel=1", "Escape=1"};
    QTest::newRow("5 Yes No") << 5 << QStringList{"", "Yes", "No"}
                              << QStringList{"Yes=3", "No=4", "Enter=3", "Escape=4", "Space=-1"};
    QTest::newRow("6 Yes No Cancel") << 6 << QStringList{"Yes", "No", "Cancel"} << QStringList{"Cancel=1", "Escape=1"};
    QTest::newRow("42 reads as OK") << 42 << QStringList{"", "", "OK"} << QStringList{"Escape=0"};
}

void TestCommonWindows::buttonsAnswer()
{
    QFETCH(int, role);
    QFETCH(QStringList, filled);
    QFETCH(QStringList, answers);
    const QMap<QString, int> keys{
        {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Escape", Qt::Key_Escape}, {"Space", Qt::Key_Space}};
    for (const QString& answer : answers) {
        MessageBox box("Stop Process", "Do you want to stop the current process?", MessageBox::Information,
                       static_cast<MessageBox::ButtonRole>(role));
        QCOMPARE(SlotTexts(box), filled);
        QCOMPARE(box.findChild<QLabel*>("TitleLabel")->text(), QString("Stop Process"));
        int finished = -1;
        connect(&box, &QDialog::finished, [&finished](int code) { finished = code; });
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QString name = answer.section('=', 0, 0);
        for (QPushButton* button : box.findChildren<QPushButton*>()) {
            if (button->text() == name)
                QTest::mouseClick(button, Qt::LeftButton);
        }
        if (keys.contains(name))
            QTest::keyClick(&box, Qt::Key(keys[name]));
        QCoreApplication::processEvents();
        QVERIFY2(finished == answer.section('=', 1).toInt(), qPrintable(answer + " gave " + QString::number(finished)));
        QCOMPARE(box.isVisible(), finished < 0);
    }
}

void TestCommonWindows::longPathsShowWhole()
{
    // A path is one word: the box widens until it shows, and grows for every line.
    const QString path = "/home/tester/.local/share/korvane/KVLOGFILE/" + QString(20, 'x') + ".log";
    MessageBox box("Erasure",
                   "Erasure stopped: 1 of 2 items erased.\nThe log file lists them:\n" + path + "\nline\nline",
                   MessageBox::Information, MessageBox::OkOnly);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    auto* message = box.findChild<QLabel*>("MessageString");
    QVERIFY(box.width() > 350 && box.height() > 170);
    QVERIFY(message->width() >= message->fontMetrics().horizontalAdvance(path));
    QVERIFY(message->height() >= message->heightForWidth(message->width()));
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().size().boundedTo(box.size()) == box.size());
}

void TestCommonWindows::SendMouse(QWidget* window, QEvent::Type type, const QPointF& local, Qt::MouseButtons buttons)
{
    const QPointF global = local + window->frameGeometry().topLeft();
    QMouseEvent event(type, local, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

void TestCommonWindows::dragMovesOnlyFromTheDragArea_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<bool>("moves");
    QTest::newRow("whole window, body") << int(FramelessBehaviour::WholeWindow) << QPointF(200, 120) << true;
    QTest::newRow("top strip, inside") << int(FramelessBehaviour::DragArea) << QPointF(100, 29.4) << true;
    QTest::newRow("top strip, 31 below the top") << int(FramelessBehaviour::DragArea) << QPointF(100, 31) << false;
    QTest::newRow("top strip, rounds up to 30") << int(FramelessBehaviour::DragArea) << QPointF(100, 29.5) << false;
    QTest::newRow("no dragging") << int(FramelessBehaviour::NoDragging) << QPointF(10, 10) << false;
}

void TestCommonWindows::dragMovesOnlyFromTheDragArea()
{
    QFETCH(int, mode);
    QFETCH(QPointF, press);
    QFETCH(bool, moves);
    QWidget window;
    window.resize(920, 300);
    FramelessBehaviour* frameless =
        FramelessBehaviour::Install(&window, static_cast<FramelessBehaviour::DragMode>(mode), QRect(0, 0, 920, 30));
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();

    SendMouse(&window, QEvent::MouseButtonPress, press, Qt::LeftButton);
    QCOMPARE(frameless->IsDragging(), moves);
    SendMouse(&window, QEvent::MouseMove, press + QPointF(40, 25), Qt::LeftButton);
    QTRY_COMPARE(window.pos(), moves ? start + QPoint(40, 25) : start);
    SendMouse(&window, QEvent::MouseButtonRelease, press + QPointF(40, 25), Qt::NoButton);
    QVERIFY(!frameless->IsDragging());
}

QTEST_MAIN(TestCommonWindows)
#include "tst_commonwindows.moc"
