#include "LinuxVolumeDiscovery.h"

#include "GetVolumes.h"
#include "LinuxMountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

QString ReadValue(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

bool StatvfsSpace(const QString& mountPoint, qint64& total, qint64& free)
{
    struct statvfs info;
    if (statvfs(QFile::encodeName(mountPoint).constData(), &info) != 0)
        return false;
    total = static_cast<qint64>(info.f_blocks) * static_cast<qint64>(info.f_frsize);
    // The blocks available to unprivileged writers: what df calls available. Root may
    // write into the reserved blocks on some file systems but not on others (a strict
    // reserve for another user), so the figure never promises more than can be written.
    free = (info.f_flag & ST_RDONLY) ? 0 : static_cast<qint64>(info.f_bavail) * static_cast<qint64>(info.f_frsize);
    return true;
}

bool AccessWritable(const QString& path)
{
    return access(QFile::encodeName(path).constData(), W_OK) == 0;
}

struct BlockDevice
{
    QString name;
    QString parent; // the disk of a partition
    QStringList slaves;
    QString dmName;
};

// The block devices of the sysfs tree: disks, their partitions, and what maps to what.
class BlockTable
{
public:
    explicit BlockTable(const QString& sysRoot) : m_block(sysRoot + QStringLiteral("/block"))
    {
        const QDir dir(m_block);
        for (const QString& disk : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            BlockDevice device;
            device.name = disk;
            device.slaves = QDir(m_block + '/' + disk + QStringLiteral("/slaves"))
                                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
            device.dmName = ReadValue(m_block + '/' + disk + QStringLiteral("/dm/name"));
            Add(device, ReadValue(m_block + '/' + disk + QStringLiteral("/dev")));
            if (!device.dmName.isEmpty())
                m_byDmName.insert(device.dmName, disk);
            m_disks.append(disk);
            const QDir diskDir(m_block + '/' + disk);
            for (const QString& part : diskDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
                if (!QFile::exists(diskDir.filePath(part + QStringLiteral("/partition"))))
                    continue;
                BlockDevice partition;
                partition.name = part;
                partition.parent = disk;
                Add(partition, ReadValue(diskDir.filePath(part + QStringLiteral("/dev"))));
            }
        }
    }

    const QStringList& Disks() const { return m_disks; }
    QString DiskPath(const QString& disk) const { return m_block + '/' + disk; }
    const BlockDevice* Find(const QString& name) const
    {
        const auto it = m_byName.find(name);
        return it == m_byName.end() ? nullptr : &it.value();
    }

    // The block device behind a mount-table entry, by device number, then by the source's name.
    QString Resolve(const QString& majorMinor, const QString& source) const
    {
        const QString byNumber = m_byDev.value(majorMinor);
        if (!byNumber.isEmpty())
            return byNumber;
        if (!source.startsWith(QLatin1String("/dev/")))
            return QString();
        if (source.startsWith(QLatin1String("/dev/mapper/"))) {
            const QString dm = m_byDmName.value(source.mid(12));
            if (!dm.isEmpty())
                return dm;
        }
        QString name = source.section(QLatin1Char('/'), -1);
        if (!m_byName.contains(name))
            name = QFileInfo(QFileInfo(source).canonicalFilePath()).fileName();
        return m_byName.contains(name) ? name : QString();
    }

    // The physical disk under a device: a partition's disk; through slaves/ for a mapped
    // device (the first slave in name order when it spans several).
    QString WholeDisk(const QString& name, bool& mapped, int depth = 0) const
    {
        const BlockDevice* device = Find(name);
        if (!device || depth > 16)
            return name;
        if (!device->parent.isEmpty())
            return WholeDisk(device->parent, mapped, depth + 1);
        if (device->slaves.isEmpty())
            return name;
        mapped = true;
        return WholeDisk(device->slaves.first(), mapped, depth + 1);
    }

private:
    void Add(const BlockDevice& device, const QString& dev)
    {
        m_byName.insert(device.name, device);
        if (!dev.isEmpty())
            m_byDev.insert(dev, device.name);
    }

    QString m_block;
    QStringList m_disks;
    QMap<QString, BlockDevice> m_byName;
    QHash<QString, QString> m_byDev;
    QHash<QString, QString> m_byDmName;
};

QHash<QString, QString> ReadLabels(const QString& folder)
{
    QHash<QString, QString> labels; // device name -> label
    const QDir dir(folder);
    for (const QFileInfo& link : dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = link.symLinkTarget();
        if (!target.isEmpty())
            labels.insert(QFileInfo(target).fileName(), DecodeLabel(link.fileName()));
    }
    return labels;
}

// A name a person recognises when the file system has no label: the mount point's last
// folder, or "File System" for the root.
QString NameFromMountPoint(const QString& mountPoint)
{
    if (mountPoint == QLatin1String("/"))
        return QStringLiteral("File System");
    return mountPoint.section(QLatin1Char('/'), -1);
}

// The bus a disk hangs on, read from where its sysfs entry lives.
QString Protocol(const QString& disk, const QString& sysfsPath, const BlockDevice& device)
{
    if (disk.startsWith(QLatin1String("loop")))
        return QStringLiteral("Disk Image");
    if (!device.dmName.isEmpty())
        return QStringLiteral("Device Mapper");
    if (disk.startsWith(QLatin1String("md")))
        return QStringLiteral("RAID");
    const QString path = QFileInfo(sysfsPath).canonicalFilePath();
    struct Bus
    {
        const char* marker;
        const char* name;
    };
    static const Bus buses[] = {{"/usb", "USB"},           {"/thunderbolt", "Thunderbolt"},
                                {"/firewire", "FireWire"}, {"/nvme", "NVMe"},
                                {"/mmc", "SD/MMC"},        {"/virtio", "VirtIO"},
                                {"/ata", "SATA"},          {"/xen", "Xen"},
                                {"/host", "SCSI"},         {"/nbd", "Network"}};
    for (const Bus& bus : buses) {
        if (path.contains(QLatin1String(bus.marker)))
            return QLatin1String(bus.name);
    }
    if (disk.startsWith(QLatin1String("nvme")))
        return QStringLiteral("NVMe");
    if (disk.startsWith(QLatin1String("mmcblk")))
        return QStringLiteral("SD/MMC");
    return QStringLiteral("Unknown");
}

// The disk's maker and model as the drive reports them; generic vendor texts (a PCI id,
// "ATA") say nothing to a person and are left out.
QString MediaName(const QString& sysfsPath, const BlockDevice& device, const QString& protocol)
{
    if (device.name.startsWith(QLatin1String("loop"))) {
        const QString backing = ReadValue(sysfsPath + QStringLiteral("/loop/backing_file"));
        return backing.isEmpty() ? QStringLiteral("Disk Image")
                                 : QStringLiteral("Disk Image (%1)").arg(QFileInfo(backing).fileName());
    }
    if (!device.dmName.isEmpty())
        return device.dmName;
    QString vendor = ReadValue(sysfsPath + QStringLiteral("/device/vendor"));
    const QString model = ReadValue(sysfsPath + QStringLiteral("/device/model"));
    if (vendor.startsWith(QLatin1String("0x")) || vendor == QLatin1String("ATA"))
        vendor.clear();
    QString name = model;
    if (!vendor.isEmpty() && !model.startsWith(vendor, Qt::CaseInsensitive))
        name = (vendor + QLatin1Char(' ') + model).trimmed();
    if (name.isEmpty())
        name = ReadValue(sysfsPath + QStringLiteral("/device/name")); // SD cards
    if (!name.isEmpty())
        return name;
    if (protocol == QLatin1String("VirtIO"))
        return QStringLiteral("VirtIO Block Device");
    if (protocol == QLatin1String("Unknown"))
        return device.name;
    return protocol + QStringLiteral(" Disk");
}

} // namespace

LinuxVolumeDiscovery::LinuxVolumeDiscovery() : LinuxVolumeDiscovery(LinuxVolumeSources()) {}

LinuxVolumeDiscovery::LinuxVolumeDiscovery(LinuxVolumeSources sources) : m_sources(std::move(sources))
{
    if (!m_sources.spaceOf)
        m_sources.spaceOf = StatvfsSpace;
    if (!m_sources.canWrite)
        m_sources.canWrite = AccessWritable;
    if (m_sources.homePath.isEmpty())
        m_sources.homePath = qEnvironmentVariable("HOME");
}

QVector<LinuxMountedVolume> LinuxVolumeDiscovery::MountedVolumes() const
{
    const BlockTable table(m_sources.sysRoot);
    const QVector<MountEntry> mounts = ReadMountTable(m_sources.mountTable);
    const QHash<QString, QString> labels = ReadLabels(m_sources.labelFolder);
    const MountEntry* home = m_sources.homePath.isEmpty() ? nullptr : MountHolding(mounts, m_sources.homePath);
    const QString homeMount = home ? home->mountPoint : QString();

    // One entry per device: its mount of the whole file system (root "/") when there is one.
    QMap<QString, int> chosen;
    for (int i = 0; i < mounts.size(); ++i) {
        const MountEntry& entry = mounts[i];
        if (entry.readOnly)
            continue;
        const QString device = table.Resolve(entry.majorMinor, entry.source);
        if (device.isEmpty())
            continue;
        const auto it = chosen.find(device);
        if (it == chosen.end())
            chosen.insert(device, i);
        else if (mounts[it.value()].root != QLatin1String("/") && entry.root == QLatin1String("/"))
            it.value() = i;
    }
    QMap<int, QString> inTableOrder;
    for (auto it = chosen.begin(); it != chosen.end(); ++it)
        inTableOrder.insert(it.value(), it.key());

    QVector<LinuxMountedVolume> volumes;
    for (auto it = inTableOrder.begin(); it != inTableOrder.end(); ++it) {
        const MountEntry& entry = mounts[it.key()];
        LinuxMountedVolume volume;
        volume.device = it.value();
        volume.wholeDisk = table.WholeDisk(volume.device, volume.mapped);
        const BlockDevice* device = table.Find(volume.device);
        PARTITIONINFO& record = volume.volume;
        record.deviceNode = device && !device->dmName.isEmpty() ? QStringLiteral("/dev/mapper/") + device->dmName
                                                                : QStringLiteral("/dev/") + volume.device;
        record.volumeName = labels.value(volume.device, NameFromMountPoint(entry.mountPoint));
        record.fileSystem = entry.fileSystem;
        record.mountPoint = entry.mountPoint;
        if (!m_sources.spaceOf(entry.mountPoint, record.totalSize, record.freeSpace))
            continue;
        // Where the user cannot write the root of the volume that holds the home folder,
        // the home folder stands for it, so that filler files go where the user may write.
        if (entry.mountPoint == homeMount && !m_sources.canWrite(entry.mountPoint))
            record.mountPoint = m_sources.homePath;
        volumes.append(volume);
    }
    return volumes;
}

bool LinuxVolumeDiscovery::IsMounted(const QString& folder) const
{
    const QString wanted = QDir::cleanPath(folder);
    const QVector<MountEntry> mounts = ReadMountTable(m_sources.mountTable);
    for (const MountEntry& entry : mounts) {
        if (entry.mountPoint == wanted)
            return true;
    }
    return false;
}

void LinuxVolumeDiscovery::CreateDisklist(GetVolumes& volumes)
{
    const QVector<LinuxMountedVolume> mounted = MountedVolumes();
    for (const LinuxMountedVolume& volume : mounted) {
        if (!volume.mapped)
            continue;
        volumes.EmptyVolumeList();
        volumes.AppendVolumeCopy(volume.volume);
        volumes.AppendCoreStorage(volume.wholeDisk, volumes.TakeVolumeList());
    }

    const BlockTable table(m_sources.sysRoot);
    for (const QString& disk : table.Disks()) {
        const QString path = table.DiskPath(disk);
        const qint64 size = ReadValue(path + QStringLiteral("/size")).toLongLong() * 512;
        if (size <= 0)
            continue; // unused loop devices, empty card readers
        const BlockDevice& device = *table.Find(disk);
        const QString protocol = Protocol(disk, path, device);
        // Disk images, read-only media and devices mapped onto other disks are never offered.
        const bool candidate = protocol != QLatin1String("Disk Image") &&
                               ReadValue(path + QStringLiteral("/ro")) != QLatin1String("1") && device.slaves.isEmpty();
        volumes.EmptyVolumeList();
        bool listed = false;
        if (candidate) {
            for (const LinuxMountedVolume& volume : mounted) {
                if (volume.mapped || volume.wholeDisk != disk)
                    continue;
                volumes.AppendVolumeCopy(volume.volume);
                listed = true;
            }
            if (volumes.AppendContainerVolumes(volumes.CoreStorageList(), disk))
                listed = true;
        }
        volumes.CreateDiskInfolist(disk, QStringLiteral("/dev/") + disk, MediaName(path, device, protocol), protocol,
                                   size, listed, volumes.TakeVolumeList());
    }
}
