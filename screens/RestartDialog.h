// The question at the end of an erasure: restart the computer now (result 1) or later (0).
#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class RestartDialog;
}

class RestartDialog : public QDialog
{
    Q_OBJECT

public:
    RestartDialog(const QString& message, QWidget* parent);
    ~RestartDialog() override;

    // Runs the dialog modally; a queued test answer (DialogAnswers, "RestartDialog") is
    // returned at once instead, after the message was recorded in ShownForTests().
    int exec() override;
    static QStringList& ShownForTests();

private slots:
    void on_RS_Btn_clicked();
    void on_RL_Btn_clicked();

private:
    Ui::RestartDialog* ui;
};
