// The stored settings (where they live, their defaults, their file) and the Settings dialog
// that edits them.
#include "AppUiFixture.h"
#include "DirectoryDialog.h"
#include "FakeCommands.h"
#include "Platform.h"
#include "Setting.h"

#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layoutForBundleOwner_data();
    void layoutForBundleOwner();
    void firstStartWritesDefaultsAndFolders();
    void storedValuesAreLoaded_data();
    void storedValuesAreLoaded();
    void savingWritesMembersBack();
    void homeFallsBackToWhoami_data();
    void homeFallsBackToWhoami();
    void dialogListsEveryAlgorithm();
    void bothButtonsSave_data();
    void bothButtonsSave();
    void browseFillsOnlyOnAnAnswer_data();
    void browseFillsOnlyOnAnAnswer();

private:
    // The dialog over the current settings, shown.
    Setting* OpenDialog();
    template <typename T> T* Child(const char* name) const { return dialog->findChild<T*>(name); }

    std::unique_ptr<AppUiFixture> fixture;
    KorvaneApp* app = nullptr;
    QString bundle;
    QPointer<Setting> dialog;
};

void TestSettings::init()
{
    fixture.reset(new AppUiFixture);
    app = fixture->app;
    bundle = fixture->bundle;
}

void TestSettings::cleanup()
{
    delete dialog;
    fixture.reset();
}

Setting* TestSettings::OpenDialog()
{
    app->InitSettings(false);
    dialog = new Setting;
    dialog->show();
    if (!QTest::qWaitForWindowExposed(dialog))
        qWarning("the settings dialog was not shown");
    return dialog;
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
    const QString home = fixture->root.path() + "/home";
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
    // The folders follow the executable's bundle (a user's own bundle keeps everything inside).
    QCOMPARE(app->bundlePath, bundle);
    QCOMPARE(app->taskPath, bundle + "/KVFTASK");
    QCOMPARE(app->infoFilePath, bundle + "/Resources/KVFInfo.txt");
    app->supportLink = "https://example.org/a?b=1&c=<2>";
    QVERIFY(app->InitSettings(false));
    QCOMPARE(app->settingsPath, bundle + "/Resources/kvf_setting.plist");
    for (const char* folder : {"/KVLOGFILE", "/KVFTASK", "/KVCERTIFICATE"})
        QVERIFY2(QFileInfo(bundle + folder).isDir(), folder);

    // A property list: a dict of keys, each followed by its value as a string (a value of
    // another type, or a key without a value, leaves the map short).
    QFile file(app->settingsPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString doctype;
    QStringList tags;
    QMap<QString, QString> stored;
    QString key;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isDTD())
            doctype = xml.dtdName().toString();
        if (!xml.isStartElement())
            continue;
        tags << xml.name().toString();
        if (xml.name() == QLatin1String("key"))
            key = xml.readElementText();
        else if (xml.name() == QLatin1String("string"))
            stored[key] = xml.readElementText();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(doctype, QStringLiteral("plist"));
    QCOMPARE(tags.mid(0, 2), (QStringList{"plist", "dict"}));
    const QMap<QString, QString> expected{{"KVF_Algorithm", "0"},
                                          {"KVF_Verification", "0"},
                                          {"KVF_LogPath", bundle},
                                          {"KVF_CertificatePath", bundle},
                                          {"KVF_CheckUpdate", "1"},
                                          {"KVF_UpdateSchedule", "1"},
                                          {"SupportLink", "https://example.org/a?b=1&c=<2>"},
                                          {"KVF_Discard", "0"}};
    QCOMPARE(stored, expected);
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
    {
        QSettings settings(bundle + "/Resources/kvf_setting.plist", PlistFormat());
        for (auto it = stored.cbegin(); it != stored.cend(); ++it)
            settings.setValue(it.key(), it.value());
    }
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
    const QString logs = fixture->root.path() + "/logs";
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

void TestSettings::dialogListsEveryAlgorithm()
{
    OpenDialog();
    auto* algorithms = Child<QComboBox>("m_Algo_comboBox");
    QCOMPARE(algorithms->count(), 17);
    QCOMPARE(algorithms->itemText(0), QString("Zeroes"));
    QCOMPARE(algorithms->itemText(10), QString("Peter Gutmann (35 passes)"));
    QCOMPARE(algorithms->itemText(16), QString("British HMG IS5 (3 passes)"));
    auto* verification = Child<QComboBox>("m_Verification_comboBox");
    QCOMPARE(verification->count(), 3);
    QCOMPARE(verification->itemText(2), QString("Total Verification"));
    // The dialog widens from its designed 455 x 233 until every algorithm name shows, within
    // the screen, and the Browse buttons move along.
    const QFontMetrics metrics(algorithms->font());
    for (int i = 0; i < algorithms->count(); ++i)
        QVERIFY2(algorithms->width() >= metrics.horizontalAdvance(algorithms->itemText(i)) + 30,
                 qPrintable(algorithms->itemText(i)));
    QCOMPARE(dialog->height(), 233);
    QVERIFY(dialog->width() >= 455 && dialog->width() <= QGuiApplication::primaryScreen()->availableGeometry().width());
    auto* browse = Child<QPushButton>("Log_Browse_Btn");
    QVERIFY(browse->geometry().right() < browse->parentWidget()->width());
    QVERIFY(Child<QTextEdit>("LogPath_textEdit")->geometry().right() < browse->x());
}

void TestSettings::bothButtonsSave_data()
{
    // The dialog opens on the current values; either button saves what it shows.
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("verification");
    QTest::newRow("OK") << "ok_btn" << 16 << 1;
    QTest::newRow("close button") << "pushButton_close" << 0 << 0;
}

void TestSettings::bothButtonsSave()
{
    QFETCH(QString, button);
    QFETCH(int, algorithm);
    QFETCH(int, verification);
    app->InitSettings(false);
    app->algorithm = algorithm;
    app->verification = verification;
    app->certificatePath = fixture->root.path() + "/certificates";
    dialog = new Setting;
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
    QCOMPARE(Child<QComboBox>("m_Algo_comboBox")->currentIndex(), algorithm);
    QCOMPARE(Child<QComboBox>("m_Verification_comboBox")->currentIndex(), verification);
    QCOMPARE(Child<QTextEdit>("LogPath_textEdit")->toPlainText(), bundle);
    QCOMPARE(Child<QTextEdit>("CertificatePath_textEdit")->toPlainText(), fixture->root.path() + "/certificates");

    const QString logs = fixture->root.path() + "/chosen logs";
    Child<QComboBox>("m_Algo_comboBox")->setCurrentIndex(4);
    Child<QComboBox>("m_Verification_comboBox")->setCurrentIndex(2);
    QueueDirectoryForTests(logs);
    QTest::mouseClick(Child<QPushButton>("Log_Browse_Btn"), Qt::LeftButton);
    QDir().mkpath(logs);
    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QTRY_VERIFY(!dialog); // closing ends the window's use
    QCOMPARE(app->algorithm, 4);
    QCOMPARE(app->verification, 2);
    QCOMPARE(app->logPath, logs);
    QCOMPARE(app->certificatePath, fixture->root.path() + "/certificates");

    QSettings saved(bundle + "/Resources/kvf_setting.plist", PlistFormat());
    QCOMPARE(saved.value("KVF_Algorithm").toString(), QString("4"));
    QCOMPARE(saved.value("KVF_Verification").toString(), QString("2"));
    QCOMPARE(saved.value("KVF_LogPath").toString(), logs);
    QVERIFY(QFileInfo(logs + "/KVLOGFILE").isDir());
}

void TestSettings::browseFillsOnlyOnAnAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::newRow("log") << "Log_Browse_Btn" << QString("LogPath_textEdit");
    QTest::newRow("certificate") << "Certificate_Browse_Btn" << QString("CertificatePath_textEdit");
}

void TestSettings::browseFillsOnlyOnAnAnswer()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    OpenDialog();
    auto* browse = dialog->findChild<QPushButton*>(button);
    auto* text = dialog->findChild<QTextEdit*>(box);
    const QString before = text->toPlainText();
    QTest::keyClicks(text, "typed");   // the path is chosen, never typed
    QueueDirectoryForTests(QString()); // the user cancels
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(text->toPlainText(), before);
    QueueDirectoryForTests("/srv/picked");
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(text->toPlainText(), QString("/srv/picked"));
    QVERIFY(browse->isEnabled());
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
