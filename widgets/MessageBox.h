// The one modal message box of the application: a title strip, an icon, a message and one
// of four button sets. exec() returns the result of the button that closed it.
#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class MessageBox;
}
class QPushButton;

class MessageBox : public QDialog
{
    Q_OBJECT

public:
    enum MessageIcon
    {
        Information = 0,
        Warning = 1
    };
    enum ButtonRole
    {
        OkOnly = 0,
        OkCancel = 2,
        YesNo = 5,
        YesNoCancel = 6
    };
    enum Result
    {
        Ok = 0,
        Cancel = 1,
        Yes = 3,
        No = 4
    };

    MessageBox(const QString& title, const QString& message, MessageIcon icon, ButtonRole buttons,
               QWidget* parent = nullptr);
    ~MessageBox() override;

    // Runs the box modally. A queued test answer (or KORVANE_MESSAGEBOX_ANSWER in a test
    // process) is returned at once instead, and the box is recorded in ShownForTests().
    int exec() override;

    // Test hooks: queue the answers of the next boxes, and read "title|message" of each box
    // answered that way.
    static void QueueAnswerForTests(int answer);
    static QStringList& ShownForTests();

public slots:
    void OnBTnClickedOk();
    void OnBTnClickedCancel();
    void OnBTnClickedYes();
    void OnBTnClickedNo();

private:
    QPushButton* AddButton(QWidget* slot, const QString& text);

    Ui::MessageBox* ui;
    QPushButton* m_okButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPushButton* m_yesButton = nullptr;
    QPushButton* m_noButton = nullptr;
};
