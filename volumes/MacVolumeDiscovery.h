// Volume discovery on macOS: parses the text output of `diskutil` and `df`, run through
// the shell runner, into the lists of GetVolumes.
#pragma once

#include "VolumeDiscovery.h"

class MacVolumeDiscovery : public VolumeDiscovery
{
public:
    void CreateDisklist(GetVolumes& volumes) override;
    // `Diskutil info` of the folder reports a "Mounted:" line.
    bool IsMounted(const QString& folder) const override;

    // The volumes of each CoreStorage logical volume group, keyed by the physical disk.
    static void CreateCoreStorageList(GetVolumes& volumes);
    // The data-bearing volumes of each APFS container, keyed by the physical disk.
    static void CreateAPFSContainerList(GetVolumes& volumes);
};
