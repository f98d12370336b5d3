// Decides whether a path is one of the operating system's own locations, a users folder,
// the top of a home folder or a standard folder in it: places the application never erases.
#pragma once

#include "Platform.h"

#include <QString>

// True when `path` (absolute, no trailing "/" except for the root) must not be erased.
bool IsProtectedLocation(const QString& path, PlatformKind platform);
