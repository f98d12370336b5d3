#include "WipingWizard.h"

#include "CertificatePainter.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "MainWipeThread.h"
#include "MessageBox.h"
#include "RestartDialog.h"
#include "ShellRunner.h"
#include "WindowPlacement.h"
#include "ui_WipingWizard.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QPointer>

namespace {
std::function<void(MainWipeThread*)>& WorkerSetup()
{
    static std::function<void(MainWipeThread*)> setup;
    return setup;
}
} // namespace

WipingWizard::WipingWizard(QWidget* parent) : QWidget(parent), ui(new Ui::WipingWizard)
{
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    CentreOnDesktop(this, 200);

    KorvaneApp* app = KorvaneApp::GetInstance();
    app->certificateList.clear();
    for (const APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
        switch (job->wipeType) {
        case APPWIPINGINFO::File:
        case APPWIPINGINFO::UnusedSpace:
            totalBytes += job->itemSize;
            if (app->searchMode)
                ++selectedFileCount;
            break;
        case APPWIPINGINFO::Folder:
            totalBytes += GetDirectorySize(job->itemPath);
            break;
        default:
            break;
        }
    }

    worker = new MainWipeThread(this);
    connect(worker, &MainWipeThread::WipingStart, this, &WipingWizard::StartWipingProcess);
    connect(worker, &MainWipeThread::WipingStatus, this, &WipingWizard::UpdateWipingStatus);
    connect(worker, &MainWipeThread::WipingComplete, this, &WipingWizard::CompleteWipingProcess);
    if (WorkerSetup())
        WorkerSetup()(worker);
    worker->start(QThread::HighestPriority);
}

WipingWizard::~WipingWizard()
{
    delete stopBox;
    disconnect(worker, nullptr, this, nullptr);
    // A window closed with its screen while the run goes on must not destroy a running
    // thread: the worker ends at its next chunk boundary first.
    if (worker->isRunning()) {
        worker->RequestStop();
        worker->wait();
        KorvaneApp::GetInstance()->erasureRunning = false;
    }
    delete worker;
    delete ui;
}

void WipingWizard::SetWorkerSetupForTests(std::function<void(MainWipeThread*)> setup)
{
    WorkerSetup() = std::move(setup);
}

qint64 WipingWizard::GetDirectorySize(const QString& folder)
{
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

QString WipingWizard::ShortenPath(const QString& path)
{
    if (path.size() <= 64)
        return path;
    QString tail = path.mid(path.lastIndexOf(QLatin1Char('/')));
    if (tail.size() > 30)
        tail = tail.right(8);
    QString head = path.left(65 - tail.size());
    head = head.left(head.lastIndexOf(QLatin1Char('/')) + 1);
    return head + QStringLiteral("...") + tail;
}

void WipingWizard::StartWipingProcess(QString path)
{
    ui->WipingLabel->setText(path);
}

void WipingWizard::UpdateWipingStatus(long long processedBytes, QString path)
{
    const qint64 percent = totalBytes > 0 ? processedBytes * 100 / totalBytes : 0;
    ui->ErasingLabel->setText(QStringLiteral("Erasing In Progress [ ") + QString::number(percent) +
                              QStringLiteral(" %]"));
    ui->progressBar->setValue(static_cast<int>(qBound<qint64>(0, percent, 100)));
    ui->WipingLabel->setText(QStringLiteral("Path: ") + ShortenPath(path));
    ui->progressBar->repaint();
}

void WipingWizard::on_StopButton_clicked()
{
    if (stopBox && stopBox->isVisible())
        return;     // one question at a time
    delete stopBox; // an earlier question answered No
    stopBox = new MessageBox(QStringLiteral("Stop Process"), QStringLiteral("Do you want to stop the current process?"),
                             MessageBox::Information, MessageBox::YesNo, this);
    const QPointer<MessageBox> box = stopBox;
    const int answer = box->exec();
    // The run may have completed while the question was open; the box is then gone.
    if (box && answer == MessageBox::Yes && worker->isRunning())
        worker->RequestStop();
}

void WipingWizard::CompleteWipingProcess()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->searchMode)
        OnGenerateCertificate();
    worker->wait(); // the run is over; let the thread return before anything else

    if (stopBox && stopBox->isVisible()) {
        // A stop question still open runs its own event loop: end it and let it go later.
        stopBox->done(MessageBox::No);
        stopBox->deleteLater();
        stopBox = nullptr;
    }
    delete stopBox;
    stopBox = nullptr;
    app->erasureRunning = false;

    hide();
    restartDialog = new RestartDialog(
        QStringLiteral("Erasure completed !\nRestart system to allow changes to take effect."), nullptr);
    if (restartDialog->exec() == 1)
        SystemCmd(QStringLiteral("shutdown -r now"));
    delete restartDialog;
    restartDialog = nullptr;
    close();
}

void WipingWizard::OnGenerateCertificate()
{
    const KorvaneApp* app = KorvaneApp::GetInstance();
    CertificateInput input;
    input.certificatePath = app->certificatePath;
    input.algorithm = app->algorithm;
    input.records = app->certificateList;
    input.selectedFileCount = selectedFileCount;
    input.algorithmName = [](int i) { return MainWipeThread::GetAlgorithmName(i); };
    QDir().mkpath(app->certificatePath + QStringLiteral("/KVCERTIFICATE"));
    GenerateCertificate(input);
}
