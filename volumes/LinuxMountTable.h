// The kernel's mount table (/proc/self/mountinfo) as records, shared by the volume discovery
// and the write-reach classification on Linux.
#pragma once

#include <QString>
#include <QVector>

struct MountEntry
{
    QString majorMinor; // "8:1": the device number of the mounted file system
    QString root;       // the folder of the file system that is mounted ("/" for all of it)
    QString mountPoint;
    QString fileSystem;
    QString source;  // "/dev/sda1", "server:/export", "tmpfs"
    QString options; // the mount's and the file system's options, comma separated
    bool readOnly = false;
};

QVector<MountEntry> ReadMountTable(const QString& path);

// The entry of the mount that holds `path` (the longest mount point above it), or null.
const MountEntry* MountHolding(const QVector<MountEntry>& mounts, const QString& path);

// The mount table writes a blank as \040; udev's labels write one as \x20.
QString DecodeMountField(const QString& field);
QString DecodeLabel(const QString& name);
