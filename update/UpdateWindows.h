// The update windows: the hidden checker that fetches the version file, the offer of a
// newer version, the update settings, and the download-and-install window.
#pragma once

#include "UpdateCore.h"

#include <QDialog>
#include <QWidget>

namespace Ui {
class CheckUpdate;
class ShowUpdateAvail;
class UpdateWizard;
class DownloadUpdate;
} // namespace Ui

class UpdateCheck;
class UpdateDownload;

class QCheckUpdate : public QDialog
{
    Q_OBJECT

public:
    explicit QCheckUpdate(QWidget* parent = nullptr);
    ~QCheckUpdate() override;

    void ConnectingServer();
    // The offer shown for a newer version, if any (tests read it).
    QWidget* Offer() const { return m_offer; }
    // Once the check has ended the window stays hidden, whoever asks to show it.
    void setVisible(bool visible) override;

signals:
    void NoUpdates();
    void Failed(const QString& reason);

private slots:
    void OnUpdateAvailable(Update::Kind kind, const QString& version);

private:
    void Finish();

    Ui::CheckUpdate* ui;
    UpdateCheck* m_check = nullptr;
    QWidget* m_offer = nullptr;
    bool m_finished = false;
};

class QMinorUpdate : public QDialog
{
    Q_OBJECT

public:
    explicit QMinorUpdate(QWidget* parent = nullptr);
    ~QMinorUpdate() override;

    static QString GetVersion();
    void ShowNewVersionDetails();
    // Empty when the installation can be replaced; else why not (shown, and Update is disabled).
    QString Obstacle() const { return m_obstacle; }
    QWidget* DownloadWindow() const { return m_download; }

public slots:
    void DownloadApp();
    void CancelDownload();

private:
    Ui::ShowUpdateAvail* ui;
    QWidget* m_download = nullptr;
    QString m_obstacle;
};

class UpdateWizard : public QWidget
{
    Q_OBJECT

public:
    explicit UpdateWizard(QWidget* parent = nullptr);
    ~UpdateWizard() override;

    QCheckUpdate* Checker() const { return m_checker; }

public slots:
    void on_update_Btn_clicked();
    void on_Close_Btn_clicked();
    void Noupdate();
    void CheckFailed(const QString& reason);

private:
    Ui::UpdateWizard* ui;
    QCheckUpdate* m_checker = nullptr;
};

class QDownloadApp : public QDialog
{
    Q_OBJECT

public:
    explicit QDownloadApp(QWidget* parent = nullptr);
    ~QDownloadApp() override;

    void downloadExe();

public slots:
    void OnDownloadProgress(qint64 received, qint64 total, const QString& elapsedText, const QString& rateText);
    void OnOk();

private slots:
    void OnFailed(const QString& reason);
    void OnInstalled();

protected:
    void changeEvent(QEvent* event) override;

private:
    Ui::DownloadUpdate* ui;
    UpdateDownload* m_download = nullptr;
    bool m_failed = false;
};
