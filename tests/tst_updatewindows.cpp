#include "FakeCommands.h"
#include "KorvaneApp.h"
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

class TestUpdateWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startUpCheckOffersNewerVersion_data();
    void startUpCheckOffersNewerVersion();
    void wizardSaysNoUpdateWhenServerFails();
    void wizardSavesSettingsOnClose();
    void cancelDropsVersionFile();
    void acceptedUpdateInstallsAndOkEndsProcess();
    void failedInstallCanBeClosed();

private:
    QMinorUpdate* OfferFor(const QByteArray& version);
    QByteArray MakeArchive();
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
    VersionTxtPath.clear();
    MessageBox::ShownForTests().clear();

    KorvaneApp::ResetInstance();
    app = KorvaneApp::GetInstance();
    bundle = dir->path() + "/Korvane File Eraser";
    QDir().mkpath(bundle + "/bin");
    QDir().mkpath(bundle + "/Resources");
    app->SetFolders(bundle + "/bin");
    app->InitSettings(false);
    QSettings info(bundle + "/Info.plist", PlistFormat());
    info.setValue("UpdateLink", server->FolderUrl());
    info.sync();
    mainWindow.reset(new QWidget);
    app->centralArea = mainWindow.get();
}

void TestUpdateWindows::cleanup()
{
    mainWindow.reset();
    KorvaneApp::GetInstance()->centralArea = nullptr;
    Update::SetDownloadFolderForTests(QString());
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
    if (!QTest::qWaitFor([&] { return checker->Offer() || none.count() > 0; }, 5000))
        return nullptr;
    return qobject_cast<QMinorUpdate*>(checker->Offer());
}

QByteArray TestUpdateWindows::MakeArchive()
{
    const QString staging = dir->path() + "/zipsrc/KorvaneforFile.app/bin";
    QDir().mkpath(staging);
    QFile program(staging + "/korvane-file-eraser");
    program.open(QIODevice::WriteOnly);
    program.write("new version");
    program.close();
    QProcess zip;
    zip.setWorkingDirectory(dir->path() + "/zipsrc");
    zip.start("zip", {"-q", "-r", "../update.zip", "KorvaneforFile.app"});
    zip.waitForFinished();
    QFile archive(dir->path() + "/update.zip");
    archive.open(QIODevice::ReadOnly);
    return archive.readAll();
}

void TestUpdateWindows::startUpCheckOffersNewerVersion_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<bool>("offered");
    QTest::newRow("newer major") << QByteArray("6.0.0.0\n") << true;
    QTest::newRow("newer minor") << QByteArray("5.0.1.0\n") << true;
    QTest::newRow("same") << QByteArray("5.0.0.0\n") << false;
}

void TestUpdateWindows::startUpCheckOffersNewerVersion()
{
    QFETCH(QByteArray, version);
    QFETCH(bool, offered);
    QMinorUpdate* offer = OfferFor(version);
    QCOMPARE(offer != nullptr, offered);
    // The start-up check stays silent when there is nothing newer.
    QVERIFY(MessageBox::ShownForTests().isEmpty());
    if (!offered)
        return;
    QVERIFY(offer->isVisible());
    QVERIFY(offer->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(offer->size(), QSize(490, 384));
    QCOMPARE(offer->findChild<QTextEdit*>("textEdit")->toPlainText(),
             "New version details: \nUpdate: Korvane File Eraser " + QString::fromLatin1(version.trimmed()) + "\n");
}

void TestUpdateWindows::wizardSaysNoUpdateWhenServerFails()
{
    server->ServeBroken("/updates/KorvaneforFile.txt", QByteArray(2000, '9'), 10);
    MessageBox::QueueAnswerForTests(MessageBox::Ok);
    Screens().openUpdateWizard(mainWindow.get());
    auto* wizard = mainWindow->findChild<UpdateWizard*>();
    QVERIFY(wizard);
    wizard->findChild<QPushButton*>("update_Btn")->click();
    QVERIFY(!wizard->isVisible());
    QTRY_COMPARE(MessageBox::ShownForTests(), QStringList{"Update|Your Application has all latest updates"});
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

void TestUpdateWindows::cancelDropsVersionFile()
{
    QMinorUpdate* offer = OfferFor("6.0.0.0\n");
    QVERIFY(offer);
    QVERIFY(QFile::exists(VersionTxtPath));
    offer->findChild<QPushButton*>("CancelButton")->click();
    QVERIFY(!offer->isVisible());
    QVERIFY(!QFile::exists(VersionTxtPath));
}

void TestUpdateWindows::acceptedUpdateInstallsAndOkEndsProcess()
{
    server->Serve("/updates/KorvaneforFile.zip", MakeArchive());
    QMinorUpdate* offer = OfferFor("6.0.0.0\n");
    QVERIFY(offer);
    offer->findChild<QPushButton*>("UpdateButton")->click();
    auto* download = qobject_cast<QDownloadApp*>(offer->DownloadWindow());
    QVERIFY(download);
    QVERIFY(!offer->isVisible());
    QCOMPARE(download->findChild<QLabel*>("InfoLabel")->text(),
             QStringLiteral("Please wait as this process will take several seconds to few minutes "));

    auto* ok = download->findChild<QPushButton*>("OkButton");
    QTRY_VERIFY_WITH_TIMEOUT(ok->isVisible(), 20000);
    QVERIFY(download->findChild<QLabel*>("RestartLabel")->isVisible());
    QVERIFY(!download->findChild<QLabel*>("DownLoadLabel")->isVisible());
    QFile program(bundle + "/bin/korvane-file-eraser");
    QVERIFY(program.open(QIODevice::ReadOnly));
    QCOMPARE(program.readAll(), QByteArray("new version"));

    ok->click();
    QCOMPARE(fakes->Calls("kill"), QStringList{"-9\t" + QString::number(QCoreApplication::applicationPid())});
}

void TestUpdateWindows::failedInstallCanBeClosed()
{
    server->Serve("/updates/KorvaneforFile.zip", "not a zip archive");
    QMinorUpdate* offer = OfferFor("6.0.0.0\n");
    QVERIFY(offer);
    offer->DownloadApp();
    auto* download = qobject_cast<QDownloadApp*>(offer->DownloadWindow());
    auto* ok = download->findChild<QPushButton*>("OkButton");
    QTRY_VERIFY_WITH_TIMEOUT(ok->isVisible(), 20000);
    QVERIFY(!download->findChild<QLabel*>("RestartLabel")->isVisible());
    QVERIFY(download->findChild<QLabel*>("InfoLabel")->text().contains("left unchanged"));
    ok->click();
    QVERIFY(!download->isVisible());
    QVERIFY(fakes->Calls("kill").isEmpty());
}

QTEST_MAIN(TestUpdateWindows)
#include "tst_updatewindows.moc"
