#include "AppUiFixture.h"
#include "DirectoryDialog.h"
#include "Setting.h"

#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>
#include <QtTest>

#include <memory>

class TestSettingDialog : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void comboBoxesHoldTheNamedEntries();
    void showsTheCurrentValues_data();
    void showsTheCurrentValues();
    void bothButtonsSave_data();
    void bothButtonsSave();
    void browseFillsOnlyOnAnAnswer_data();
    void browseFillsOnlyOnAnAnswer();
    void pathBoxesCannotBeTypedInto();

private:
    template <typename T> T* Child(const char* name) const { return dialog->findChild<T*>(name); }
    std::unique_ptr<AppUiFixture> fixture;
    QPointer<Setting> dialog;
};

void TestSettingDialog::init()
{
    fixture.reset(new AppUiFixture);
    fixture->app->InitSettings(false);
    dialog = new Setting;
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog));
}

void TestSettingDialog::cleanup()
{
    delete dialog;
    fixture.reset();
}

void TestSettingDialog::comboBoxesHoldTheNamedEntries()
{
    auto* algorithms = Child<QComboBox>("m_Algo_comboBox");
    QCOMPARE(algorithms->count(), 17);
    QCOMPARE(algorithms->itemText(0), QString("Zeroes"));
    QCOMPARE(algorithms->itemText(5), QString("US Department of Defense, DoD 5200.22-M (ECE)(7 passes)"));
    QCOMPARE(algorithms->itemText(8), QString("B.Schneier's algorithm (7 passes)"));
    QCOMPARE(algorithms->itemText(10), QString("Peter Gutmann (35 passes)"));
    QCOMPARE(algorithms->itemText(12), QString("North Atlantic Treaty Organization-NATO Standard (7 passes)"));
    QCOMPARE(algorithms->itemText(16), QString("British HMG IS5 (3 passes)"));
    auto* verification = Child<QComboBox>("m_Verification_comboBox");
    QCOMPARE(verification->count(), 3);
    QCOMPARE(verification->itemText(0), QString("No Verification"));
    QCOMPARE(verification->itemText(1), QString("Random Verification"));
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
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog->isWindow());
}

void TestSettingDialog::showsTheCurrentValues_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("verification");
    QTest::newRow("first entries") << 0 << 0;
    QTest::newRow("Gutmann, total") << 10 << 2;
    QTest::newRow("last entries") << 16 << 1;
}

void TestSettingDialog::showsTheCurrentValues()
{
    QFETCH(int, algorithm);
    QFETCH(int, verification);
    delete dialog;
    fixture->app->algorithm = algorithm;
    fixture->app->verification = verification;
    fixture->app->logPath = fixture->root.path() + "/logs here";
    fixture->app->certificatePath = fixture->root.path() + "/certificates";
    dialog = new Setting;
    QCOMPARE(Child<QComboBox>("m_Algo_comboBox")->currentIndex(), algorithm);
    QCOMPARE(Child<QComboBox>("m_Verification_comboBox")->currentIndex(), verification);
    QCOMPARE(Child<QTextEdit>("LogPath_textEdit")->toPlainText(), fixture->root.path() + "/logs here");
    QCOMPARE(Child<QTextEdit>("CertificatePath_textEdit")->toPlainText(), fixture->root.path() + "/certificates");
}

void TestSettingDialog::bothButtonsSave_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("OK") << "ok_btn";
    QTest::newRow("close button") << "pushButton_close";
}

void TestSettingDialog::bothButtonsSave()
{
    QFETCH(QString, button);
    const QString logs = fixture->root.path() + "/chosen logs";
    Child<QComboBox>("m_Algo_comboBox")->setCurrentIndex(4);
    Child<QComboBox>("m_Verification_comboBox")->setCurrentIndex(2);
    QueueDirectoryForTests(logs);
    QTest::mouseClick(Child<QPushButton>("Log_Browse_Btn"), Qt::LeftButton);
    QDir().mkpath(logs);

    QTest::mouseClick(dialog->findChild<QPushButton*>(button), Qt::LeftButton);
    QVERIFY(!dialog->isVisible());
    QTRY_VERIFY(!dialog); // closing ends the window's use
    KorvaneApp* app = fixture->app;
    QCOMPARE(app->algorithm, 4);
    QCOMPARE(app->verification, 2);
    QCOMPARE(app->logPath, logs);
    QCOMPARE(app->certificatePath, fixture->bundle);

    QSettings saved(fixture->bundle + "/Resources/kvf_setting.plist", PlistFormat());
    QCOMPARE(saved.value("KVF_Algorithm").toString(), QString("4"));
    QCOMPARE(saved.value("KVF_Verification").toString(), QString("2"));
    QCOMPARE(saved.value("KVF_LogPath").toString(), logs);
    QVERIFY(QFileInfo(logs + "/KVLOGFILE").isDir());
}

void TestSettingDialog::browseFillsOnlyOnAnAnswer_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("box");
    QTest::newRow("log") << "Log_Browse_Btn" << QString("LogPath_textEdit");
    QTest::newRow("certificate") << "Certificate_Browse_Btn" << QString("CertificatePath_textEdit");
}

void TestSettingDialog::browseFillsOnlyOnAnAnswer()
{
    QFETCH(QString, button);
    QFETCH(QString, box);
    auto* browse = dialog->findChild<QPushButton*>(button);
    auto* text = dialog->findChild<QTextEdit*>(box);
    const QString before = text->toPlainText();
    QueueDirectoryForTests(QString()); // the user cancels
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(text->toPlainText(), before);
    QueueDirectoryForTests("/srv/picked");
    QTest::mouseClick(browse, Qt::LeftButton);
    QCOMPARE(text->toPlainText(), QString("/srv/picked"));
    QVERIFY(browse->isEnabled());
}

void TestSettingDialog::pathBoxesCannotBeTypedInto()
{
    auto* text = Child<QTextEdit>("LogPath_textEdit");
    const QString before = text->toPlainText();
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->lineWrapMode(), QTextEdit::NoWrap);
    QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QTest::keyClicks(text, "typed");
    QCOMPARE(text->toPlainText(), before);
}

QTEST_MAIN(TestSettingDialog)
#include "tst_settingdialog.moc"
