// The free space of the volume that holds a folder: what this process can still write there.
#pragma once

#include <QString>

#include <functional>

// Bytes this process can write on the volume of `folder`: statvfs on Linux (the blocks
// reserved for root count when running as root), `diskutil info` on macOS; 0 when unknown.
long long VolumeFreeSpace(const QString& folder);

// The byte count in a `diskutil info` line such as
// "Volume Free Space: 2.1 GB (2147483648 Bytes) (exactly 4194304 512-Byte-Units)"; 0 if none.
long long ParseDiskutilFreeSpace(const QString& answer);

namespace FreeSpaceTesting {
// Replaces the source of VolumeFreeSpace; an empty function restores the real one.
void SetSource(const std::function<long long(const QString& folder)>& source);
} // namespace FreeSpaceTesting
