// The write-reach classification on Linux: the file system type and options from the mount
// table, the device chain from sysfs (partitions, device-mapper and md slaves, a loop
// device's backing file) down to the disks' rotational flag, dm-crypt targets, and FIEMAP
// for extents shared between files.
#pragma once

#include "VolumeReach.h"

class LinuxVolumeReach : public VolumeReachProbe
{
public:
    // Tests point the probe at a fake sysfs tree and mount table.
    explicit LinuxVolumeReach(QString sysRoot = QStringLiteral("/sys"),
                              QString mountTable = QStringLiteral("/proc/self/mountinfo"));

    VolumeReach Volume(const QString& path) override;
    QString VolumeKey(const QString& path) override;
    bool SharesExtents(const QString& path) override;

    // The concerns that follow from a file system type and its mount options alone.
    static QVector<ReachConcern> FileSystemConcerns(const QString& fileSystem, const QString& options);

private:
    VolumeReach VolumeAt(const QString& path, int depth);
    void ReachDevice(const QString& name, int depth, VolumeReach& into);
    QString DeviceByNumber(const QString& majorMinor) const;

    QString m_sysRoot;
    QString m_mountTable;
};
