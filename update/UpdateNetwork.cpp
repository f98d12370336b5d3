#include "UpdateNetwork.h"

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>

namespace {

QNetworkReply* Get(QNetworkAccessManager* manager, const QUrl& url)
{
    QNetworkRequest request(url);
    // Redirects are not followed: a redirect could leave HTTPS.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    return manager->get(request);
}

bool ReplyFailed(QNetworkReply* reply)
{
    if (reply->error() != QNetworkReply::NoError)
        return true;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() != 200;
}

} // namespace

UpdateCheck::UpdateCheck(const QString& link, QObject* parent)
    : QObject(parent), updateLink(link), manager(new QNetworkAccessManager(this))
{
}

void UpdateCheck::ConnectingServer()
{
    busy = true;
    if (!VersionTxtPath.isEmpty() && QFileInfo::exists(VersionTxtPath))
        QFile::remove(VersionTxtPath);

    const QUrl address(updateLink + QLatin1String(Update::kVersionFileName));
    const QString folder = Update::DownloadFolder();
    localPath = folder + QFileInfo(address.path()).fileName();
    VersionTxtPath = localPath;
    if (!Update::PreparePrivateFolder(folder) || !Update::OpenPrivateFile(file, localPath)) {
        busy = false; // no request, no message
        return;
    }
    if (!Update::IsAllowedUrl(address)) {
        // Treated like a failed request: nothing is fetched from an untrusted address.
        file.close();
        QFile::remove(localPath);
        QTimer::singleShot(0, this, &UpdateCheck::NoUpdates);
        busy = false;
        return;
    }
    reply = Get(manager, address);
    connect(reply, &QNetworkReply::readyRead, this, &UpdateCheck::downloadReadyReadTxt);
    connect(reply, &QNetworkReply::finished, this, &UpdateCheck::downloadFinishedTxt);
}

void UpdateCheck::downloadReadyReadTxt()
{
    if (file.isOpen())
        file.write(reply->readAll());
}

void UpdateCheck::downloadFinishedTxt()
{
    downloadReadyReadTxt();
    file.close();
    QNetworkReply* done = reply;
    reply = nullptr;
    done->deleteLater();
    if (ReplyFailed(done)) {
        QFile::remove(localPath);
        busy = false;
        emit NoUpdates();
        return;
    }
    if (!busy)
        return;
    busy = false;

    QString line;
    QFile local;
    if (Update::OpenPrivateFileForReading(local, localPath))
        line = QString::fromUtf8(local.readLine()).trimmed();
    const Update::Kind kind = Update::CompareVersions(QLatin1String(Update::kOwnVersion), line);
    if (kind == Update::Kind::None)
        emit NoUpdates();
    else
        emit UpdateAvailable(kind, line);
}

UpdateDownload::UpdateDownload(const QString& link, const QString& bundle, QObject* parent)
    : QObject(parent), updateLink(link), installedBundle(bundle), manager(new QNetworkAccessManager(this))
{
}

void UpdateDownload::downloadExe()
{
    if (!VersionTxtPath.isEmpty() && QFileInfo::exists(VersionTxtPath))
        QFile::remove(VersionTxtPath);

    const QUrl address(updateLink + QLatin1String(Update::kArchiveName));
    const QString folder = Update::DownloadFolder();
    localPath = folder + QFileInfo(address.path()).fileName();
    if (!Update::IsAllowedUrl(address) || !Update::PreparePrivateFolder(folder) ||
        !Update::OpenPrivateFile(file, localPath)) {
        QTimer::singleShot(0, this, &UpdateDownload::Failed);
        return;
    }
    reply = Get(manager, address);
    clock.start();
    connect(reply, &QNetworkReply::finished, this, &UpdateDownload::downloadFinished);
    connect(reply, &QNetworkReply::readyRead, this, &UpdateDownload::downloadReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &UpdateDownload::OnDownloadProgress);
}

void UpdateDownload::downloadReadyRead()
{
    if (file.isOpen())
        file.write(reply->readAll());
}

void UpdateDownload::OnDownloadProgress(qint64 received, qint64 total)
{
    const qint64 elapsed = clock.isValid() ? clock.elapsed() : 0;
    emit Progress(received, total, Update::TimeElapsedText(elapsed, received, total),
                  Update::TransferRateText(elapsed, received));
}

void UpdateDownload::downloadFinished()
{
    downloadReadyRead();
    const bool written = file.error() == QFileDevice::NoError;
    file.close();
    QNetworkReply* done = reply;
    reply = nullptr;
    done->deleteLater();
    if (ReplyFailed(done) || !written) {
        QFile::remove(localPath);
        emit Failed();
        return;
    }
    QString reason;
    if (Update::InstallDownloadedBundle(Update::DownloadFolder(), installedBundle, &reason))
        emit Installed();
    else
        emit InstallFailed(reason);
}
