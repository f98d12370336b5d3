// Decides whether a path is one of the operating system's own locations, a users folder,
// the top of a home folder or a standard folder in it: places the application never erases.
#pragma once

#include "Platform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// True when `path` (absolute, no trailing "/" except for the root) must not be erased.
bool IsProtectedLocation(const QString& path, PlatformKind platform);

// Where `path` really lies when a bind mount makes a folder reachable under another name:
// for each other mount of the same file system that shows the bound folder, the path
// there. Empty when the path lies under no bind mount (or the system does not say).
QStringList BoundLocations(const QByteArray& path);

// True when the file system of the open `fd` holds no files of the user's (proc, sysfs,
// devtmpfs, debugfs, cgroup and the like): nothing there is ever erased.
bool IsVirtualFileSystem(int fd);
