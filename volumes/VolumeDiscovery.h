// Where the disk and volume lists come from: `diskutil` and `df` on macOS, the kernel's
// tables on Linux. One implementation per platform, chosen by CreateVolumeDiscovery.
#pragma once

#include "Platform.h"

#include <QString>

#include <memory>

class GetVolumes;

class VolumeDiscovery
{
public:
    virtual ~VolumeDiscovery() = default;
    // Fills the container lists and then the disk list of `volumes`.
    virtual void CreateDisklist(GetVolumes& volumes) = 0;
    // Whether a volume is mounted at `folder` (the selection screen roots its file view
    // there only then).
    virtual bool IsMounted(const QString& folder) const = 0;
};

std::unique_ptr<VolumeDiscovery> CreateVolumeDiscovery(PlatformKind platform);

// IsMounted on the platform this program runs on.
bool IsVolumeMounted(const QString& folder);
