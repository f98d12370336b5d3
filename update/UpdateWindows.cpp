#include "UpdateWindows.h"

#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "MessageBox.h"
#include "Platform.h"
#include "UpdateNetwork.h"
#include "WindowPlacement.h"
#include "ui_CheckUpdate.h"
#include "ui_DownloadUpdate.h"
#include "ui_ShowUpdateAvail.h"
#include "ui_UpdateWizard.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QProcess>

namespace {

// The offer and the download window are dragged by their top strip and share one flag.
bool dragged = false;

void InstallStripDragging(QWidget* window)
{
    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window->setWindowTitle(QStringLiteral("Korvane File Eraser"));
    FramelessBehaviour::Install(window, FramelessBehaviour::DragArea, QRect(0, 0, 920, 30), &dragged);
}

// Centred horizontally, its top at (desktop height - window height) / 2 - 50.
void PlaceUpdateWindow(QWidget* window)
{
    const QRect desktop = DesktopGeometry();
    window->move(desktop.x() + (desktop.width() - window->width()) / 2,
                 desktop.y() + (desktop.height() - window->height()) / 2 - 50);
    FitToScreen(window);
}

QString CurrentUpdateLink()
{
    return Update::UpdateLink(KorvaneApp::GetInstance()->bundlePath);
}

// The folder the update replaces: on macOS the .app folder that holds Contents/.
QString InstalledBundle()
{
    const QString bundle = KorvaneApp::GetInstance()->bundlePath;
    if (HostPlatform() == PlatformKind::MacOS)
        return QDir::cleanPath(bundle + QStringLiteral("/.."));
    return bundle;
}

} // namespace

QCheckUpdate::QCheckUpdate(QWidget* parent) : QDialog(parent), ui(new Ui::CheckUpdate)
{
    ui->setupUi(this);
    setModal(true);
    QPalette shade = palette();
    shade.setColor(QPalette::Window, QColor(95, 95, 108));
    setPalette(shade);
    m_check = new UpdateCheck(CurrentUpdateLink(), this);
    connect(m_check, &UpdateCheck::NoUpdates, this, [this] {
        Finish();
        emit NoUpdates();
    });
    connect(m_check, &UpdateCheck::Failed, this, [this](const QString& reason) {
        Finish();
        emit Failed(reason);
    });
    connect(m_check, &UpdateCheck::UpdateAvailable, this, &QCheckUpdate::OnUpdateAvailable);
    ConnectingServer();
}

void QCheckUpdate::setVisible(bool visible)
{
    QDialog::setVisible(visible && !m_finished);
}

void QCheckUpdate::Finish()
{
    m_finished = true;
    hide();
}

QCheckUpdate::~QCheckUpdate()
{
    delete ui;
}

void QCheckUpdate::ConnectingServer()
{
    hide();
    m_check->ConnectingServer();
}

void QCheckUpdate::OnUpdateAvailable(Update::Kind, const QString&)
{
    Finish();
    m_offer = new QMinorUpdate(this);
    m_offer->show();
}

QMinorUpdate::QMinorUpdate(QWidget* parent) : QDialog(parent), ui(new Ui::ShowUpdateAvail)
{
    ui->setupUi(this);
    connect(ui->UpdateButton, &QPushButton::clicked, this, &QMinorUpdate::DownloadApp);
    connect(ui->CancelButton, &QPushButton::clicked, this, &QMinorUpdate::CancelDownload);
    ShowNewVersionDetails();
    // A system-wide installation is said to be out of reach before anything is downloaded.
    if (!Update::CanReplaceInstallation(InstalledBundle(), &m_obstacle)) {
        ui->textEdit->append(m_obstacle);
        ui->UpdateButton->setEnabled(false);
        ui->UpdateButton->hide(); // its picture looks the same disabled
    }
    InstallStripDragging(this);
    PlaceUpdateWindow(this);
}

QMinorUpdate::~QMinorUpdate()
{
    delete ui;
}

QString QMinorUpdate::GetVersion()
{
    QFile file;
    if (!Update::OpenPrivateFileForReading(file, VersionTxtPath))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

void QMinorUpdate::ShowNewVersionDetails()
{
    ui->textEdit->append(QStringLiteral("New version details: \n") + QStringLiteral("Update: Korvane File Eraser ") +
                         GetVersion() + QStringLiteral("\n"));
}

void QMinorUpdate::DownloadApp()
{
    m_download = new QDownloadApp(this);
    hide();
    m_download->show();
}

void QMinorUpdate::CancelDownload()
{
    if (!VersionTxtPath.isEmpty() && QFile::exists(VersionTxtPath))
        QFile::remove(VersionTxtPath);
    hide();
}

UpdateWizard::UpdateWizard(QWidget* parent) : QWidget(parent), ui(new Ui::UpdateWizard)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    FramelessBehaviour::Install(this);
    const QRect desktop = DesktopGeometry();
    move(desktop.x() + (desktop.width() - width()) / 2, desktop.y() + (desktop.height() - 300 - height()) / 2);
    FitToScreen(this);

    ui->UpdateSch_Combo->addItems({QStringLiteral("Daily"), QStringLiteral("Weekly"), QStringLiteral("Monthly")});
    KorvaneApp* app = KorvaneApp::GetInstance();
    ui->UpdateSch_Combo->setCurrentIndex(app->updateSchedule);
    ui->checkBox->setChecked(app->checkUpdate);
}

UpdateWizard::~UpdateWizard()
{
    delete ui;
}

void UpdateWizard::on_update_Btn_clicked()
{
    close();
    m_checker = new QCheckUpdate(this);
    connect(m_checker, &QCheckUpdate::NoUpdates, this, &UpdateWizard::Noupdate);
    connect(m_checker, &QCheckUpdate::Failed, this, &UpdateWizard::CheckFailed);
    m_checker->show();
}

void UpdateWizard::CheckFailed(const QString& reason)
{
    MessageBox box(QStringLiteral("Update"), reason, MessageBox::Warning, MessageBox::OkOnly,
                   KorvaneApp::GetInstance()->centralArea);
    box.exec();
}

void UpdateWizard::Noupdate()
{
    MessageBox box(QStringLiteral("Update"), QStringLiteral("Your Application has all latest updates"),
                   MessageBox::Information, MessageBox::OkOnly, KorvaneApp::GetInstance()->centralArea);
    box.exec();
}

void UpdateWizard::on_Close_Btn_clicked()
{
    close();
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->checkUpdate = ui->checkBox->isChecked();
    app->updateSchedule = ui->UpdateSch_Combo->currentIndex();
    app->InitSettings(true);
}

QDownloadApp::QDownloadApp(QWidget* parent) : QDialog(parent), ui(new Ui::DownloadUpdate)
{
    ui->setupUi(this);
    ui->OkButton->hide();
    ui->RestartLabel->hide();
    connect(ui->OkButton, &QPushButton::clicked, this, &QDownloadApp::OnOk);
    ui->ExeDownLoadProgressBar->setStyleSheet(
        QStringLiteral("QProgressBar:horizontal{border: 1px solid gray; border-radius: 3px; "
                       "background-color:#242437;padding: 0px;}QProgressBar::chunk:horizontal{background-color: "
                       "rgb(1,169,26);margin-right: 0px;width: 1px}"));
    downloadExe();
    InstallStripDragging(this);
    PlaceUpdateWindow(this);
}

QDownloadApp::~QDownloadApp()
{
    delete ui;
}

void QDownloadApp::downloadExe()
{
    m_download = new UpdateDownload(CurrentUpdateLink(), InstalledBundle(), this);
    connect(m_download, &UpdateDownload::Progress, this, &QDownloadApp::OnDownloadProgress);
    connect(m_download, &UpdateDownload::Failed, this, &QDownloadApp::OnFailed);
    connect(m_download, &UpdateDownload::InstallFailed, this, &QDownloadApp::OnFailed);
    connect(m_download, &UpdateDownload::Installed, this, &QDownloadApp::OnInstalled);
    m_download->downloadExe();
    ui->InfoLabel->setText(QStringLiteral("Please wait as this process will take several ") +
                           QStringLiteral("seconds to few minutes "));
}

void QDownloadApp::OnDownloadProgress(qint64 received, qint64 total, const QString& elapsedText,
                                      const QString& rateText)
{
    ui->ExeDownLoadProgressBar->reset();
    ui->ExeDownLoadProgressBar->setMaximum(static_cast<int>(total));
    ui->ExeDownLoadProgressBar->setValue(static_cast<int>(received));
    ui->TimeElapsedLabel->setText(elapsedText);
    if (!rateText.isEmpty())
        ui->TransferRateLabel->setText(rateText);
}

void QDownloadApp::OnFailed(const QString& reason)
{
    const QString blank(1, QLatin1Char(' '));
    ui->DownLoadLabel->setText(blank);
    ui->TimeElapsedLabel->setText(blank);
    ui->TransferRateLabel->setText(blank);
    ui->ExeDownLoadProgressBar->hide();
    ui->DownLoadProgressLabel->setText(QStringLiteral("Update not installed"));
    // Say what happened and let the window be closed: nothing was changed.
    ui->InfoLabel->setText(reason);
    m_failed = true;
    ui->OkButton->show();
}

void QDownloadApp::OnInstalled()
{
    const QString blanks(6, QLatin1Char(' '));
    ui->InfoLabel->setText(blanks);
    ui->DownLoadLabel->setText(blanks);
    for (QWidget* w :
         std::initializer_list<QWidget*>{ui->InfoLabel, ui->DownLoadLabel, ui->TimeElapsedLabel, ui->TransferRateLabel,
                                         ui->ExeDownLoadProgressBar, ui->DownLoadProgressLabel})
        w->hide();
    ui->OkButton->show();
    ui->RestartLabel->show();
}

void QDownloadApp::OnOk()
{
    if (m_failed) {
        close();
        return;
    }
    const qint64 pid = QCoreApplication::applicationPid();
    if (pid == 0) {
        QCoreApplication::quit();
        return;
    }
    QProcess::execute(QStringLiteral("kill"), {QStringLiteral("-9"), QString::number(pid)});
}

void QDownloadApp::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QDialog::changeEvent(event);
}
