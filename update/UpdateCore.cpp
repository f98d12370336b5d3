#include "UpdateCore.h"

#include "Platform.h"
#include "PlistFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QSettings>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString VersionTxtPath;

namespace Update {

namespace {

QString g_folderForTests;

QList<int> VersionParts(const QString& version)
{
    QList<int> parts;
    for (const QString& part : version.split(QLatin1Char('.'), Qt::SkipEmptyParts))
        parts.append(part.toInt()); // a non-numeric part reads 0
    while (parts.size() < 4)
        parts.append(0);
    return parts;
}

bool Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(-1))
        return false;
    process.closeWriteChannel();
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool RemoveTree(const QString& path)
{
    struct stat st;
    if (lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    return Run(QStringLiteral("rm"), {QStringLiteral("-R"), QStringLiteral("-f"), path});
}

bool IsRealFolder(const QString& path)
{
    struct stat st;
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CopyTree(const QString& from, const QString& to)
{
    if (HostPlatform() == PlatformKind::MacOS)
        return Run(QStringLiteral("ditto"), {QStringLiteral("-rsrc"), from, to});
    return Run(QStringLiteral("cp"), {QStringLiteral("-a"), from, to});
}

bool Fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

// A failure of the installer that left the installed version as it was.
bool FailUnchanged(QString* error, const QString& reason)
{
    return Fail(error, reason + QStringLiteral(" The installed version was left unchanged."));
}

// The user's own files that live inside the bundle and must survive its replacement.
const QStringList& UserDataInBundle()
{
    static const QStringList entries{QStringLiteral("Resources/kvf_setting.plist"), QStringLiteral("KVLOGFILE"),
                                     QStringLiteral("KVCERTIFICATE"), QStringLiteral("KVFTASK")};
    return entries;
}

bool OpenNoFollow(QFile& file, const QString& path, int flags, QIODevice::OpenMode mode)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid()) {
        ::close(fd);
        return false;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace

Kind CompareVersions(const QString& own, const QString& server)
{
    const QList<int> o = VersionParts(own);
    const QList<int> s = VersionParts(server);
    if (o[0] < s[0])
        return Kind::Major;
    if (o[1] * 100 + o[2] * 10 + o[3] < s[1] * 100 + s[2] * 10 + s[3])
        return Kind::Minor;
    return Kind::None;
}

QString UpdateLink(const QString& bundlePath)
{
    QSettings info(bundlePath + QStringLiteral("/Info.plist"), PlistFormat());
    return info.value(QStringLiteral("UpdateLink")).toString();
}

bool IsAllowedUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("https"))
        return true;
    if (scheme != QLatin1String("http"))
        return false;
    if (url.host().compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

QString SharedDownloadFolder()
{
    return g_folderForTests.isEmpty() ? QStringLiteral("/var/tmp/Quillon/") : g_folderForTests;
}

void SetDownloadFolderForTests(const QString& folder)
{
    g_folderForTests = folder;
    if (!g_folderForTests.isEmpty() && !g_folderForTests.endsWith(QLatin1Char('/')))
        g_folderForTests += QLatin1Char('/');
}

QString DownloadFolder()
{
    // The shared folder is private to whoever made it first; everyone else uses their own.
    const QString shared = SharedDownloadFolder();
    if (PreparePrivateFolder(shared))
        return shared;
    const QString own = PlatformPaths::UserDownloadFolder();
    const QByteArray parent = QFile::encodeName(QFileInfo(QDir::cleanPath(own)).path());
    QString built;
    for (const QString& part : QFile::decodeName(parent).split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        built += QLatin1Char('/') + part;
        ::mkdir(QFile::encodeName(built).constData(), 0700);
    }
    return PreparePrivateFolder(own) ? own : QString();
}

bool PreparePrivateFolder(const QString& folder)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    if (mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    if (lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid())
        return false;
    if ((st.st_mode & 077) != 0 && chmod(path.constData(), 0700) != 0)
        return false;
    return true;
}

QString ServerUnreachableText()
{
    return QStringLiteral("Could not reach the update server. Please check the internet connection and try again "
                          "later.");
}

QString NoDownloadFolderText()
{
    return QStringLiteral("No folder of your own could be made to download the update into.");
}

QString UntrustedAddressText()
{
    return QStringLiteral("The update address is not a secure (HTTPS) address; nothing was downloaded.");
}

QString ServerErrorText(int httpStatus)
{
    return QStringLiteral("The update server could not provide the update (HTTP status %1). Please try again "
                          "later.")
        .arg(httpStatus);
}

bool CanReplaceInstallation(const QString& installedBundle, QString* reason)
{
    const QString bundle = QDir::cleanPath(installedBundle);
    const QString parent = QFileInfo(bundle).path();
    const auto writable = [](const QString& path) {
        return ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
    };
    if (writable(parent) && writable(bundle))
        return true;
    if (reason)
        *reason = QStringLiteral("Korvane File Eraser is installed for all users in %1, which you cannot change. "
                                 "Please update it through your package manager or as administrator.")
                      .arg(bundle);
    return false;
}

bool OpenPrivateFile(QFile& file, const QString& path)
{
    return OpenNoFollow(file, path, O_WRONLY | O_CREAT | O_TRUNC, QIODevice::WriteOnly);
}

bool OpenPrivateFileForReading(QFile& file, const QString& path)
{
    return OpenNoFollow(file, path, O_RDONLY, QIODevice::ReadOnly);
}

QString TimeElapsedText(qint64 elapsedMs, qint64 received, qint64 total)
{
    const qint64 seconds = elapsedMs / 1000;
    return QStringLiteral("Time Elapsed: ") + QString::number(seconds) + QStringLiteral(" sec ") + QStringLiteral("(") +
           QString::number(received / 1048576.0, 'f', 2) + QStringLiteral(" MB of  ") +
           QString::number(total / 1048576.0, 'f', 2) + QStringLiteral(" MB copied) ");
}

QString TransferRateText(qint64 elapsedMs, qint64 received)
{
    const qint64 seconds = elapsedMs / 1000;
    if (seconds == 0)
        return QString();
    const qint64 rate = (received / 1048576) * 1024 / seconds;
    if (rate < 1)
        return QString();
    return QStringLiteral("Transfer Rate: ") + QString::number(rate) + QStringLiteral(" KB/sec ");
}

bool InstallDownloadedBundle(const QString& folder, const QString& installedBundle, QString* error)
{
    const QString archive = folder + kArchiveName;
    const QString unpacked = folder + kBundleName;
    RemoveTree(unpacked);
    const bool unzipped = Run(QStringLiteral("unzip"),
                              {QStringLiteral("-o"), QStringLiteral("-q"), archive, QStringLiteral("-d"), folder});
    RemoveTree(archive);
    if (!unzipped || !IsRealFolder(unpacked)) {
        RemoveTree(unpacked);
        return FailUnchanged(error, QStringLiteral("The downloaded archive could not be unpacked."));
    }

    const QString bundle = QDir::cleanPath(installedBundle);
    if (HostPlatform() == PlatformKind::MacOS && !bundle.endsWith(QLatin1Char('/') + QLatin1String(kBundleName))) {
        // Not inside a bundle of ours: the new one goes beside it.
        const bool copied = CopyTree(unpacked, QFileInfo(bundle).path() + '/' + kBundleName);
        RemoveTree(unpacked);
        return copied || FailUnchanged(error, QStringLiteral("The new version could not be copied."));
    }

    // Build the new bundle beside the old one, carry the user's files over, then swap the two,
    // so that a failure at any step leaves a working installation.
    const QString staging = bundle + QStringLiteral(".new");
    const QString previous = bundle + QStringLiteral(".old");
    RemoveTree(staging);
    RemoveTree(previous);
    if (!CopyTree(unpacked, staging)) {
        RemoveTree(staging);
        RemoveTree(unpacked);
        return FailUnchanged(error, QStringLiteral("The new version could not be copied."));
    }
    RemoveTree(unpacked);
    for (const QString& entry : UserDataInBundle()) {
        const QString from = bundle + '/' + entry;
        const QString to = staging + '/' + entry;
        if (!QFileInfo::exists(from))
            continue;
        RemoveTree(to);
        QDir().mkpath(QFileInfo(to).path());
        if (!CopyTree(from, to)) {
            // The old bundle still holds them; it must not be replaced by one without them.
            RemoveTree(staging);
            return FailUnchanged(error,
                                 QStringLiteral("Your settings, logs and certificates could not be carried over to "
                                                "the new version."));
        }
    }
    const QByteArray bundleName = QFile::encodeName(bundle);
    const QByteArray previousName = QFile::encodeName(previous);
    if (::rename(bundleName.constData(), previousName.constData()) != 0) {
        RemoveTree(staging);
        return FailUnchanged(error, QStringLiteral("The installed version could not be replaced."));
    }
    if (::rename(QFile::encodeName(staging).constData(), bundleName.constData()) != 0) {
        RemoveTree(staging);
        if (::rename(previousName.constData(), bundleName.constData()) != 0)
            return Fail(error, QStringLiteral("The installed version could not be replaced, nor put back; it is "
                                              "kept in %1.")
                                   .arg(previous));
        return FailUnchanged(error, QStringLiteral("The installed version could not be replaced."));
    }
    RemoveTree(previous);
    return true;
}

} // namespace Update
