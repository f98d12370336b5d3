// Updates: the version check and the download and installation of a new bundle from a
// loopback server, and the windows that offer, run and report them.
#include "BundleArchive.h"
#include "FakeCommands.h"
#include "KorvaneApp.h"
#include "LoopImage.h"
#include "LoopbackHttpServer.h"
#include "MessageBox.h"
#include "PlistFormat.h"
#include "ScreenHooks.h"
#include "TestFiles.h"
#include "UpdateNetwork.h"
#include "UpdateWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <unistd.h>

Q_DECLARE_METATYPE(Update::Kind)

class TestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void versionFromServer_data();
    void versionFromServer();
    void failuresAreReported_data();
    void failuresAreReported();
    void progressTexts_data();
    void progressTexts();
    void allowedAddresses_data();
    void allowedAddresses();
    void plantedLinksAreNotFollowed();
    void archiveIsInstalledWhole_data();
    void archiveIsInstalledWhole();
    void checkSaysWhatHappened_data();
    void checkSaysWhatHappened();
    void wizardSavesSettingsOnClose();
    void downloadWindowEnds_data();
    void downloadWindowEnds();
    void systemWideInstallationIsNotReplaced();

private:
    QMinorUpdate* OfferFor(const QByteArray& version);
    void UseBundle(const QString& path);
    QString WriteFile(const QString& path, const QByteArray& data, QFile::Permissions extra = {});
    QByteArray MakeArchive(const QByteArray& programText)
    {
        return MakeBundleArchive(dir->path(),
                                 {{"bin/korvane-file-eraser", programText}, {"Resources/Info.plist", "<plist/>"}});
    }

    QScopedPointer<QTemporaryDir> dir;
    QScopedPointer<LoopbackHttpServer> server;
    QScopedPointer<FakeCommands> fakes;
    QScopedPointer<QWidget> mainWindow;
    KorvaneApp* app = nullptr;
    QString bundle;
    QString folder; // the shared download folder
};

void TestUpdate::init()
{
    qRegisterMetaType<Update::Kind>();
    dir.reset(new QTemporaryDir);
    server.reset(new LoopbackHttpServer);
    fakes.reset(new FakeCommands);
    fakes->Add("kill"); // OK ends the process with kill -9: it must never reach the real one
    folder = dir->path() + "/Quillon/";
    Update::SetDownloadFolderForTests(folder);
    for (const char* name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
        qputenv(name, QFile::encodeName(dir->path() + "/xdg/" + name));
    QDir().mkpath(dir->path() + "/bundle");
    VersionTxtPath.clear();
    MessageBox::ShownForTests().clear();
    mainWindow.reset(new QWidget);
    UseBundle(dir->path() + "/Korvane File Eraser");
}

void TestUpdate::UseBundle(const QString& path)
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

void TestUpdate::cleanup()
{
    mainWindow.reset();
    KorvaneApp::GetInstance()->centralArea = nullptr;
    Update::SetDownloadFolderForTests(QString());
    for (const char* name : {"XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME"})
        qunsetenv(name);
    fakes.reset();
    server.reset();
}

QString TestUpdate::WriteFile(const QString& path, const QByteArray& data, QFile::Permissions extra)
{
    QFile::setPermissions(WriteTestFile(path, data), QFile::ReadOwner | QFile::WriteOwner | extra);
    return path;
}

void TestUpdate::versionFromServer_data()
{
    QTest::addColumn<QByteArray>("versionFile");
    QTest::addColumn<int>("kind");
    QTest::newRow("major") << QByteArray("6.0.0.0\n") << int(Update::Kind::Major);
    QTest::newRow("minor") << QByteArray("5.0.1.0\n") << int(Update::Kind::Minor);
    QTest::newRow("same") << QByteArray("5.0.0.0\n") << int(Update::Kind::None);
    QTest::newRow("weighted tens") << QByteArray("5.0.10.0") << int(Update::Kind::Minor);
    QTest::newRow("older major, larger rest") << QByteArray("4.9.9.9\n") << int(Update::Kind::Minor);
    QTest::newRow("empty file") << QByteArray() << int(Update::Kind::None);
    QTest::newRow("only first line counts") << QByteArray("  5.0.0.0  \n9.0.0.0\n") << int(Update::Kind::None);
}

void TestUpdate::versionFromServer()
{
    QFETCH(QByteArray, versionFile);
    QFETCH(int, kind);
    server->Serve("/updates/KorvaneforFile.txt", versionFile);
    UpdateCheck check(server->FolderUrl());
    QSignalSpy none(&check, &UpdateCheck::NoUpdates);
    QSignalSpy newer(&check, &UpdateCheck::UpdateAvailable);
    check.ConnectingServer();
    QTRY_COMPARE(none.count() + newer.count(), 1);
    if (kind == int(Update::Kind::None)) {
        QCOMPARE(none.count(), 1);
    } else {
        QCOMPARE(int(newer.first().at(0).value<Update::Kind>()), kind);
    }
    QCOMPARE(VersionTxtPath, folder + "KorvaneforFile.txt");
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
}

void TestUpdate::failuresAreReported_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("reason");
    QTest::newRow("server down") << "down" << Update::ServerUnreachableText();
    QTest::newRow("cut short") << "/updates/" << Update::ServerUnreachableText();
    QTest::newRow("not found") << "/nothing-here/" << Update::ServerErrorText(404);
    QTest::newRow("plain http elsewhere") << "http://updates.korvane.example/kvf/" << Update::UntrustedAddressText();
    QTest::newRow("no update link") << "" << Update::UntrustedAddressText();
    QTest::newRow("no folder to download to") << "no folder" << Update::NoDownloadFolderText();
}

// Every failure arrives once, after the call that started the work, as a failure with its
// reason: never as "no updates", and never for the archive as well as the version file.
void TestUpdate::failuresAreReported()
{
    QFETCH(QString, link);
    QFETCH(QString, reason);
    server->ServeBroken("/updates/KorvaneforFile.txt", QByteArray(4096, '6'), 100);
    server->ServeBroken("/updates/KorvaneforFile.zip", QByteArray(4096, 'z'), 100);
    if (link == "down") {
        link = server->FolderUrl();
        server->close();
    } else if (link == "no folder") {
        link = server->FolderUrl();
        // The shared folder is someone else's and the user's own cannot be made.
        WriteFile(dir->path() + "/Quillon", "a file, not a folder");
        WriteFile(dir->path() + "/xdg/XDG_CACHE_HOME", "a file, not a folder");
    } else if (link.startsWith('/')) {
        link = server->FolderUrl(link);
    }

    UpdateCheck check(link);
    QSignalSpy none(&check, &UpdateCheck::NoUpdates);
    QSignalSpy failed(&check, &UpdateCheck::Failed);
    check.ConnectingServer();
    QCOMPARE(failed.count(), 0);
    QTRY_COMPARE(failed.count(), 1);
    QCOMPARE(failed.first().at(0).toString(), reason);
    QCOMPARE(none.count(), 0);
    QVERIFY(!QFileInfo(folder + "KorvaneforFile.txt").isFile());

    UpdateDownload download(link, dir->path() + "/bundle");
    QSignalSpy downloadFailed(&download, &UpdateDownload::Failed);
    download.downloadExe();
    QCOMPARE(downloadFailed.count(), 0);
    QTRY_COMPARE(downloadFailed.count(), 1);
    QCOMPARE(downloadFailed.first().at(0).toString(), reason);
    QVERIFY(!QFileInfo(folder + "KorvaneforFile.zip").isFile());
}

void TestUpdate::progressTexts_data()
{
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<qint64>("received");
    QTest::addColumn<qint64>("total");
    QTest::addColumn<QString>("elapsedText");
    QTest::addColumn<QString>("rateText");
    QTest::newRow("half a second") << qint64(500) << qint64(1048576) << qint64(4194304)
                                   << "Time Elapsed: 0 sec (1.00 MB of  4.00 MB copied) " << QString();
    QTest::newRow("3 MB in 2 s") << qint64(2000) << qint64(3 * 1048576) << qint64(6 * 1048576)
                                 << "Time Elapsed: 2 sec (3.00 MB of  6.00 MB copied) "
                                 << QString("Transfer Rate: 1536 KB/sec ");
    QTest::newRow("1.5 MB in 2 s") << qint64(2999) << qint64(1572864) << qint64(0)
                                   << "Time Elapsed: 2 sec (1.50 MB of  0.00 MB copied) "
                                   << QString("Transfer Rate: 512 KB/sec ");
    QTest::newRow("under a megabyte") << qint64(5000) << qint64(900000) << qint64(900000)
                                      << "Time Elapsed: 5 sec (0.86 MB of  0.86 MB copied) " << QString();
}

void TestUpdate::progressTexts()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(qint64, received);
    QFETCH(qint64, total);
    QTEST(Update::TimeElapsedText(elapsedMs, received, total), "elapsedText");
    QTEST(Update::TransferRateText(elapsedMs, received), "rateText");
}

void TestUpdate::allowedAddresses_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("https") << "https://updates.korvane.example/kvf/KorvaneforFile.zip" << true;
    QTest::newRow("plain http elsewhere") << "http://updates.korvane.example/kvf/KorvaneforFile.zip" << false;
    QTest::newRow("http private range") << "http://192.168.1.10/KorvaneforFile.zip" << false;
    QTest::newRow("http loopback v4") << "http://127.0.0.1:8080/u/KorvaneforFile.zip" << true;
    QTest::newRow("http loopback v6") << "http://[::1]:8080/u/KorvaneforFile.zip" << true;
    QTest::newRow("http localhost") << "http://localhost/u/KorvaneforFile.zip" << true;
    QTest::newRow("file") << "file:///tmp/KorvaneforFile.zip" << false;
    QTest::newRow("no link configured") << "KorvaneforFile.zip" << false;
}

void TestUpdate::allowedAddresses()
{
    QFETCH(QString, url);
    QTEST(Update::IsAllowedUrl(QUrl(url)), "allowed");
}

void TestUpdate::plantedLinksAreNotFollowed()
{
    server->Serve("/updates/KorvaneforFile.txt", "6.0.0.0\n");
    server->Serve("/updates/KorvaneforFile.zip", "not an archive");
    const QString victim = WriteFile(dir->path() + "/victim.txt", "precious");
    QVERIFY(Update::PreparePrivateFolder(folder));
    QVERIFY(QFile::link(victim, folder + "KorvaneforFile.txt"));
    QVERIFY(QFile::link(victim, folder + "KorvaneforFile.zip"));

    UpdateCheck check(server->FolderUrl());
    check.ConnectingServer();
    UpdateDownload download(server->FolderUrl(), dir->path() + "/bundle");
    QSignalSpy failed(&download, &UpdateDownload::Failed);
    download.downloadExe();
    QTRY_COMPARE(failed.count(), 1);
    QTest::qWait(50);
    QCOMPARE(ReadTestFile(victim), QByteArray("precious"));

    // A download folder that is itself a link is not used at all.
    const QString elsewhere = dir->path() + "/elsewhere";
    QDir().mkpath(elsewhere);
    QVERIFY(QFile::link(elsewhere, dir->path() + "/linked"));
    QVERIFY(!Update::PreparePrivateFolder(dir->path() + "/linked/"));
}

void TestUpdate::archiveIsInstalledWhole_data()
{
    QTest::addColumn<QString>("archive");
    QTest::newRow("good archive") << "good";
    QTest::newRow("not a zip file") << "not a zip";
    // Stored, not deflated: one member's bytes changed, its check sum fails after the others unpacked.
    QTest::newRow("damaged halfway") << "damaged";
}

void TestUpdate::archiveIsInstalledWhole()
{
    QFETCH(QString, archive);
    const QByteArray good = MakeArchive("#!/bin/sh\necho new\n");
    QVERIFY(!good.isEmpty());
    server->Serve("/updates/KorvaneforFile.zip", archive == "good" ? good
                                                 : archive == "damaged"
                                                     ? QByteArray(good).replace("<plist/>", "<plisX/>")
                                                     : archive.toLatin1());
    const QString target = dir->path() + "/opt/Korvane File Eraser";
    WriteFile(target + "/bin/korvane-file-eraser", "old program", QFile::ExeOwner);
    WriteFile(target + "/bin/stale-helper", "only in the old version");
    WriteFile(target + "/Resources/kvf_setting.plist", "user settings");
    WriteFile(target + "/KVLOGFILE/01_01_2026_00_00_00.log", "user log");

    UpdateDownload download(server->FolderUrl(), target);
    QSignalSpy installed(&download, &UpdateDownload::Installed);
    QSignalSpy failed(&download, &UpdateDownload::InstallFailed);
    QSignalSpy progress(&download, &UpdateDownload::Progress);
    download.downloadExe();
    QTRY_COMPARE_WITH_TIMEOUT(installed.count() + failed.count(), 1, 20000);
    QCOMPARE(installed.count(), archive == "good" ? 1 : 0);
    QVERIFY(progress.count() >= 1);

    const QString program = target + "/bin/korvane-file-eraser";
    QCOMPARE(ReadTestFile(program), QByteArray(archive == "good" ? "#!/bin/sh\necho new\n" : "old program"));
    QVERIFY(QFile::permissions(program) & QFile::ExeOwner);
    QCOMPARE(QFile::exists(target + "/Resources/Info.plist"), archive == "good");
    QCOMPARE(QFile::exists(target + "/bin/stale-helper"), archive != "good");
    // The user's settings and logs stay either way; no half-made copy is left behind.
    QVERIFY(QFile::exists(target + "/Resources/kvf_setting.plist"));
    QVERIFY(QFile::exists(target + "/KVLOGFILE/01_01_2026_00_00_00.log"));
    QVERIFY(!QFileInfo::exists(target + ".old"));
    QVERIFY(!QFileInfo::exists(target + ".new"));
    QVERIFY(!QFileInfo::exists(folder + "KorvaneforFile.zip"));
    QVERIFY(!QFileInfo::exists(folder + "KorvaneforFile.app"));
}

QMinorUpdate* TestUpdate::OfferFor(const QByteArray& version)
{
    if (!version.isEmpty())
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

void TestUpdate::checkSaysWhatHappened_data()
{
    // The start-up check offers a newer version and is silent otherwise; the wizard's check
    // always says what happened (how each failure is told apart is failuresAreReported's).
    QTest::addColumn<bool>("wizard");
    QTest::addColumn<QString>("answer"); // the version file served, or "broken"
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QString>("shown");
    QTest::newRow("start-up, newer") << false << "5.0.1.0\n" << true << QString();
    QTest::newRow("start-up, same") << false << "5.0.0.0\n" << false << QString();
    QTest::newRow("start-up, server fails") << false << "broken" << false << QString();
    QTest::newRow("wizard, same") << true << "5.0.0.0" << false << "Update|Your Application has all latest updates";
    QTest::newRow("wizard, server fails") << true << "broken" << false << "Update|" + Update::ServerUnreachableText();
}

void TestUpdate::checkSaysWhatHappened()
{
    QFETCH(bool, wizard);
    QFETCH(QString, answer);
    QFETCH(bool, offered);
    QFETCH(QString, shown);
    if (answer == "broken")
        server->ServeBroken("/updates/KorvaneforFile.txt", QByteArray(2000, '9'), 10);
    else
        server->Serve("/updates/KorvaneforFile.txt", answer.toLatin1());
    if (wizard) {
        MessageBox::QueueAnswerForTests(MessageBox::Ok);
        Screens().openUpdateWizard(mainWindow.get());
        auto* updateWizard = mainWindow->findChild<UpdateWizard*>();
        QVERIFY(updateWizard);
        updateWizard->findChild<QPushButton*>("update_Btn")->click();
        QVERIFY(!updateWizard->isVisible());
        QTRY_COMPARE(MessageBox::ShownForTests(), QStringList{shown});
        QVERIFY(updateWizard->Checker()->isHidden());
        QCOMPARE(QFile::exists(VersionTxtPath), answer != "broken");
        return;
    }
    QMinorUpdate* offer = OfferFor(QByteArray()); // as served above
    QCOMPARE(offer != nullptr, offered);
    QVERIFY(MessageBox::ShownForTests().isEmpty());
    if (!offered) {
        QVERIFY(mainWindow->findChild<QCheckUpdate*>()->isHidden());
        return;
    }
    QVERIFY(offer->isVisible());
    QCOMPARE(offer->findChild<QTextEdit*>("textEdit")->toPlainText(),
             "New version details: \nUpdate: Korvane File Eraser 5.0.1.0\n");
    // Cancel closes the offer and drops the downloaded version file.
    QVERIFY(QFile::exists(VersionTxtPath));
    offer->findChild<QPushButton*>("CancelButton")->click();
    QVERIFY(!offer->isVisible());
    QVERIFY(!QFile::exists(VersionTxtPath));
}

void TestUpdate::wizardSavesSettingsOnClose()
{
    app->checkUpdate = true;
    app->updateSchedule = 1;
    UpdateWizard wizard(mainWindow.get());
    auto* combo = wizard.findChild<QComboBox*>("UpdateSch_Combo");
    QCOMPARE(combo->currentText(), QStringLiteral("Weekly"));
    QVERIFY(wizard.findChild<QCheckBox*>("checkBox")->isChecked());

    wizard.findChild<QCheckBox*>("checkBox")->setChecked(false);
    combo->setCurrentIndex(2);
    wizard.findChild<QPushButton*>("Close_Btn")->click();
    QSettings stored(app->settingsPath, PlistFormat());
    QCOMPARE(stored.value("KVF_CheckUpdate").toString(), QStringLiteral("0"));
    QCOMPARE(stored.value("KVF_UpdateSchedule").toString(), QStringLiteral("2"));
}

void TestUpdate::downloadWindowEnds_data()
{
    QTest::addColumn<bool>("good");
    QTest::newRow("installed") << true;
    QTest::newRow("not a zip archive") << false;
}

// The shared download folder belongs to another user (it is private to whoever made it):
// the check and the download use this user's own folder. Installed, OK restarts; failed,
// the window says so and OK only closes it.
void TestUpdate::downloadWindowEnds()
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
void TestUpdate::systemWideInstallationIsNotReplaced()
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

QTEST_MAIN(TestUpdate)
#include "tst_update.moc"
