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
#include <QLocale>
#include <QPointer>
#include <QTimer>

#include <algorithm>

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
    // A dialog-type window is kept above the window it belongs to (its transient parent);
    // without a window manager the main window's activation raises it again (eventFilter).
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    CentreOnDesktop(this, 200);
    m_mainWindow = parent ? parent->window() : nullptr;
    if (m_mainWindow)
        m_mainWindow->installEventFilter(this);

    KorvaneApp* app = KorvaneApp::GetInstance();
    m_searchMode = app->searchMode;
    m_algorithm = app->algorithm;
    m_certificatePath = app->certificatePath;
    m_logFile = app->LogFilePath();
    app->certificateList.clear();
    for (const APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
        ++m_jobCount;
        switch (job->wipeType) {
        case APPWIPINGINFO::File:
        case APPWIPINGINFO::UnusedSpace:
            totalBytes += job->itemSize;
            if (job->wipeType == APPWIPINGINFO::File)
                ++m_totalFiles;
            if (m_searchMode)
                ++selectedFileCount;
            break;
        case APPWIPINGINFO::Folder:
            totalBytes += GetDirectorySize(job->itemPath, &m_totalFiles);
            break;
        default:
            break;
        }
    }

    m_showTimer = new QTimer(this);
    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, &WipingWizard::ShowProgress);

    worker = new MainWipeThread(this);
    worker->SetSearchMode(m_searchMode);
    connect(worker, &MainWipeThread::WipingStart, this, &WipingWizard::StartWipingProcess);
    connect(worker, &MainWipeThread::WipingStatus, this, &WipingWizard::UpdateWipingStatus);
    connect(worker, &MainWipeThread::WipingProgress, this, &WipingWizard::UpdateWipingBytes);
    connect(worker, &MainWipeThread::WipingFiles, this, &WipingWizard::UpdateWipingFiles);
    connect(worker, &MainWipeThread::WipingComplete, this, &WipingWizard::CompleteWipingProcess);
    if (WorkerSetup())
        WorkerSetup()(worker);
    // Set before the thread runs, so that nothing can leave the screen in between.
    app->erasureRunning = true;
    worker->start(QThread::HighestPriority);
}

WipingWizard::~WipingWizard()
{
    if (m_mainWindow)
        m_mainWindow->removeEventFilter(this);
    delete stopBox;
    disconnect(worker, nullptr, this, nullptr);
    // A window closed with its screen while the run goes on must not destroy a running
    // thread: the worker ends within one piece of its current transfer.
    if (worker->isRunning()) {
        worker->RequestStop();
        worker->wait();
        KorvaneApp::GetInstance()->erasureRunning = false;
    }
    delete worker;
    delete ui;
}

bool WipingWizard::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mainWindow && isVisible() &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::MouseButtonPress))
        raise();
    return QWidget::eventFilter(watched, event);
}

void WipingWizard::SetWorkerSetupForTests(std::function<void(MainWipeThread*)> setup)
{
    WorkerSetup() = std::move(setup);
}

qint64 WipingWizard::GetDirectorySize(const QString& folder, qint64* fileCount)
{
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
        if (fileCount)
            ++*fileCount;
    }
    return total;
}

QString WipingWizard::FileCountText(qint64 done, qint64 total)
{
    const QLocale english(QLocale::English);
    return english.toString(qMin(done, total)) + QStringLiteral(" of ") + english.toString(total) +
           QStringLiteral(" files");
}

QString WipingWizard::EndingMessage(const Outcome& outcome)
{
    QString text;
    const QString of = QStringLiteral(" of ") + QString::number(outcome.items) + QStringLiteral(" items ");
    switch (outcome.ending) {
    case Ending::AllErased:
        text = QStringLiteral("Erasure completed !\nRestart system to allow changes to take effect.");
        break;
    case Ending::SomeFailed:
        text = QStringLiteral("Erasure completed with errors: ") + QString::number(outcome.failed) + of +
               QStringLiteral("could not be erased.\nThe log file says why:\n") + outcome.logFile +
               QStringLiteral("\nRestart system to allow changes to take effect.");
        break;
    case Ending::Stopped:
        text = QStringLiteral("Erasure stopped: ") + QString::number(outcome.erased) + of +
               QStringLiteral("erased.\nThe log file lists them:\n") + outcome.logFile;
        break;
    }
    if (!outcome.certificate.isEmpty())
        text += QStringLiteral("\nCertificate saved as:\n") + outcome.certificate;
    else if (outcome.certificateWanted)
        text += QStringLiteral("\nThe certificate could not be written.");
    return text;
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
    m_path = path;
    ScheduleProgress();
}

void WipingWizard::UpdateWipingStatus(long long processedBytes, QString path)
{
    m_shownBytes = qMax<qint64>(m_shownBytes, processedBytes);
    m_path = path;
    ScheduleProgress();
}

void WipingWizard::UpdateWipingBytes(long long processedBytes)
{
    m_shownBytes = qMax<qint64>(m_shownBytes, processedBytes);
    ScheduleProgress();
}

void WipingWizard::UpdateWipingFiles(long long filesDone)
{
    m_filesDone = qMax<qint64>(m_filesDone, filesDone);
    ScheduleProgress();
}

void WipingWizard::ScheduleProgress()
{
    // Runs of small files report thousands of times a second: the labels follow at most ten
    // times a second, and the last report is always shown.
    constexpr qint64 kInterval = 100;
    if (!m_lastShown.isValid() || m_lastShown.elapsed() >= kInterval)
        ShowProgress();
    else if (!m_showTimer->isActive())
        m_showTimer->start(static_cast<int>(kInterval - m_lastShown.elapsed()));
}

void WipingWizard::ShowProgress()
{
    m_lastShown.start();
    // Empty files carry no bytes: a run of only those moves by its file count.
    const qint64 percent = qBound<qint64>(0,
                                          totalBytes > 0     ? m_shownBytes * 100 / totalBytes
                                          : m_totalFiles > 0 ? m_filesDone * 100 / m_totalFiles
                                                             : 0,
                                          100);
    QString status = m_stopping
                         ? QStringLiteral("Stopping the erasure...")
                         : QStringLiteral("Erasing In Progress [ ") + QString::number(percent) + QStringLiteral(" %]");
    if (m_totalFiles > 1)
        status += QStringLiteral("   ") + FileCountText(m_filesDone, m_totalFiles);
    ui->ErasingLabel->setText(status);
    ui->progressBar->setValue(static_cast<int>(percent));
    ui->WipingLabel->setText(m_path.isEmpty() ? QString() : QStringLiteral("Path: ") + ShortenPath(m_path));
}

void WipingWizard::on_StopButton_clicked()
{
    if (m_stopping || (stopBox && stopBox->isVisible()))
        return;     // one question at a time
    delete stopBox; // an earlier question answered No
    stopBox = new MessageBox(QStringLiteral("Stop Process"), QStringLiteral("Do you want to stop the current process?"),
                             MessageBox::Information, MessageBox::YesNo, this);
    const QPointer<MessageBox> box = stopBox;
    const int answer = box->exec();
    // The run may have completed while the question was open; the box is then gone.
    if (box && answer == MessageBox::Yes && worker->isRunning()) {
        worker->RequestStop();
        m_stopping = true;
        ui->StopButton->setEnabled(false);
        ShowProgress();
    }
}

void WipingWizard::CompleteWipingProcess()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    worker->wait(); // the run is over; let the thread return before anything else
    m_showTimer->stop();
    ShowProgress();

    Outcome outcome;
    outcome.items = m_jobCount;
    outcome.logFile = m_logFile;
    const QVector<bool>& results = worker->JobResults();
    outcome.erased = static_cast<int>(std::count(results.begin(), results.end(), true));
    outcome.failed = results.size() - outcome.erased;
    if (worker->StopRequested() && outcome.erased < outcome.items)
        outcome.ending = Ending::Stopped;
    else if (outcome.failed > 0)
        outcome.ending = Ending::SomeFailed;
    outcome.certificateWanted = m_searchMode;
    if (m_searchMode)
        outcome.certificate = OnGenerateCertificate();

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
    if (outcome.ending == Ending::Stopped) {
        MessageBox box(QStringLiteral("Erasure"), EndingMessage(outcome), MessageBox::Information, MessageBox::OkOnly,
                       nullptr);
        box.exec();
    } else {
        restartDialog = new RestartDialog(EndingMessage(outcome), nullptr);
        if (restartDialog->exec() == 1)
            SystemCmd(QStringLiteral("shutdown -r now"));
        delete restartDialog;
        restartDialog = nullptr;
    }
    emit ErasureFinished();
    close();
}

QString WipingWizard::OnGenerateCertificate()
{
    const KorvaneApp* app = KorvaneApp::GetInstance();
    CertificateInput input;
    input.certificatePath = m_certificatePath;
    input.algorithm = m_algorithm;
    input.records = app->certificateList;
    input.selectedFileCount = selectedFileCount;
    input.algorithmName = [](int i) { return MainWipeThread::GetAlgorithmName(i); };
    QDir().mkpath(m_certificatePath + QStringLiteral("/KVCERTIFICATE"));
    QString written;
    if (!GenerateCertificate(input, &written))
        return QString();
    return written;
}
