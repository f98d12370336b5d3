// The installed-applications list file: written once at start-up, then searched by the
// catalogs for an application's name. Each line names one application and ends with the
// path of its bundle (macOS) or of its program or desktop entry (Linux).
#pragma once

#include "Platform.h"

#include <QString>
#include <QStringList>

#include <memory>

class InstalledApplicationsWriter
{
public:
    virtual ~InstalledApplicationsWriter() = default;
    // Appends the installed applications to the list file; false when nothing could be written.
    virtual bool Write(const QString& listPath) = 0;
};

std::unique_ptr<InstalledApplicationsWriter> CreateInstalledApplicationsWriter(PlatformKind platform);
std::unique_ptr<InstalledApplicationsWriter> CreateMacInstalledApplicationsWriter();
std::unique_ptr<InstalledApplicationsWriter> CreateLinuxInstalledApplicationsWriter();

// The start-up step: writes the list file of the host platform.
bool WriteInstalledApplicationsList(const QString& listPath);

// macOS: the shell line that appends the bundle locations reported by system_profiler.
QString SystemProfilerCommand(const QString& listPath);

// Linux: the list lines for the desktop entries below the given folders, searched in order;
// an entry of an earlier folder hides one with the same id in a later folder.
QStringList DesktopEntryLines(const QStringList& applicationFolders);
// The folders that hold the user's and the system's desktop entries (XDG base directories).
QStringList DesktopEntryFolders();

// The paths that the list gives for an application: every line that `grep` finds for the
// search name, from its first "/" on (lines whose first "/" is missing or leads are skipped).
QStringList ListedApplicationPaths(const QString& searchName, const QString& listPath);
