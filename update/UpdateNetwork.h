// The two downloads of the updater: the version file that tells whether a newer version
// exists, and the archive of the new bundle, which is then installed. Windows drive them
// and show what they report.
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

signals:
    void NoUpdates();
    void UpdateAvailable(Update::Kind kind, const QString& version);

private slots:
    void downloadReadyReadTxt();
    void downloadFinishedTxt();

private:
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
    void Failed();
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
    QString localPath;
};
