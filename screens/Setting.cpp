#include "Setting.h"

#include "AlgorithmTable.h"
#include "DirectoryDialog.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "WindowPlacement.h"
#include "ui_Setting.h"

QStringList Setting::AlgorithmTexts()
{
    QStringList texts;
    for (int i = 0; i < kAlgorithmCount; ++i)
        texts << AlgorithmMenuName(i);
    return texts;
}

QStringList Setting::VerificationTexts()
{
    QStringList texts;
    for (int i = 0; i < kVerificationCount; ++i)
        texts << VerificationMenuName(i);
    return texts;
}

Setting::Setting(QWidget* parent) : QWidget(parent), ui(new Ui::Setting)
{
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    CentreOnDesktop(this, 200);

    ui->m_Algo_comboBox->addItems(AlgorithmTexts());
    ui->m_Verification_comboBox->addItems(VerificationTexts());

    const KorvaneApp* app = KorvaneApp::GetInstance();
    ui->LogPath_textEdit->setPlainText(app->logPath);
    ui->CertificatePath_textEdit->setPlainText(app->certificatePath);
    ui->m_Algo_comboBox->setCurrentIndex(app->algorithm);
    ui->m_Verification_comboBox->setCurrentIndex(app->verification);
}

Setting::~Setting()
{
    delete ui;
}

void Setting::Save()
{
    close();
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->algorithm = ui->m_Algo_comboBox->currentIndex();
    app->verification = ui->m_Verification_comboBox->currentIndex();
    app->logPath = ui->LogPath_textEdit->toPlainText();
    app->certificatePath = ui->CertificatePath_textEdit->toPlainText();
    app->InitSettings(true);
}

void Setting::on_ok_btn_clicked()
{
    Save();
}

void Setting::on_pushButton_close_clicked()
{
    Save();
}

void Setting::Browse(QWidget* button, QTextEdit* target)
{
    button->setEnabled(false);
    const QString folder = GetExistingDirectory(this, tr("Open Directory"), QStringLiteral("/home"),
                                                QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!folder.isEmpty())
        target->setPlainText(folder);
    button->setEnabled(true);
}

void Setting::on_Log_Browse_Btn_clicked()
{
    Browse(ui->Log_Browse_Btn, ui->LogPath_textEdit);
}

void Setting::on_Certificate_Browse_Btn_clicked()
{
    Browse(ui->Certificate_Browse_Btn, ui->CertificatePath_textEdit);
}
