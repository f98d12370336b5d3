// Passing a volume's free space to the device as discarded (FITRIM), so that flash and thin
// storage drop what they still hold there after a free-space erasure.
#pragma once

#include <QString>

// Trims the free space of the volume that holds `folder`. False when the file system or
// device does not support it or the process may not (it needs root); `trimmed` gets the
// bytes the file system reports trimmed.
bool DiscardFreeSpace(const QString& folder, unsigned long long* trimmed = nullptr);
