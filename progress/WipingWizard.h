// The small window that runs one erasure: it sums the job list's bytes and files, runs the
// worker at the highest priority, shows the current path, the percentage and (for many files)
// the count of files done, passes a confirmed Stop on and says so until the worker has
// stopped, and at the end says what happened, writes the certificate (search runs) and offers
// a restart after a completed run. It stays above the main window while it runs.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace Ui {
class WipingWizard;
}
class MainWipeThread;
class MessageBox;
class RestartDialog;
class QTimer;

class WipingWizard : public QWidget
{
    Q_OBJECT

public:
    explicit WipingWizard(QWidget* parent);
    ~WipingWizard() override;

    // Bytes of all files below a folder, hidden ones included; links are not followed.
    static qint64 GetDirectorySize(const QString& folder, qint64* fileCount = nullptr);
    // The path as the window shows it: whole up to 64 characters, else head + "..." + tail.
    static QString ShortenPath(const QString& path);

    // Writes the certificate of a search run; the file written, or empty.
    QString OnGenerateCertificate();

    qint64 TotalBytes() const { return totalBytes; }
    qint64 SelectedFileCount() const { return selectedFileCount; }
    qint64 TotalFiles() const { return m_totalFiles; }
    bool Stopping() const { return m_stopping; }
    MainWipeThread* Worker() const { return worker; }

    // How a run ended, as the closing message says it.
    enum class Ending
    {
        AllErased,
        Stopped,
        SomeFailed
    };
    struct Outcome
    {
        Ending ending = Ending::AllErased;
        int items = 0;  // jobs in the run
        int erased = 0; // jobs that succeeded
        int failed = 0; // jobs that ran and failed
        QString logFile;
        bool certificateWanted = false; // a search run certifies what it erased
        QString certificate;            // empty when none was written
    };
    static QString EndingMessage(const Outcome& outcome);
    // "1,234 of 40,000 files", in every locale.
    static QString FileCountText(qint64 done, qint64 total);

    // Tests only: called with the worker before it starts (a smaller chunk size, say).
    static void SetWorkerSetupForTests(std::function<void(MainWipeThread*)> setup);

signals:
    // The run is over and its ending was shown; screens clear their selections.
    void ErasureFinished();

public slots:
    void StartWipingProcess(QString path);
    void UpdateWipingStatus(long long processedBytes, QString path);
    void UpdateWipingBytes(long long processedBytes);
    void UpdateWipingFiles(long long filesDone);
    void CompleteWipingProcess();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void on_StopButton_clicked();

private:
    void ShowProgress();
    void ScheduleProgress();

    MainWipeThread* worker = nullptr;
    qint64 totalBytes = 0;
    RestartDialog* restartDialog = nullptr;
    MessageBox* stopBox = nullptr;
    Ui::WipingWizard* ui;
    qint64 selectedFileCount = 0;

    // What the run needs, fixed when it starts.
    bool m_searchMode = false;
    int m_algorithm = 0;
    QString m_certificatePath;
    QString m_logFile;
    int m_jobCount = 0;
    qint64 m_totalFiles = 0;

    qint64 m_shownBytes = 0;
    qint64 m_filesDone = 0;
    QString m_path;
    bool m_stopping = false;
    QElapsedTimer m_lastShown;
    QTimer* m_showTimer = nullptr;
    QPointer<QWidget> m_mainWindow;
};
