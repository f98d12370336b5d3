#include "LicenseAgreement.h"

#include "AgreementFlag.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "WindowPlacement.h"
#include "ui_LicenseAgreement.h"

#include <QFile>
#include <QTextStream>

LicenseAgreement::LicenseAgreement(QWidget* parent) : QDialog(parent), ui(new Ui::LicenseAgreement)
{
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    CentreOnDesktop(this);

    QFile eula(KorvaneApp::GetInstance()->resourcePath + QStringLiteral("/Eula.txt"));
    if (eula.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&eula);
        in.setCodec("UTF-8");
        ui->AgreementTextEdit->setPlainText(in.readAll());
    }
}

bool LicenseAgreement::EnsureAccepted()
{
    if (AgreementFlag::IsAccepted())
        return true;
    LicenseAgreement agreement;
    return agreement.exec() == 1;
}

LicenseAgreement::~LicenseAgreement()
{
    delete ui;
}

void LicenseAgreement::on_Agree_Btn_clicked()
{
    AgreementFlag::Store(true);
    done(1);
}

void LicenseAgreement::on_Disagree_Btn_clicked()
{
    AgreementFlag::Store(false);
    done(0);
}
