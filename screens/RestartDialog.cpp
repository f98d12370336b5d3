#include "RestartDialog.h"

#include "DialogAnswers.h"
#include "FramelessBehaviour.h"
#include "WindowPlacement.h"
#include "ui_RestartDialog.h"

RestartDialog::RestartDialog(const QString& message, QWidget* parent) : QDialog(parent), ui(new Ui::RestartDialog)
{
    FramelessBehaviour* frameless = FramelessBehaviour::Install(this);
    ui->setupUi(this);
    // Escape is the safe answer; a restart is only ever chosen with its button.
    frameless->OnKey(Qt::Key_Escape, [this] { on_RL_Btn_clicked(); });
    ui->MessageString->setText(message);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    GrowToMessage(this, ui->MessageString);
    CentreOnDesktop(this);
}

RestartDialog::~RestartDialog()
{
    delete ui;
}

int RestartDialog::exec()
{
    int answer = 0;
    if (!DialogAnswers::Take(QStringLiteral("RestartDialog"), &answer))
        return QDialog::exec();
    ShownForTests().append(ui->MessageString->text());
    setResult(answer);
    return answer;
}

QStringList& RestartDialog::ShownForTests()
{
    static QStringList shown;
    return shown;
}

void RestartDialog::on_RS_Btn_clicked()
{
    done(1);
}

void RestartDialog::on_RL_Btn_clicked()
{
    done(0);
}
