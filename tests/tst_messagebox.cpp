#include "FramelessBehaviour.h"
#include "MessageBox.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class TestMessageBox : public QObject
{
    Q_OBJECT

private slots:
    void layoutsPlaceButtonsFromTheRight_data();
    void layoutsPlaceButtonsFromTheRight();
    void iconFollowsTheIconValue_data();
    void iconFollowsTheIconValue();
    void keysAnswer_data();
    void keysAnswer();
    void longPathsShowWhole();
    void dragMovesOnlyFromTheDragArea_data();
    void dragMovesOnlyFromTheDragArea();

private:
    static QStringList SlotTexts(MessageBox& box);
    static void SendMouse(QWidget* window, QEvent::Type type, const QPointF& local, Qt::MouseButtons buttons);
};

QStringList TestMessageBox::SlotTexts(MessageBox& box)
{
    QStringList texts;
    for (const char* slot : {"Widget_3_Btn", "Widget_2_Btn", "Widget_1_Btn"}) {
        auto* holder = box.findChild<QWidget*>(QLatin1String(slot));
        const auto buttons = holder->findChildren<QPushButton*>();
        texts << (buttons.isEmpty() ? QString() : buttons.first()->text());
    }
    return texts;
}

void TestMessageBox::layoutsPlaceButtonsFromTheRight_data()
{
    QTest::addColumn<int>("role");
    QTest::addColumn<QStringList>("expected"); // Widget_3_Btn, Widget_2_Btn, Widget_1_Btn
    QTest::newRow("0 OK") << 0 << QStringList{"", "", "OK"};
    QTest::newRow("1 reads as OK") << 1 << QStringList{"", "", "OK"};
    QTest::newRow("2 OK Cancel") << 2 << QStringList{"", "OK", "Cancel"};
    QTest::newRow("5 Yes No") << 5 << QStringList{"", "Yes", "No"};
    QTest::newRow("6 Yes No Cancel") << 6 << QStringList{"Yes", "No", "Cancel"};
    QTest::newRow("42 reads as OK") << 42 << QStringList{"", "", "OK"};
}

void TestMessageBox::layoutsPlaceButtonsFromTheRight()
{
    QFETCH(int, role);
    QFETCH(QStringList, expected);
    MessageBox box("Title", "Message", MessageBox::Information, static_cast<MessageBox::ButtonRole>(role));
    QCOMPARE(SlotTexts(box), expected);
    QCOMPARE(box.findChild<QLabel*>("TitleLabel")->text(), QString("Title"));
    QCOMPARE(box.findChild<QLabel*>("MessageString")->text(), QString("Message"));
}

void TestMessageBox::iconFollowsTheIconValue_data()
{
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("picture");
    QTest::newRow("information") << 0 << ":/images/images/Message/img_Information.png";
    QTest::newRow("warning") << 1 << ":/images/images/Message/img_Warning.png";
    QTest::newRow("other") << 7 << ":/images/images/Message/img_Information.png";
}

void TestMessageBox::iconFollowsTheIconValue()
{
    QFETCH(int, icon);
    QFETCH(QString, picture);
    MessageBox box("T", "M", static_cast<MessageBox::MessageIcon>(icon), MessageBox::OkOnly);
    const QPixmap shown = box.findChild<QLabel*>("IconLabel")->pixmap(Qt::ReturnByValue);
    // Compared as pixmaps: the premultiplied round trip rounds differently on different CPUs.
    const QPixmap expected(picture);
    QVERIFY(!expected.isNull()); // the picture is compiled in
    QCOMPARE(shown.toImage(), expected.toImage());
}

void TestMessageBox::keysAnswer_data()
{
    // A button closes with its own result; Return answers with the first button, Escape with
    // the dismissing one; other keys do nothing (-1: the box stays open).
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("button"); // clicked, or empty for the key
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    const int ok = MessageBox::OkOnly, okCancel = MessageBox::OkCancel, yesNo = MessageBox::YesNo,
              three = MessageBox::YesNoCancel;
    QTest::newRow("OK") << ok << "OK" << 0 << 0;
    QTest::newRow("Cancel of OK/Cancel") << okCancel << "Cancel" << 0 << 1;
    QTest::newRow("Yes") << yesNo << "Yes" << 0 << 3;
    QTest::newRow("No") << yesNo << "No" << 0 << 4;
    QTest::newRow("Cancel of three") << three << "Cancel" << 0 << 1;
    QTest::newRow("OK: Return") << ok << QString() << int(Qt::Key_Return) << int(MessageBox::Ok);
    QTest::newRow("OK: Escape") << ok << QString() << int(Qt::Key_Escape) << int(MessageBox::Ok);
    QTest::newRow("OK/Cancel: Escape") << okCancel << QString() << int(Qt::Key_Escape) << int(MessageBox::Cancel);
    QTest::newRow("Yes/No: Enter") << yesNo << QString() << int(Qt::Key_Enter) << int(MessageBox::Yes);
    QTest::newRow("Yes/No: Escape") << yesNo << QString() << int(Qt::Key_Escape) << int(MessageBox::No);
    QTest::newRow("Yes/No/Cancel: Escape") << three << QString() << int(Qt::Key_Escape) << int(MessageBox::Cancel);
    QTest::newRow("Yes/No: Space") << yesNo << QString() << int(Qt::Key_Space) << -1;
}

void TestMessageBox::keysAnswer()
{
    QFETCH(int, buttons);
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(int, result);
    MessageBox box("Stop Process", "Do you want to stop the current process?", MessageBox::Information,
                   static_cast<MessageBox::ButtonRole>(buttons));
    int finished = -1;
    connect(&box, &QDialog::finished, [&finished](int code) { finished = code; });
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QPushButton* target = nullptr;
    for (QPushButton* candidate : box.findChildren<QPushButton*>())
        if (candidate->text() == button)
            target = candidate;
    if (button.isEmpty())
        QTest::keyClick(&box, static_cast<Qt::Key>(key));
    else
        QTest::mouseClick(target, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(finished, result);
    QCOMPARE(box.isVisible(), result < 0);
}

void TestMessageBox::longPathsShowWhole()
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

void TestMessageBox::SendMouse(QWidget* window, QEvent::Type type, const QPointF& local, Qt::MouseButtons buttons)
{
    const QPointF global = local + window->frameGeometry().topLeft();
    QMouseEvent event(type, local, local, global, type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(window, &event);
}

void TestMessageBox::dragMovesOnlyFromTheDragArea_data()
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

void TestMessageBox::dragMovesOnlyFromTheDragArea()
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

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
