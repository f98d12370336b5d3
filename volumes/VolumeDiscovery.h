// Where the disk and volume lists come from: `diskutil` and `df` on macOS, the kernel's
// tables on Linux. One implementation per platform, chosen by CreateVolumeDiscovery.
#pragma once

#include "Platform.h"

#include <memory>

class GetVolumes;

class VolumeDiscovery
{
public:
    virtual ~VolumeDiscovery() = default;
    // Fills the container lists and then the disk list of `volumes`.
    virtual void CreateDisklist(GetVolumes& volumes) = 0;
};

std::unique_ptr<VolumeDiscovery> CreateVolumeDiscovery(PlatformKind platform);
