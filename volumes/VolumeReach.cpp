#include "VolumeReach.h"

#include "LinuxVolumeReach.h"
#include "MacVolumeReach.h"

#include <QDirIterator>
#include <QFileInfo>

std::unique_ptr<VolumeReachProbe> CreateVolumeReachProbe(PlatformKind platform)
{
    if (platform == PlatformKind::MacOS)
        return std::make_unique<MacVolumeReach>();
    return std::make_unique<LinuxVolumeReach>();
}

void ReachClassifier::Note(ReachConcern concern, const VolumeReach& volume, const QString& item)
{
    for (ReachNotice& notice : m_notices) {
        if (notice.concern == concern && notice.mountPoint == volume.mountPoint) {
            notice.items << item;
            return;
        }
    }
    m_notices.append({concern, volume.mountPoint, volume.fileSystem, QStringList(item)});
}

bool ReachClassifier::FolderSharesExtents(const QString& folder)
{
    // Links are not followed: what they point to is not erased.
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    for (int seen = 0; it.hasNext() && seen < kFolderFileLimit; ++seen) {
        it.next();
        if (!it.fileInfo().isSymLink() && m_probe.SharesExtents(it.filePath()))
            return true;
    }
    return false;
}

void ReachClassifier::AddItem(const QString& path, ItemKind kind)
{
    const QString key = m_probe.VolumeKey(path);
    if (key.isEmpty())
        return; // gone or unreadable: the erasure reports it
    auto it = m_volumes.find(key);
    if (it == m_volumes.end())
        it = m_volumes.insert(key, m_probe.Volume(path));
    const VolumeReach& volume = it.value();
    for (ReachConcern concern : volume.concerns) {
        // Filling the unused space is what reaches a copy-on-write volume's old blocks.
        if (kind == UnusedSpace && concern == ReachConcern::CopyOnWrite)
            continue;
        Note(concern, volume, path);
    }
    if (kind != UnusedSpace && volume.sharedExtentsPossible) {
        const QFileInfo info(path);
        const bool shared = info.isSymLink() ? false
                            : info.isDir()   ? FolderSharesExtents(path)
                            : info.isFile()  ? m_probe.SharesExtents(path)
                                             : false;
        if (shared)
            Note(ReachConcern::SharedExtents, volume, path);
    }
}

void ReachClassifier::AddJobs(const APPWIPINGINFO* jobs)
{
    for (const APPWIPINGINFO* job = jobs; job; job = job->next) {
        if (job->wipeType == APPWIPINGINFO::File)
            AddItem(job->itemPath, File);
        else if (job->wipeType == APPWIPINGINFO::Folder)
            AddItem(job->itemPath, Folder);
        else if (job->wipeType == APPWIPINGINFO::UnusedSpace)
            AddItem(job->itemPath, UnusedSpace);
    }
}

QString ReachClassifier::FillerFolder(const QString& mountPoint) const
{
    if (QFileInfo(mountPoint).isWritable())
        return mountPoint;
    for (const ReachNotice& notice : m_notices) {
        if (notice.concern == ReachConcern::CopyOnWrite && notice.mountPoint == mountPoint)
            return QFileInfo(notice.items.first()).absolutePath();
    }
    return mountPoint;
}

QStringList ReachClassifier::CopyOnWriteVolumes() const
{
    QStringList volumes;
    for (const ReachNotice& notice : m_notices) {
        if (notice.concern == ReachConcern::CopyOnWrite && !volumes.contains(notice.mountPoint))
            volumes << notice.mountPoint;
    }
    return volumes;
}

QString ReachNoticeText(const ReachNotice& notice)
{
    const QString volume = QStringLiteral("%1 (%2)").arg(notice.mountPoint, notice.fileSystem);
    switch (notice.concern) {
    case ReachConcern::CopyOnWrite:
        return QStringLiteral("%1 is copy-on-write: it writes changed data to new places, so overwriting a file "
                              "leaves its old data in the volume's unused space. Erase this volume's unused space "
                              "right after the files.%2")
            .arg(volume, notice.fileSystem == QLatin1String("btrfs")
                             ? QStringLiteral(" Files of a few KiB or less live inside btrfs's own metadata, "
                                              "which neither reaches.")
                             : QString());
    case ReachConcern::SharedExtents:
        return QStringLiteral("On %1 these files share data with another file (a reflinked copy or a snapshot): "
                              "overwriting gives them new blocks and the shared data stays with the other file. "
                              "Erase the other copies too, then the volume's unused space.")
            .arg(volume);
    case ReachConcern::Flash:
        return QStringLiteral("%1 is on flash memory or on a device of unknown kind: the device may keep old copies "
                              "of what is overwritten where no write reaches. Erase the volume's unused space "
                              "afterwards and let the device discard it (Discard in the settings menu).")
            .arg(volume);
    case ReachConcern::Network:
        return QStringLiteral("%1 is a network or FUSE file system: a server or another program stores the data "
                              "and may keep copies or snapshots that overwriting from here cannot reach.")
            .arg(volume);
    case ReachConcern::RamBacked:
        return QStringLiteral("%1 is held in memory: its data is gone when it is unmounted or the computer "
                              "restarts, except what was swapped out to disk.")
            .arg(volume);
    case ReachConcern::Encrypted:
        return QStringLiteral("%1 is on an encrypted device: the overwrite reaches only ciphertext, which is already "
                              "unreadable without the key.")
            .arg(volume);
    case ReachConcern::DataJournal:
        return QStringLiteral("%1 journals file data: earlier copies of the data stay in the journal until it is "
                              "reused, and overwriting does not reach them.")
            .arg(volume);
    }
    return QString();
}

QStringList ReachNoticeLines(const QVector<ReachNotice>& notices)
{
    constexpr int kItemsShown = 10;
    QStringList lines;
    for (const ReachNotice& notice : notices) {
        lines << QStringLiteral("warning: ") + ReachNoticeText(notice);
        for (int i = 0; i < notice.items.size() && i < kItemsShown; ++i)
            lines << QStringLiteral("    ") + notice.items.at(i);
        if (notice.items.size() > kItemsShown)
            lines << QStringLiteral("    ... and %1 more").arg(notice.items.size() - kItemsShown);
    }
    return lines;
}
