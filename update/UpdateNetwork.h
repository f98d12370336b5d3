// The two downloads of the updater: the version file that tells whether a newer version
// exists, and the archive of the new bundle, which is then installed. Windows drive them
// and show what they report. Every outcome arrives as exactly one signal, never from within
// the call that starts the work, and a silent server is given up after a while.
#pragma once

#include "UpdateCore.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>

class QNetworkAccessManager;
class QNetworkReply;

class UpdateCheck : public QObject
{
    Q_OBJECT

public:
    explicit UpdateCheck(const QString& updateLink, QObject* parent = nullptr);

    // Starts the download of the version file; the result arrives as a signal.
    void ConnectingServer();
    bool IsBusy() const { return busy; }

    // How long a request may go without receiving anything.
    static constexpr int kTransferTimeoutMs = 30000;

signals:
    void NoUpdates();
    void UpdateAvailable(Update::Kind kind, const QString& version);
    // The check could not be made; `reason` says why.
    void Failed(const QString& reason);

private slots:
    void downloadReadyReadTxt();
    void downloadFinishedTxt();

private:
    void Fail(const QString& reason);

    QString updateLink;
    QNetworkAccessManager* manager = nullptr;
    QString localPath;
    bool busy = false;
    QFile file;
    QNetworkReply* reply = nullptr;
};

class UpdateDownload : public QObject
{
    Q_OBJECT

public:
    UpdateDownload(const QString& updateLink, const QString& installedBundle, QObject* parent = nullptr);

    void downloadExe();

signals:
    void Progress(qint64 received, qint64 total, const QString& elapsedText, const QString& rateText);
    // Nothing was installed; `reason` says why.
    void Failed(const QString& reason);
    void Installed();
    void InstallFailed(const QString& reason);

private slots:
    void downloadReadyRead();
    void downloadFinished();
    void OnDownloadProgress(qint64 received, qint64 total);

private:
    QString updateLink;
    QString installedBundle;
    QElapsedTimer clock;
    QNetworkAccessManager* manager = nullptr;
    QNetworkReply* reply = nullptr;
    QFile file;
    QString folder;
    QString localPath;
};
