// The write-reach classification on macOS: `df -P` names the volume that holds a path and
// `diskutil info` of its device tells the file system (APFS is copy-on-write), whether the
// medium is solid state, and whether the volume is encrypted.
#pragma once

#include "VolumeReach.h"

class MacVolumeReach : public VolumeReachProbe
{
public:
    VolumeReach Volume(const QString& path) override;
    QString VolumeKey(const QString& path) override;
    // APFS clones share extents too, but macOS has no FIEMAP: the copy-on-write notice
    // already covers every file of an APFS volume.
    bool SharesExtents(const QString&) override { return false; }

    // A `diskutil info` answer as a volume reach.
    static VolumeReach ParseDiskutilInfo(const QString& text);
};
