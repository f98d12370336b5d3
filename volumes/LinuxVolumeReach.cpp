#include "LinuxVolumeReach.h"

#include "LinuxMountTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

namespace {

constexpr int kMaxDepth = 8;

QString ReadValue(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

QString DeviceNumber(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2").arg(major(st.st_dev)).arg(minor(st.st_dev));
}

void Add(VolumeReach& into, ReachConcern concern)
{
    if (!into.Has(concern))
        into.concerns.append(concern);
}

} // namespace

LinuxVolumeReach::LinuxVolumeReach(QString sysRoot, QString mountTable)
    : m_sysRoot(std::move(sysRoot)), m_mountTable(std::move(mountTable))
{
}

QVector<ReachConcern> LinuxVolumeReach::FileSystemConcerns(const QString& fileSystem, const QString& options)
{
    static const QStringList copyOnWrite = {"btrfs", "zfs", "bcachefs", "f2fs", "nilfs2"};
    static const QStringList network = {"nfs",  "nfs4",      "cifs", "smb3",  "smbfs",  "ncpfs",   "9p",
                                        "ceph", "glusterfs", "afs",  "davfs", "lustre", "fuseblk", "fuse"};
    static const QStringList memory = {"tmpfs", "ramfs"};
    QVector<ReachConcern> concerns;
    if (copyOnWrite.contains(fileSystem))
        concerns << ReachConcern::CopyOnWrite;
    if (network.contains(fileSystem) || fileSystem.startsWith(QLatin1String("fuse.")))
        concerns << ReachConcern::Network;
    if (memory.contains(fileSystem))
        concerns << ReachConcern::RamBacked;
    if (fileSystem.startsWith(QLatin1String("ext")) &&
        options.split(QLatin1Char(',')).contains(QStringLiteral("data=journal")))
        concerns << ReachConcern::DataJournal;
    return concerns;
}

QString LinuxVolumeReach::DeviceByNumber(const QString& majorMinor) const
{
    const QFileInfo link(m_sysRoot + QStringLiteral("/dev/block/") + majorMinor);
    if (!link.exists())
        return QString();
    return QFileInfo(link.canonicalFilePath()).fileName();
}

// Follows a block device down to the disks that hold it: a partition to its disk, a mapped
// device (dm, md) to its slaves, a loop device to the volume of its backing file.
void LinuxVolumeReach::ReachDevice(const QString& name, int depth, VolumeReach& into)
{
    const QString dir = m_sysRoot + QStringLiteral("/class/block/") + name;
    if (depth > kMaxDepth || name.isEmpty() || !QFileInfo::exists(dir)) {
        Add(into, ReachConcern::Flash); // a device we cannot follow is of unknown kind
        return;
    }
    if (QFileInfo::exists(dir + QStringLiteral("/partition"))) {
        ReachDevice(QFileInfo(QFileInfo(dir).canonicalFilePath()).dir().dirName(), depth + 1, into);
        return;
    }
    if (ReadValue(dir + QStringLiteral("/dm/uuid")).startsWith(QLatin1String("CRYPT-")))
        Add(into, ReachConcern::Encrypted);
    const QStringList slaves =
        QDir(dir + QStringLiteral("/slaves")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    if (!slaves.isEmpty()) {
        for (const QString& slave : slaves)
            ReachDevice(slave, depth + 1, into);
        return;
    }
    if (name.startsWith(QLatin1String("loop"))) {
        QString backing = ReadValue(dir + QStringLiteral("/loop/backing_file"));
        backing.remove(QStringLiteral(" (deleted)"));
        if (backing.isEmpty()) {
            Add(into, ReachConcern::Flash);
            return;
        }
        // What the backing file's volume keeps, the image keeps too.
        const VolumeReach outer = VolumeAt(backing, depth + 1);
        for (ReachConcern concern : outer.concerns)
            Add(into, concern);
        return;
    }
    if (name.startsWith(QLatin1String("zram")) || name.startsWith(QLatin1String("ram"))) {
        Add(into, ReachConcern::RamBacked);
        return;
    }
    if (ReadValue(dir + QStringLiteral("/queue/rotational")) != QLatin1String("1"))
        Add(into, ReachConcern::Flash);
}

VolumeReach LinuxVolumeReach::VolumeAt(const QString& path, int depth)
{
    VolumeReach reach;
    const QFileInfo info(path);
    const QString canonical = QFileInfo(info.isSymLink() ? info.absolutePath() : path).canonicalFilePath();
    const QVector<MountEntry> mounts = ReadMountTable(m_mountTable);
    const QString number = DeviceNumber(canonical);
    // The mount of the path's own device that holds it; the longest mount point otherwise
    // (a btrfs subvolume's files carry a device number of their own).
    const MountEntry* mount = nullptr;
    for (const MountEntry& entry : mounts) {
        if (entry.majorMinor == number && MountHolding({entry}, canonical) &&
            (!mount || entry.mountPoint.size() >= mount->mountPoint.size()))
            mount = &entry;
    }
    if (!mount)
        mount = MountHolding(mounts, canonical);
    if (!mount)
        return reach;
    reach.mountPoint = mount->mountPoint;
    reach.fileSystem = mount->fileSystem;
    reach.concerns = FileSystemConcerns(mount->fileSystem, mount->options);
    static const QStringList reflinks = {"xfs", "btrfs", "ocfs2", "bcachefs"};
    reach.sharedExtentsPossible = reflinks.contains(mount->fileSystem);
    if (reach.Has(ReachConcern::Network) || reach.Has(ReachConcern::RamBacked))
        return reach;
    QString device = DeviceByNumber(mount->majorMinor);
    if (device.isEmpty() && mount->source.startsWith(QLatin1String("/dev/")))
        device = QFileInfo(QFileInfo(mount->source).canonicalFilePath()).fileName();
    if (!device.isEmpty())
        ReachDevice(device, depth, reach);
    return reach;
}

VolumeReach LinuxVolumeReach::Volume(const QString& path)
{
    return VolumeAt(path, 0);
}

QString LinuxVolumeReach::VolumeKey(const QString& path)
{
    return DeviceNumber(path);
}

bool LinuxVolumeReach::SharesExtents(const QString& path)
{
#ifdef __linux__
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    constexpr unsigned kExtents = 64;
    union {
        struct fiemap map;
        char bytes[sizeof(struct fiemap) + kExtents * sizeof(struct fiemap_extent)];
    } request;
    bool shared = false;
    for (__u64 start = 0;;) {
        memset(&request, 0, sizeof(request));
        request.map.fm_start = start;
        request.map.fm_length = FIEMAP_MAX_OFFSET - start;
        request.map.fm_extent_count = kExtents;
        if (::ioctl(fd, FS_IOC_FIEMAP, &request.map) != 0 || request.map.fm_mapped_extents == 0)
            break;
        const struct fiemap_extent* extents = request.map.fm_extents;
        const unsigned count = request.map.fm_mapped_extents;
        for (unsigned i = 0; i < count && !shared; ++i)
            shared = extents[i].fe_flags & FIEMAP_EXTENT_SHARED;
        const struct fiemap_extent& last = extents[count - 1];
        if (shared || (last.fe_flags & FIEMAP_EXTENT_LAST))
            break;
        start = last.fe_logical + last.fe_length;
    }
    ::close(fd);
    return shared;
#else
    Q_UNUSED(path);
    return false;
#endif
}
