#include "Setting.h"

#include "DirectoryDialog.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "WindowPlacement.h"
#include "ui_Setting.h"

QStringList Setting::AlgorithmTexts()
{
    return {QStringLiteral("Zeroes"),
            QStringLiteral("Pseudo-random"),
            QStringLiteral("Pseudo-random & Zeroes (2 passes)"),
            QStringLiteral("Random Random Zero (6 passes)"),
            QStringLiteral("US Department of Defense, DoD 5220.22-M (3 passes)"),
            QStringLiteral("US Department of Defense, DoD 5200.22-M (ECE)(7 passes)"),
            QStringLiteral("US Department of Defense, DoD 5200.28-STD (7 passes)"),
            QStringLiteral("Russian Standard - GOST-R-50739-95 (2 passes)"),
            QStringLiteral("B.Schneier's algorithm (7 passes)"),
            QStringLiteral("German Standard, VSITR (7 passes)"),
            QStringLiteral("Peter Gutmann (35 passes)"),
            QStringLiteral("US Army AR 380-19 (3 passes)"),
            QStringLiteral("North Atlantic Treaty Organization-NATO Standard (7 passes)"),
            QStringLiteral("US Air Force, AFSSI 5020 (3 passes)"),
            QStringLiteral("Pfitzner algorithm (33 passes)"),
            QStringLiteral("Canadian RCMP TSSIT OPS-II (4 passes)"),
            QStringLiteral("British HMG IS5 (3 passes)")};
}

QStringList Setting::VerificationTexts()
{
    return {QStringLiteral("No Verification"), QStringLiteral("Random Verification"),
            QStringLiteral("Total Verification")};
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
