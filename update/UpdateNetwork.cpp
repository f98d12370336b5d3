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
    request.setTransferTimeout(UpdateCheck::kTransferTimeoutMs);
    return manager->get(request);
}

// Empty when the reply delivered the file, else what went wrong.
QString ReplyFailure(QNetworkReply* reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() != 200)
        return Update::ServerErrorText(status.toInt());
    if (reply->error() != QNetworkReply::NoError)
        return Update::ServerUnreachableText();
    return QString();
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
    if (!Update::IsAllowedUrl(address)) {
        // Nothing is fetched from an untrusted address.
        Fail(Update::UntrustedAddressText());
        return;
    }
    const QString folder = Update::DownloadFolder();
    localPath = folder + QFileInfo(address.path()).fileName();
    VersionTxtPath = localPath;
    if (folder.isEmpty() || !Update::OpenPrivateFile(file, localPath)) {
        Fail(Update::NoDownloadFolderText());
        return;
    }
    reply = Get(manager, address);
    connect(reply, &QNetworkReply::readyRead, this, &UpdateCheck::downloadReadyReadTxt);
    connect(reply, &QNetworkReply::finished, this, &UpdateCheck::downloadFinishedTxt);
}

void UpdateCheck::Fail(const QString& reason)
{
    busy = false;
    // Reported from the event loop, so that the window that started the check is shown first.
    QTimer::singleShot(0, this, [this, reason] { emit Failed(reason); });
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
    const QString failure = ReplyFailure(done);
    if (!failure.isEmpty()) {
        QFile::remove(localPath);
        busy = false;
        emit Failed(failure);
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

    const auto fail = [this](const QString& reason) {
        QTimer::singleShot(0, this, [this, reason] { emit Failed(reason); });
    };
    QString reason;
    if (!Update::CanReplaceInstallation(installedBundle, &reason)) {
        fail(reason); // said before anything is downloaded
        return;
    }
    const QUrl address(updateLink + QLatin1String(Update::kArchiveName));
    if (!Update::IsAllowedUrl(address)) {
        fail(Update::UntrustedAddressText());
        return;
    }
    folder = Update::DownloadFolder();
    localPath = folder + QFileInfo(address.path()).fileName();
    if (folder.isEmpty() || !Update::OpenPrivateFile(file, localPath)) {
        fail(Update::NoDownloadFolderText());
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
    QString failure = ReplyFailure(done);
    if (failure.isEmpty() && !written)
        failure = QStringLiteral("The update could not be saved in %1.").arg(folder);
    if (!failure.isEmpty()) {
        QFile::remove(localPath);
        emit Failed(failure);
        return;
    }
    QString reason;
    if (Update::InstallDownloadedBundle(folder, installedBundle, &reason))
        emit Installed();
    else
        emit InstallFailed(reason);
}
