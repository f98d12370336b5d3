#include "Platform.h"

#include <QStandardPaths>

PlatformKind HostPlatform()
{
#ifdef Q_OS_MACOS
    return PlatformKind::MacOS;
#else
    return PlatformKind::Linux;
#endif
}

namespace PlatformPaths {

QString AgreementFlagFile(PlatformKind platform)
{
    if (platform == PlatformKind::MacOS)
        return QStringLiteral("/Users/Shared/KVLicense.plist");
    return QStringLiteral("/var/lib/korvane-file-eraser/KVLicense.plist");
}

QString AgreementFlagFallback()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/KVLicense.plist");
}

QString RootHome(PlatformKind platform)
{
    return platform == PlatformKind::MacOS ? QStringLiteral("/private/var/root") : QStringLiteral("/root");
}

QString UsersFolder(PlatformKind platform)
{
    return platform == PlatformKind::MacOS ? QStringLiteral("/Users") : QStringLiteral("/home");
}

} // namespace PlatformPaths
