// The text that `korvane-erase --list-volumes` prints: each offered disk (media name,
// protocol, size) and under it each of its volumes.
#pragma once

#include "Records.h"

#include <QString>

QString FormatVolumeListing(const DISKINFO* disks);

// Discovers the disks of this machine and formats them.
QString ListVolumes();
