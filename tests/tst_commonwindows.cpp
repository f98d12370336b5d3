#include "AboutWizard.h"
#include "AgreementFlag.h"
#include "AppUiFixture.h"
#include "FakeCommands.h"
#include "LicenseAgreement.h"
#include "SplashScreenDlg.h"
#include "SplashThread.h"
#include "SystemVersion.h"

#include <QLabel>
#include <QMovie>
#include <QPushButton>
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
    void everyAnimationHasFrames_data();
    void everyAnimationHasFrames();
    void systemVersionIsRead_data();
    void systemVersionIsRead();

private:
    QString FlagValue() const;
    // Clicks the named button of the first visible top-level T as soon as it shows.
    template <typename T> void ClickWhenShown(const char* button);

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

QString TestCommonWindows::FlagValue() const
{
    QSettings flag(fixture->root.path() + "/shared/KVLicense.plist", PlistFormat());
    return flag.value("KVF_AgreeMent").toString();
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
    QCOMPARE(FlagValue(), QString("0"));
    ClickWhenShown<LicenseAgreement>("Agree_Btn"); // declined before: asked again
    QVERIFY(LicenseAgreement::EnsureAccepted());
    QCOMPARE(FlagValue(), QString("1"));
    poll.stop();
    QVERIFY(LicenseAgreement::EnsureAccepted()); // would block if the dialog showed again
}

void TestCommonWindows::agreementFallsBackToTheUsersFolder()
{
    if (HostPlatform() == PlatformKind::MacOS)
        QSKIP("the machine-wide flag is the only one on macOS");
    // The machine-wide flag cannot be written (its folder would be below a plain file): the
    // answer goes to the user's own data folder and counts from there.
    QFile blocker(fixture->root.path() + "/blocker");
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("KORVANE_AGREEMENT_FILE", QFile::encodeName(blocker.fileName() + "/KVLicense.plist"));
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
    QFile eula(fixture->bundle + "/Resources/Eula.txt");
    QVERIFY(eula.open(QIODevice::WriteOnly));
    eula.write("LICENCE\n\n1. Terms \xc3\xa9\n");
    eula.close();
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

void TestCommonWindows::everyAnimationHasFrames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("start-up") << "img_InitProgress.gif";
    QTest::newRow("search") << "progress.gif";
    QTest::newRow("busy") << "SearchScan.gif";
}

void TestCommonWindows::everyAnimationHasFrames()
{
    QFETCH(QString, name);
    QMovie movie(":/images/images/ProcessImage/" + name);
    QVERIFY(movie.isValid());
    QVERIFY(movie.frameCount() > 8);
    QVERIFY(movie.jumpToFrame(0));
    QVERIFY(!movie.currentImage().isNull());
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
    QDir().mkpath(QFileInfo(root + file).absolutePath());
    QFile out(root + file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();
    const SystemVersionInfo info = ReadSystemVersion(static_cast<PlatformKind>(platform), root);
    QCOMPARE(info.productName, name);
    QCOMPARE(info.productVersion, version);
}

QTEST_MAIN(TestCommonWindows)
#include "tst_commonwindows.moc"
