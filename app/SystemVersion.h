// The operating system's name and version as the About window shows them: from
// SystemVersion.plist on macOS, from os-release on Linux. Missing files give empty texts.
#pragma once

#include "Platform.h"

#include <QString>

struct SystemVersionInfo
{
    QString productName;
    QString productVersion;
};

// `root` prefixes the files read, so tests can lay out a fake system folder.
SystemVersionInfo ReadSystemVersion(PlatformKind platform, const QString& root = QString());
