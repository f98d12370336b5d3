// Disk and volume records as text lines, so that a test can compare whole lists.
#pragma once

#include "Records.h"

#include <QStringList>

inline QString VolumeLine(const PARTITIONINFO* v)
{
    return QStringLiteral("  %1 | %2 | %3 | %4 | %5 | %6")
        .arg(v->deviceNode, v->volumeName, v->fileSystem, v->mountPoint)
        .arg(v->totalSize)
        .arg(v->freeSpace);
}

// Every field of every disk, each followed by its volumes.
inline QStringList DumpDisks(const DISKINFO* disks)
{
    QStringList lines;
    for (const DISKINFO* d = disks; d; d = d->next) {
        lines << QStringLiteral("%1 | %2 | %3 | %4 | %5 | %6")
                     .arg(d->diskName, d->deviceNode, d->mediaName, d->protocol)
                     .arg(d->totalSize)
                     .arg(d->listed ? "listed" : "-");
        for (const PARTITIONINFO* v = d->partitionList; v; v = v->next)
            lines << VolumeLine(v);
    }
    return lines;
}
