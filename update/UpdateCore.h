// The pieces of the updater that need no window: the version comparison, the update
// addresses, the private download folder, the progress texts and the bundle installation.
#pragma once

#include <QFile>
#include <QString>
#include <QUrl>

// Where the version file was last saved; empty until a check ran.
extern QString VersionTxtPath;

namespace Update {

constexpr char kOwnVersion[] = "5.0.0.0";
constexpr char kVersionFileName[] = "KorvaneforFile.txt";
constexpr char kArchiveName[] = "KorvaneforFile.zip";
constexpr char kBundleName[] = "KorvaneforFile.app";

enum class Kind
{
    None,
    Major,
    Minor
};

// Compares the own version with the first line of the server's version file.
Kind CompareVersions(const QString& own, const QString& server);

// The bundle's "UpdateLink" (a folder address ending in "/") from <bundle>/Info.plist.
QString UpdateLink(const QString& bundlePath);
// Only HTTPS, or plain HTTP to a loopback host, may deliver code to install.
bool IsAllowedUrl(const QUrl& url);

// The shared download folder ("/var/tmp/Quillon/"), with its trailing slash.
QString SharedDownloadFolder();
void SetDownloadFolderForTests(const QString& folder);
// The folder this user downloads into, ready for use: the shared one when it is this user's
// (or can be made so), else a private folder of the user's own below $XDG_CACHE_HOME. Empty
// when neither can be had.
QString DownloadFolder();
// Creates the folder private to this user (0700) or checks that it is: a real folder, not
// a link, owned by this user and closed to others. False when it cannot be trusted.
bool PreparePrivateFolder(const QString& folder);
// Opens a file in that folder for writing, truncated, without following a link.
bool OpenPrivateFile(QFile& file, const QString& path);
// The same for reading.
bool OpenPrivateFileForReading(QFile& file, const QString& path);

// "Time Elapsed: N sec (x.xx MB of  y.yy MB copied) "
QString TimeElapsedText(qint64 elapsedMs, qint64 received, qint64 total);
// "Transfer Rate: N KB/sec ", or empty when no rate can be shown yet.
QString TransferRateText(qint64 elapsedMs, qint64 received);

// What the user is told when something fails.
QString ServerUnreachableText();
QString NoDownloadFolderText();
QString UntrustedAddressText();
QString ServerErrorText(int httpStatus);

// True when this user may replace the installed bundle (write its parent folder and the
// bundle itself). Otherwise `reason` says so and how to update instead.
bool CanReplaceInstallation(const QString& installedBundle, QString* reason = nullptr);

// Unpacks the downloaded archive and puts its bundle in place of the installed one.
// Every step runs a program with an argument vector. False, with a reason, on failure;
// the installed bundle is then left as it was.
bool InstallDownloadedBundle(const QString& folder, const QString& installedBundle, QString* error = nullptr);

} // namespace Update
