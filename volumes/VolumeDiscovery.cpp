#include "VolumeDiscovery.h"

#include "LinuxVolumeDiscovery.h"
#include "MacVolumeDiscovery.h"

std::unique_ptr<VolumeDiscovery> CreateVolumeDiscovery(PlatformKind platform)
{
    if (platform == PlatformKind::MacOS)
        return std::make_unique<MacVolumeDiscovery>();
    return std::make_unique<LinuxVolumeDiscovery>();
}

bool IsVolumeMounted(const QString& folder)
{
    return CreateVolumeDiscovery(HostPlatform())->IsMounted(folder);
}
