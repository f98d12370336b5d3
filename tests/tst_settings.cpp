#include "KorvaneApp.h"
#include "Platform.h"
#include "PlistFormat.h"

#include "FakeCommands.h"
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void folderLayoutFollowsExecutable();
    void layoutForBundleOwner_data();
    void layoutForBundleOwner();
    void firstStartWritesDefaultsAndFolders();
    void storedValuesAreLoaded_data();
    void storedValuesAreLoaded();
    void savingWritesMembersBack();
    void fileIsWellFormedPlist();
    void homeFallsBackToWhoami_data();
    void homeFallsBackToWhoami();

private:
    void WriteSettingsFile(const QVariantMap& values);
    KorvaneApp* app = nullptr;
    QScopedPointer<QTemporaryDir> bundleRoot;
    QString bundle;
};

void TestSettings::init()
{
    KorvaneApp::ResetInstance();
    app = KorvaneApp::GetInstance();
    bundleRoot.reset(new QTemporaryDir);
    bundle = bundleRoot->path() + "/Korvane File Eraser";
    QDir().mkpath(bundle + "/bin");
    QDir().mkpath(bundle + "/Resources");
    app->SetFolders(bundle + "/bin");
}

void TestSettings::WriteSettingsFile(const QVariantMap& values)
{
    QSettings settings(bundle + "/Resources/kvf_setting.plist", PlistFormat());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
}

void TestSettings::folderLayoutFollowsExecutable()
{
    QCOMPARE(app->bundlePath, bundle);
    QCOMPARE(app->appDirPath, bundle + "/bin");
    QCOMPARE(app->logPath, bundle);
    QCOMPARE(app->certificatePath, bundle);
    QCOMPARE(app->settingsPath, bundle + "/Resources");
    QCOMPARE(app->resourcePath, bundle + "/Resources");
    QCOMPARE(app->taskPath, bundle + "/KVFTASK");
    QCOMPARE(app->infoFilePath, bundle + "/Resources/KVFInfo.txt");
}

void TestSettings::layoutForBundleOwner_data()
{
    QTest::addColumn<int>("platform");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<QString>("xdg");          // "set", "unset" or "relative"
    QTest::addColumn<QStringList>("expected"); // settings, log, certificate, task, list; ~ is $HOME
    const QStringList inBundle{"B/Resources", "B", "B", "B/KVFTASK", "B/Resources/KVFInfo.txt"};
    const QStringList xdgSet{"X/config/korvane-file-eraser", "X/state/korvane-file-eraser",
                             "X/data/korvane-file-eraser", "X/cache/korvane-file-eraser/KVFTASK",
                             "X/cache/korvane-file-eraser/KVFInfo.txt"};
    const QStringList xdgDefault{"~/.config/korvane-file-eraser", "~/.local/state/korvane-file-eraser",
                                 "~/.local/share/korvane-file-eraser", "~/.cache/korvane-file-eraser/KVFTASK",
                                 "~/.cache/korvane-file-eraser/KVFInfo.txt"};
    const int linux = int(PlatformKind::Linux);
    QTest::newRow("user's own bundle") << linux << true << "set" << inBundle;
    QTest::newRow("system-wide, XDG set") << linux << false << "set" << xdgSet;
    QTest::newRow("system-wide, XDG unset") << linux << false << "unset" << xdgDefault;
    QTest::newRow("system-wide, XDG relative") << linux << false << "relative" << xdgDefault;
    QTest::newRow("macOS keeps the bundle") << int(PlatformKind::MacOS) << false << "set" << inBundle;
}

void TestSettings::layoutForBundleOwner()
{
    QFETCH(int, platform);
    QFETCH(bool, writable);
    QFETCH(QString, xdg);
    QFETCH(QStringList, expected);
    const QString home = bundleRoot->path() + "/home";
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home));
    for (const char* name : {"config", "state", "data", "cache"}) {
        const QByteArray variable = "XDG_" + QByteArray(name).toUpper() + "_HOME";
        if (xdg == "unset")
            qunsetenv(variable.constData());
        else
            qputenv(variable.constData(), (xdg == "set" ? "/X/" : "X/") + QByteArray(name));
    }
    const FolderLayout layout = PlatformPaths::ChooseFolderLayout(PlatformKind(platform), "/B", writable);
    qputenv("HOME", oldHome);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        qunsetenv(name);

    QStringList paths{layout.settingsFolder, layout.logFolder, layout.certificateFolder, layout.taskFolder,
                      layout.infoFile};
    paths.replaceInStrings(QRegularExpression("^/B"), "B").replaceInStrings(QRegularExpression("^/X"), "X");
    paths.replaceInStrings(QRegularExpression("^" + QRegularExpression::escape(home)), "~");
    QCOMPARE(paths, expected);
    QCOMPARE(layout.perUser, !expected.first().startsWith("B"));
}

void TestSettings::firstStartWritesDefaultsAndFolders()
{
    QVERIFY(app->InitSettings(false));
    QCOMPARE(app->settingsPath, bundle + "/Resources/kvf_setting.plist");

    QSettings stored(app->settingsPath, PlistFormat());
    const QMap<QString, QString> expected{
        {"KVF_Algorithm", "0"},   {"KVF_Verification", "0"},   {"KVF_LogPath", bundle}, {"KVF_CertificatePath", bundle},
        {"KVF_CheckUpdate", "1"}, {"KVF_UpdateSchedule", "1"}, {"SupportLink", ""},     {"KVF_Discard", "0"}};
    QCOMPARE(stored.allKeys().size(), 8);
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(stored.value(it.key()).type(), QVariant::String);
        QCOMPARE(stored.value(it.key()).toString(), it.value());
    }
    for (const char* folder : {"/KVLOGFILE", "/KVFTASK", "/KVCERTIFICATE"})
        QVERIFY2(QFileInfo(bundle + folder).isDir(), folder);
}

void TestSettings::storedValuesAreLoaded_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("verification");
    QTest::addColumn<bool>("checkUpdate");
    QTest::addColumn<int>("schedule");
    QTest::addColumn<QString>("logPath");

    QTest::newRow("gutmann") << QVariantMap{{"KVF_Algorithm", "10"},
                                            {"KVF_Verification", "2"},
                                            {"KVF_CheckUpdate", "1"},
                                            {"KVF_UpdateSchedule", "3"},
                                            {"KVF_LogPath", "/nonexistent-kv/logs"}}
                             << 10 << 2 << true << 3 << "/nonexistent-kv/logs";
    // Missing keys read 0 or false; a missing folder falls back to the bundle rather than "/".
    QTest::newRow("missing keys") << QVariantMap{{"SupportLink", "x"}} << 0 << 0 << false << 0 << "<bundle>";
    // Indices outside the tables (a damaged or hand-edited file) mean the defaults.
    QTest::newRow("unknown indices") << QVariantMap{{"KVF_Algorithm", "17"}, {"KVF_Verification", "-1"}} << 0 << 0
                                     << false << 0 << "<bundle>";
    QTest::newRow("check off") << QVariantMap{{"KVF_CheckUpdate", "0"}, {"KVF_LogPath", ""}} << 0 << 0 << false << 0
                               << "<bundle>";
}

void TestSettings::storedValuesAreLoaded()
{
    QFETCH(QVariantMap, stored);
    WriteSettingsFile(stored);
    app->InitSettings(false);
    QTEST(app->algorithm, "algorithm");
    QTEST(app->verification, "verification");
    QTEST(app->checkUpdate, "checkUpdate");
    QTEST(app->updateSchedule, "schedule");
    QFETCH(QString, logPath);
    QCOMPARE(app->logPath, logPath == "<bundle>" ? bundle : logPath);
    if (logPath == "<bundle>")
        QCOMPARE(app->certificatePath, bundle);
}

void TestSettings::savingWritesMembersBack()
{
    app->InitSettings(false);
    const QString logs = bundleRoot->path() + "/logs";
    QDir().mkpath(logs);
    app->algorithm = 16;
    app->verification = 1;
    app->checkUpdate = false;
    app->discardAfterFill = true;
    app->logPath = logs;
    app->InitSettings(true);
    QVERIFY(QFileInfo(logs + "/KVLOGFILE").isDir());

    KorvaneApp::ResetInstance();
    KorvaneApp* reloaded = KorvaneApp::GetInstance();
    reloaded->SetFolders(bundle + "/bin");
    reloaded->InitSettings(false);
    QCOMPARE(reloaded->algorithm, 16);
    QCOMPARE(reloaded->verification, 1);
    QCOMPARE(reloaded->checkUpdate, false);
    QCOMPARE(reloaded->discardAfterFill, true);
    QCOMPARE(reloaded->logPath, logs);
}

void TestSettings::fileIsWellFormedPlist()
{
    app->supportLink = "https://example.org/a?b=1&c=<2>";
    app->InitSettings(false);
    QFile file(app->settingsPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString doctype;
    QStringList tags;
    QStringList keys;
    QString supportValue;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isDTD())
            doctype = xml.dtdName().toString();
        if (!xml.isStartElement())
            continue;
        tags << xml.name().toString();
        if (xml.name() == QLatin1String("key"))
            keys << xml.readElementText();
        else if (xml.name() == QLatin1String("string") && keys.last() == "SupportLink")
            supportValue = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(doctype, QStringLiteral("plist"));
    QCOMPARE(tags.mid(0, 2), (QStringList{"plist", "dict"}));
    // Keys and string values alternate, as property lists require.
    QCOMPARE(tags.size(), 2 + 2 * 8);
    for (int i = 2; i < tags.size(); i += 2)
        QCOMPARE(tags.mid(i, 2), (QStringList{"key", "string"}));
    QCOMPARE(keys.size(), 8);
    QCOMPARE(supportValue, app->supportLink);
}

void TestSettings::homeFallsBackToWhoami_data()
{
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QString>("expected");
    QTest::newRow("home set") << QByteArray("/home/alice") << "/home/alice";
    QTest::newRow("no home, root") << QByteArray() << "/root";
}

void TestSettings::homeFallsBackToWhoami()
{
    QFETCH(QByteArray, home);
    const QByteArray saved = qgetenv("HOME");
    FakeCommands fakes;
    fakes.Add("whoami", "root\n");
    if (home.isEmpty())
        qunsetenv("HOME");
    else
        qputenv("HOME", home);

    app->InitSettings(false);
    app->GetKVFInfo();

    qputenv("HOME", saved);
    QTEST(app->homePath, "expected");
    QCOMPARE(app->userName, home.isEmpty() ? QStringLiteral("root\n") : QString());
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
