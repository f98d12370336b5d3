// The free space of the volume that holds a folder, and the filler files that take it during
// an unused-space erasure.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Bytes this process can write on the volume of `folder`: statvfs on Linux (the blocks
// reserved for root count when running as root), `diskutil info` on macOS; 0 when unknown.
long long VolumeFreeSpace(const QString& folder);

// The byte count in a `diskutil info` line such as
// "Volume Free Space: 2.1 GB (2147483648 Bytes) (exactly 4194304 512-Byte-Units)"; 0 if none.
long long ParseDiskutilFreeSpace(const QString& answer);
// The free space in a whole `diskutil info` answer: "Volume Free Space:", else "Volume
// Available Space:", else (APFS volumes since macOS 11) "Container Free Space:"; 0 if none
// gives a byte count above 0.
long long DiskutilInfoFreeSpace(const QString& info);

// Filler files live in one folder below the volume's mount point. A filler is unnamed where
// the file system allows it (it vanishes with the process, whatever ends it); otherwise it is
// "$$SWUSTEMP<number>", created afresh with mode 0200, an extended attribute where the file
// system keeps them, and an exclusive lock while it is in use. Only files with all of these
// marks are ever removed as filler.
namespace Filler {
const char kFolderName[] = "$$SWUS4B56465553";
const char kNamePrefix[] = "$$SWUSTEMP";

bool IsFillerName(const char* name);
// A new filler in the folder open as `dirFd`: its descriptor (above 0), or -1 with errno set.
// `name` gets the name of a named filler and stays empty for an unnamed one.
int Create(int dirFd, QByteArray* name);
// True when the entry `name` of the folder `dirFd` is a filler that no process uses.
bool IsStale(int dirFd, const char* name);
// Removes the stale fillers of `mountPoint`'s filler folder, then the folder if that left it
// empty; files that are not filler stay. The number of fillers removed.
int RemoveStale(const QString& mountPoint);
// RemoveStale on every mounted volume this process may write, leaving out read-only,
// network and virtual file systems so that start-up never waits on them.
int RemoveStaleEverywhere();
} // namespace Filler

namespace FreeSpaceTesting {
// Replaces the source of VolumeFreeSpace; an empty function restores the real one.
void SetSource(const std::function<long long(const QString& folder)>& source);
// False makes every filler a named one, as on file systems without unnamed files.
void SetUnnamedFillers(bool allowed);
} // namespace FreeSpaceTesting
