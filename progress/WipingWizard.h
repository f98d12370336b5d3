// The small window that runs one erasure: it sums the job list's bytes, runs the worker at
// the highest priority, shows the current path and percentage, passes a confirmed Stop on,
// and at the end writes the certificate (search runs) and offers a restart.
#pragma once

#include <QPoint>
#include <QWidget>

#include <functional>

namespace Ui {
class WipingWizard;
}
class MainWipeThread;
class MessageBox;
class RestartDialog;

class WipingWizard : public QWidget
{
    Q_OBJECT

public:
    explicit WipingWizard(QWidget* parent);
    ~WipingWizard() override;

    // Bytes of all files below a folder, hidden ones included; links are not followed.
    static qint64 GetDirectorySize(const QString& folder);
    // The path as the window shows it: whole up to 64 characters, else head + "..." + tail.
    static QString ShortenPath(const QString& path);

    void OnGenerateCertificate();

    qint64 TotalBytes() const { return totalBytes; }
    qint64 SelectedFileCount() const { return selectedFileCount; }
    MainWipeThread* Worker() const { return worker; }

    // Tests only: called with the worker before it starts (a smaller chunk size, say).
    static void SetWorkerSetupForTests(std::function<void(MainWipeThread*)> setup);

public slots:
    void StartWipingProcess(QString path);
    void UpdateWipingStatus(long long processedBytes, QString path);
    void CompleteWipingProcess();

private slots:
    void on_StopButton_clicked();

private:
    MainWipeThread* worker = nullptr;
    qint64 totalBytes = 0;
    RestartDialog* restartDialog = nullptr;
    MessageBox* stopBox = nullptr;
    Ui::WipingWizard* ui;
    qint64 selectedFileCount = 0;
};
