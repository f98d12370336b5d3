#include "BundleArchive.h"
#include "FakeCommands.h"
#include "KorvaneApp.h"
#include "LoopImage.h"
#include "LoopbackHttpServer.h"
#include "MessageBox.h"
#include "PlistFormat.h"
#include "ScreenHooks.h"
#include "UpdateWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <unistd.h>

class TestUpdateWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpCheckOffersNewerVersion_data();
    void startUpCheckOffersNewerVersion();
    void wizardSaysWhatHappened_data();
    void wizardSaysWhatHappened();
    void wizardSavesSettingsOnClose();
    void downloadWindowEnds_data();
    void downloadWindowEnds();
    void systemWideInstallationIsNotReplaced();

private:
    QMinorUpdate* OfferFor(const QByteArray& version);
    void UseBundle(const QString& path);
    QScopedPointer<QTemporaryDir> dir;
    QScopedPointer<LoopbackHttpServer> server;
    QScopedPointer<FakeCommands> fakes;
    QScopedPointer<QWidget> mainWindow;
    KorvaneApp* app = nullptr;
    QString bundle;
};

void TestUpdateWindows::init()
{
    dir.reset(new QTemporaryDir);
    server.reset(new LoopbackHttpServer);
    fakes.reset(new FakeCommands);
    fakes->Add("kill"); // OK ends the process with kill -9: it must never reach the real one
    Update::SetDownloadFolderForTests(dir->path() + "/Quillon");
    for (const char* name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
        qputenv(name, QFile::encodeName(dir->path() + "/xdg/" + name));
    VersionTxtPath.clear();
    MessageBox::ShownForTests().clear();
    mainWindow.reset(new QWidget);
    UseBundle(dir->path() + "/Korvane File Eraser");
}

void TestUpdateWindows::UseBundle(const QString& path)
{
    bundle = path;
    QDir().mkpath(bundle + "/bin");
    QDir().mkpath(bundle + "/Resources");
    QSettings info(bundle + "/Info.plist", PlistFormat());
    info.setValue("UpdateLink", server->FolderUrl());
    info.sync();
    KorvaneApp::ResetInstance();
    app = KorvaneApp::GetInstance();
    app->SetFolders(bundle + "/bin");
    app->InitSettings(false);
    app->centralArea = mainWindow.get();
}

void TestUpdateWindows::cleanup()
{
    mainWindow.reset();
    KorvaneApp::GetInstance()->centralArea = nullptr;
    Update::SetDownloadFolderForTests(QString());
    for (const char* name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
        qunsetenv(name);
    fakes.reset();
}

QMinorUpdate* TestUpdateWindows::OfferFor(const QByteArray& version)
{
    server->Serve("/updates/KorvaneforFile.txt", version);
    Screens().startUpdateCheck(mainWindow.get());
    auto* checker = mainWindow->findChild<QCheckUpdate*>();
    if (!checker)
        return nullptr;
    QSignalSpy none(checker, &QCheckUpdate::NoUpdates);
    QSignalSpy failed(checker, &QCheckUpdate::Failed);
    if (!QTest::qWaitFor([&] { return checker->Offer() || none.count() + failed.count() > 0; }, 5000))
        return nullptr;
    // Whatever the outcome, the modal checker is gone and the main window can be used.
    QTest::qWait(10);
    if (checker->isVisible() || QApplication::activeModalWidget())
        return nullptr;
    return qobject_cast<QMinorUpdate*>(checker->Offer());
}

void TestUpdateWindows::startUpCheckOffersNewerVersion_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("offered");
    QTest::newRow("newer minor") << QByteArray("5.0.1.0\n") << true;
    QTest::newRow("same") << QByteArray("5.0.0.0\n") << false;
    QTest::newRow("server fails") << QByteArray() << false;
}

void TestUpdateWindows::startUpCheckOffersNewerVersion()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, offered);
    if (version.isEmpty())
        server->ServeBroken("/updates/KorvaneforFile.txt", QByteArray(2000, '9'), 10);
    QMinorUpdate* offer = OfferFor(version);
    QCOMPARE(offer != nullptr, offered);
    if (!offered)
        QVERIFY(mainWindow->findChild<QCheckUpdate*>()->isHidden());
    // The start-up check stays silent when there is nothing newer and when it fails.
    QVERIFY(MessageBox::ShownForTests().isEmpty());
    if (!offered)
        return;
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->findChild<QTextEdit*>("textEdit")->toPlainText(),
             "New version details: \nUpdate: Korvane File Eraser " + QString::fromLatin1(version.trimmed()) + "\n");
    // Cancel closes the offer and drops the downloaded version file.
    QVERIFY(QFile::exists(VersionTxtPath));
    offer->findChild<QPushButton*>("CancelButton")->click();
    QVERIFY(!offer->isVisible());
    QVERIFY(!QFile::exists(VersionTxtPath));
}

void TestUpdateWindows::wizardSaysWhatHappened_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    // How each failure is told apart is the core's (updatecore: failuresAreReported); here, that it is shown.
    QTest::newRow("nothing newer") << "5.0.0.0" << QString("Update|Your Application has all latest updates");
    QTest::newRow("server down") << "down"
                                 << "Update|" + Update::ServerUnreachableText();
}

void TestUpdateWindows::wizardSaysWhatHappened()
{
    QFETCH(QString, answer);
    QFETCH(QString, shown);
    if (answer == "down")
        server->close();
    else
        server->Serve("/updates/KorvaneforFile.txt", answer.toLatin1());
    MessageBox::QueueAnswerForTests(MessageBox::Ok);
    Screens().openUpdateWizard(mainWindow.get());
    auto* wizard = mainWindow->findChild<UpdateWizard*>();
    QVERIFY(wizard);
    wizard->findChild<QPushButton*>("update_Btn")->click();
    QVERIFY(!wizard->isVisible());
    QTRY_COMPARE(MessageBox::ShownForTests(), QStringList{shown});
    QVERIFY(wizard->Checker()->isHidden());
    if (answer == "down")
        QVERIFY(!QFile::exists(VersionTxtPath));
}

void TestUpdateWindows::wizardSavesSettingsOnClose()
{
    app->checkUpdate = true;
    app->updateSchedule = 1;
    UpdateWizard wizard(mainWindow.get());
    auto* combo = wizard.findChild<QComboBox*>("UpdateSch_Combo");
    QCOMPARE(combo->count(), 3);
    QCOMPARE(combo->currentText(), QStringLiteral("Weekly"));
    QVERIFY(wizard.findChild<QCheckBox*>("checkBox")->isChecked());

    wizard.findChild<QCheckBox*>("checkBox")->setChecked(false);
    combo->setCurrentIndex(2);
    wizard.findChild<QPushButton*>("Close_Btn")->click();
    QSettings stored(app->settingsPath, PlistFormat());
    QCOMPARE(stored.value("KVF_CheckUpdate").toString(), QStringLiteral("0"));
    QCOMPARE(stored.value("KVF_UpdateSchedule").toString(), QStringLiteral("2"));
}

void TestUpdateWindows::downloadWindowEnds_data()
{
    QTest::addColumn<bool>("good");
    QTest::newRow("installed") << true;
    QTest::newRow("not a zip archive") << false;
}

// The shared download folder belongs to another user (it is private to whoever made it):
// the check and the download use this user's own folder. Installed, OK restarts; failed,
// the window says so and OK only closes it.
void TestUpdateWindows::downloadWindowEnds()
{
    QFETCH(bool, good);
    const QString shared = dir->path() + "/Quillon";
    QDir().mkpath(shared);
    QVERIFY(::chown(QFile::encodeName(shared).constData(), 65534, 65534) == 0 || geteuid() != 0);
    QFile::setPermissions(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (geteuid() != 0)
        QVERIFY(QFile::setPermissions(shared, QFile::ReadOwner)); // not this user's to use either way
    const QString own = dir->path() + "/xdg/XDG_CACHE_HOME/korvane-file-eraser/update/";

    server->Serve("/updates/KorvaneforFile.zip",
                  good ? MakeBundleArchive(dir->path(), {{"bin/korvane-file-eraser", "new version"}}) : "not a zip");
    QMinorUpdate* offer = OfferFor("6.0.0.0\n");
    QVERIFY(offer);
    QCOMPARE(VersionTxtPath, own + "KorvaneforFile.txt");
    offer->findChild<QPushButton*>("UpdateButton")->click();
    auto* download = qobject_cast<QDownloadApp*>(offer->DownloadWindow());
    QVERIFY(download);
    QVERIFY(!offer->isVisible());
    QCOMPARE(download->findChild<QLabel*>("InfoLabel")->text(),
             QStringLiteral("Please wait as this process will take several seconds to few minutes "));

    auto* ok = download->findChild<QPushButton*>("OkButton");
    QTRY_VERIFY_WITH_TIMEOUT(ok->isVisible(), 20000);
    const QString info = download->findChild<QLabel*>("InfoLabel")->text();
    QVERIFY2(download->findChild<QLabel*>("RestartLabel")->isVisible() == good, qPrintable(info));
    QCOMPARE(info.contains("left unchanged"), !good);
    QCOMPARE(download->findChild<QLabel*>("DownLoadLabel")->isVisible(), !good);
    QCOMPARE(QFile::exists(bundle + "/bin/korvane-file-eraser"), good);
    QCOMPARE(QFileInfo(own).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
    QVERIFY(QDir(shared).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    QVERIFY(QApplication::activeModalWidget() == nullptr);

    ok->click(); // installed, the fake kill leaves the window up; failed, it closes
    QCOMPARE(download->isVisible(), good);
    QCOMPARE(fakes->Calls("kill"),
             good ? QStringList{"-9\t" + QString::number(QCoreApplication::applicationPid())} : QStringList());
}

// A system-wide installation that this user cannot replace: the offer says so and how to
// update instead, and nothing is downloaded. (Root can write anywhere but on a read-only file
// system, so root's run uses one.)
void TestUpdateWindows::systemWideInstallationIsNotReplaced()
{
    MountedImage image;
    QString installed = dir->path() + "/usr/lib/korvane-file-eraser";
    if (geteuid() == 0) {
        QVERIFY(image.Create(dir->path(), 4 << 20, "tmpfs"));
        QVERIFY(image.IsOwnMount()); // remounted read-only below: never the machine's own
        installed = image.MountPoint() + "/korvane-file-eraser";
    }
    UseBundle(installed);
    if (geteuid() == 0)
        QVERIFY(RunTool("mount", {"-o", "remount,ro", image.MountPoint()}));
    else
        QVERIFY(QFile::setPermissions(installed, QFile::ReadOwner | QFile::ExeOwner));
    UseBundle(installed);
    QVERIFY(app->perUserFolders); // the bundle is not this user's

    QMinorUpdate* offer = OfferFor("6.0.0.0\n");
    QVERIFY(offer);
    QVERIFY(!offer->findChild<QPushButton*>("UpdateButton")->isEnabled());
    QVERIFY(offer->findChild<QPushButton*>("UpdateButton")->isHidden());
    QVERIFY(offer->Obstacle().contains(installed));
    QVERIFY(offer->findChild<QTextEdit*>("textEdit")
                ->toPlainText()
                .contains("Please update it through your package manager or as administrator."));

    offer->DownloadApp(); // even when asked, nothing is fetched
    auto* download = qobject_cast<QDownloadApp*>(offer->DownloadWindow());
    QTRY_VERIFY(download->findChild<QPushButton*>("OkButton")->isVisible());
    QCOMPARE(download->findChild<QLabel*>("InfoLabel")->text(), offer->Obstacle());
    QVERIFY(!server->Requests().join(' ').contains("KorvaneforFile.zip"));
    if (geteuid() != 0)
        QFile::setPermissions(installed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QTEST_MAIN(TestUpdateWindows)
#include "tst_updatewindows.moc"
