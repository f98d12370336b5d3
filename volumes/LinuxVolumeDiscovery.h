// Volume discovery on Linux: disks from /sys/block, volumes from the mount table with
// statvfs sizes, and device-mapper / LVM / LUKS / md volumes mapped to their physical disk
// through slaves/ (kept in the CoreStorage list, which plays that role on macOS).
#pragma once

#include "Records.h"
#include "VolumeDiscovery.h"

#include <QString>
#include <QVector>

#include <functional>

// What the discovery reads; tests point it at a fake tree and fixed sizes.
struct LinuxVolumeSources
{
    QString sysRoot = QStringLiteral("/sys");
    QString mountTable = QStringLiteral("/proc/self/mountinfo");
    QString labelFolder = QStringLiteral("/dev/disk/by-label");
    QString homePath; // empty: $HOME
    // Total bytes and the bytes this process may write on the volume mounted at a path.
    std::function<bool(const QString& mountPoint, qint64& total, qint64& free)> spaceOf;
    std::function<bool(const QString& path)> canWrite;
};

// One mounted block-device volume and the physical disk it lives on.
struct LinuxMountedVolume
{
    QString device;       // block device name: sda1, dm-0, loop0
    QString wholeDisk;    // disk that holds it: sda, loop0
    bool mapped = false;  // reached through slaves/ (device-mapper, md)
    PARTITIONINFO volume; // as it is offered; `next` stays null
};

class LinuxVolumeDiscovery : public VolumeDiscovery
{
public:
    LinuxVolumeDiscovery();
    explicit LinuxVolumeDiscovery(LinuxVolumeSources sources);

    void CreateDisklist(GetVolumes& volumes) override;
    // The mount table has an entry mounted exactly at the folder.
    bool IsMounted(const QString& folder) const override;

    // The writable mounted volumes, one per block device, in mount-table order.
    QVector<LinuxMountedVolume> MountedVolumes() const;

private:
    LinuxVolumeSources m_sources;
};
