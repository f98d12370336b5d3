#include "AboutWizard.h"

#include "FramelessBehaviour.h"
#include "SupportLinks.h"
#include "SystemVersion.h"
#include "WindowPlacement.h"
#include "ui_AboutWizard.h"

AboutWizard::AboutWizard(QWidget* parent) : QWidget(parent), ui(new Ui::AboutWizard)
{
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    CentreOnDesktop(this);

    const SystemVersionInfo system = ReadSystemVersion(HostPlatform());
    ui->m_version_value_lbl->setText(QStringLiteral(": ") + QStringLiteral("5.0.0.0"));
    ui->m_os_value_lbl->setText(QStringLiteral(": ") + system.productName);
    ui->m_os_version_value_lbl->setText(QStringLiteral(": ") + system.productVersion);
    ui->m_contact_link_lbl->setOpenExternalLinks(true);
    ui->m_contact_link_lbl->setText(QStringLiteral("<a href=\"") +
                                    SupportLinks::BundleInfoValue(QStringLiteral("SupportLink")).toHtmlEscaped() +
                                    QStringLiteral("\" style=\"color: white;\">Contact Us</a>"));
}

AboutWizard::~AboutWizard()
{
    delete ui;
}

void AboutWizard::on_m_eula_btn_clicked()
{
    SupportLinks::Open(SupportLinks::EulaPdf());
}

void AboutWizard::on_m_close_btn_clicked()
{
    close();
}
