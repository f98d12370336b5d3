// The platform the program runs on, and the few facts that differ by platform. Logic that
// differs takes the platform as a parameter so that both variants are tested everywhere.
#pragma once

#include <QString>

enum class PlatformKind
{
    MacOS,
    Linux
};

PlatformKind HostPlatform();

namespace PlatformPaths {
// Machine-wide agreement flag; on Linux a per-user fallback is used when it cannot be written.
QString AgreementFlagFile(PlatformKind platform);
QString AgreementFlagFallback();
// The home folder given to root when the environment names none.
QString RootHome(PlatformKind platform);
// The folder that holds users' home folders.
QString UsersFolder(PlatformKind platform);
} // namespace PlatformPaths
