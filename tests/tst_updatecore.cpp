#include "BundleArchive.h"
#include "LoopbackHttpServer.h"
#include "UpdateNetwork.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(Update::Kind)

class TestUpdateCore : public QObject
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

private:
    QString WriteFile(const QString& path, const QByteArray& data, QFile::Permissions extra = {});
    QByteArray MakeArchive(const QByteArray& programText)
    {
        return MakeBundleArchive(dir->path(),
                                 {{"bin/korvane-file-eraser", programText}, {"Resources/Info.plist", "<plist/>"}});
    }
    QScopedPointer<QTemporaryDir> dir;
    QString folder;
};

void TestUpdateCore::init()
{
    qRegisterMetaType<Update::Kind>();
    dir.reset(new QTemporaryDir);
    folder = dir->path() + "/Quillon/";
    Update::SetDownloadFolderForTests(folder);
    qputenv("XDG_CACHE_HOME", QFile::encodeName(dir->path() + "/cache"));
    QDir().mkpath(dir->path() + "/bundle");
    VersionTxtPath.clear();
}

void TestUpdateCore::cleanup()
{
    Update::SetDownloadFolderForTests(QString());
    qunsetenv("XDG_CACHE_HOME");
}

QString TestUpdateCore::WriteFile(const QString& path, const QByteArray& data, QFile::Permissions extra)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(data);
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | extra);
    return path;
}

void TestUpdateCore::versionFromServer_data()
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

void TestUpdateCore::versionFromServer()
{
    QFETCH(QByteArray, versionFile);
    QFETCH(int, kind);
    LoopbackHttpServer server;
    server.Serve("/updates/KorvaneforFile.txt", versionFile);
    UpdateCheck check(server.FolderUrl());
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

void TestUpdateCore::failuresAreReported_data()
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
void TestUpdateCore::failuresAreReported()
{
    QFETCH(QString, link);
    QFETCH(QString, reason);
    LoopbackHttpServer server;
    server.ServeBroken("/updates/KorvaneforFile.txt", QByteArray(4096, '6'), 100);
    server.ServeBroken("/updates/KorvaneforFile.zip", QByteArray(4096, 'z'), 100);
    if (link == "down") {
        link = server.FolderUrl();
        server.close();
    } else if (link == "no folder") {
        link = server.FolderUrl();
        // The shared folder is someone else's and the user's own cannot be made.
        WriteFile(dir->path() + "/Quillon", "a file, not a folder");
        WriteFile(dir->path() + "/cache", "a file, not a folder");
    } else if (link.startsWith('/')) {
        link = server.FolderUrl(link);
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

void TestUpdateCore::progressTexts_data()
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

void TestUpdateCore::progressTexts()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(qint64, received);
    QFETCH(qint64, total);
    QTEST(Update::TimeElapsedText(elapsedMs, received, total), "elapsedText");
    QTEST(Update::TransferRateText(elapsedMs, received), "rateText");
}

void TestUpdateCore::allowedAddresses_data()
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

void TestUpdateCore::allowedAddresses()
{
    QFETCH(QString, url);
    QTEST(Update::IsAllowedUrl(QUrl(url)), "allowed");
}

void TestUpdateCore::plantedLinksAreNotFollowed()
{
    LoopbackHttpServer server;
    server.Serve("/updates/KorvaneforFile.txt", "6.0.0.0\n");
    server.Serve("/updates/KorvaneforFile.zip", "not an archive");
    const QString victim = WriteFile(dir->path() + "/victim.txt", "precious");
    QVERIFY(Update::PreparePrivateFolder(folder));
    QVERIFY(QFile::link(victim, folder + "KorvaneforFile.txt"));
    QVERIFY(QFile::link(victim, folder + "KorvaneforFile.zip"));

    UpdateCheck check(server.FolderUrl());
    check.ConnectingServer();
    UpdateDownload download(server.FolderUrl(), dir->path() + "/bundle");
    QSignalSpy failed(&download, &UpdateDownload::Failed);
    download.downloadExe();
    QTRY_COMPARE(failed.count(), 1);
    QTest::qWait(50);
    QFile read(victim);
    QVERIFY(read.open(QIODevice::ReadOnly));
    QCOMPARE(read.readAll(), QByteArray("precious"));

    // A download folder that is itself a link is not used at all.
    const QString elsewhere = dir->path() + "/elsewhere";
    QDir().mkpath(elsewhere);
    QVERIFY(QFile::link(elsewhere, dir->path() + "/linked"));
    QVERIFY(!Update::PreparePrivateFolder(dir->path() + "/linked/"));
}

void TestUpdateCore::archiveIsInstalledWhole_data()
{
    QTest::addColumn<QString>("archive");
    QTest::newRow("good archive") << "good";
    QTest::newRow("not a zip file") << "not a zip";
    // Stored, not deflated: one member's bytes changed, its check sum fails after the others unpacked.
    QTest::newRow("damaged halfway") << "damaged";
}

void TestUpdateCore::archiveIsInstalledWhole()
{
    QFETCH(QString, archive);
    const QByteArray good = MakeArchive("#!/bin/sh\necho new\n");
    QVERIFY(!good.isEmpty());
    LoopbackHttpServer server;
    server.Serve("/updates/KorvaneforFile.zip", archive == "good" ? good
                                                : archive == "damaged"
                                                    ? QByteArray(good).replace("<plist/>", "<plisX/>")
                                                    : archive.toLatin1());
    const QString bundle = dir->path() + "/opt/Korvane File Eraser";
    WriteFile(bundle + "/bin/korvane-file-eraser", "old program", QFile::ExeOwner);
    WriteFile(bundle + "/bin/stale-helper", "only in the old version");
    WriteFile(bundle + "/Resources/kvf_setting.plist", "user settings");
    WriteFile(bundle + "/KVLOGFILE/01_01_2026_00_00_00.log", "user log");

    UpdateDownload download(server.FolderUrl(), bundle);
    QSignalSpy installed(&download, &UpdateDownload::Installed);
    QSignalSpy failed(&download, &UpdateDownload::InstallFailed);
    QSignalSpy progress(&download, &UpdateDownload::Progress);
    download.downloadExe();
    QTRY_COMPARE_WITH_TIMEOUT(installed.count() + failed.count(), 1, 20000);
    QCOMPARE(installed.count(), archive == "good" ? 1 : 0);
    QVERIFY(progress.count() >= 1);

    QFile program(bundle + "/bin/korvane-file-eraser");
    QVERIFY(program.open(QIODevice::ReadOnly));
    QCOMPARE(program.readAll(), QByteArray(archive == "good" ? "#!/bin/sh\necho new\n" : "old program"));
    QVERIFY(program.permissions() & QFile::ExeOwner);
    QCOMPARE(QFile::exists(bundle + "/Resources/Info.plist"), archive == "good");
    QCOMPARE(QFile::exists(bundle + "/bin/stale-helper"), archive != "good");
    // The user's settings and logs stay either way; no half-made copy is left behind.
    QVERIFY(QFile::exists(bundle + "/Resources/kvf_setting.plist"));
    QVERIFY(QFile::exists(bundle + "/KVLOGFILE/01_01_2026_00_00_00.log"));
    QVERIFY(!QFileInfo::exists(bundle + ".old"));
    QVERIFY(!QFileInfo::exists(bundle + ".new"));
    QVERIFY(!QFileInfo::exists(folder + "KorvaneforFile.zip"));
    QVERIFY(!QFileInfo::exists(folder + "KorvaneforFile.app"));
}

QTEST_GUILESS_MAIN(TestUpdateCore)
#include "tst_updatecore.moc"
