// Decides whether a path is one of the operating system's own locations, a users folder,
// the top of a home folder or a standard folder in it: places the application never erases.
#pragma once

#include "Platform.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// True when `path` (absolute, no trailing "/" except for the root) must not be erased.
bool IsProtectedLocation(const QString& path, PlatformKind platform);

// The other names of what `path` names, so that protection applies where it really lies:
// the path with the links of its folders resolved (the item itself stays: a link is removed,
// not followed) and, when a bind mount shows the folder under another name, the path on each
// other mount of the same file system. Empty when the path has no other name.
QStringList BoundLocations(const QByteArray& path);

// True when the file system of the open `fd` holds no files of the user's (proc, sysfs,
// devtmpfs, debugfs, cgroup and the like): nothing there is ever erased.
bool IsVirtualFileSystem(int fd);
