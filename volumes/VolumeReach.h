// What overwriting in place cannot reach on a volume: copy-on-write file systems, extents
// shared with other files, flash, network and memory-backed file systems, encryption, data
// journals. The platform's probe classifies each volume once (and, where files can share
// extents, each file); ReachClassifier turns a job list into notices that the confirmation
// dialog and korvane-erase only present.
#pragma once

#include "Platform.h"
#include "Records.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

enum class ReachConcern
{
    CopyOnWrite,   // new data goes to new blocks; the old ones stay free but unwritten
    SharedExtents, // the file's data is also another file's (reflink, snapshot)
    Flash,         // flash or unknown media: the device remaps writes
    Network,       // network or FUSE: a server or another program stores the data
    RamBacked,     // held in memory (tmpfs)
    Encrypted,     // on an encrypted device (dm-crypt, FileVault)
    DataJournal    // file data passes through the journal (ext4 data=journal)
};

// One volume as the probe sees it.
struct VolumeReach
{
    QString mountPoint;
    QString fileSystem;
    QVector<ReachConcern> concerns;
    bool sharedExtentsPossible = false; // worth asking each file (reflink-capable file systems)
    bool Has(ReachConcern concern) const { return concerns.contains(concern); }
};

class VolumeReachProbe
{
public:
    virtual ~VolumeReachProbe() = default;
    // The volume that holds `path` (an existing file, folder or mount point). `key` gets a
    // value that is equal for two paths on the same volume, so that callers ask once per volume.
    virtual VolumeReach Volume(const QString& path) = 0;
    // A cheap identity of the volume holding `path` (its device number); empty if unknown.
    virtual QString VolumeKey(const QString& path) = 0;
    // Whether the regular file at `path` shares any of its extents with another file.
    virtual bool SharesExtents(const QString& path) = 0;
};

std::unique_ptr<VolumeReachProbe> CreateVolumeReachProbe(PlatformKind platform);

// One thing to tell the user: a concern, the volume and the chosen items it touches.
struct ReachNotice
{
    ReachConcern concern = ReachConcern::CopyOnWrite;
    QString mountPoint;
    QString fileSystem;
    QStringList items;
};

class ReachClassifier
{
public:
    enum ItemKind
    {
        File,
        Folder,
        UnusedSpace
    };
    explicit ReachClassifier(VolumeReachProbe& probe) : m_probe(probe) {}

    // Classifies one chosen item; a volume is asked once, files of a folder only on a
    // volume where extents can be shared (at most `kFolderFileLimit` of them).
    void AddItem(const QString& path, ItemKind kind);
    // Every file, folder and unused-space job of a job list (property lists are macOS
    // preferences, removed without overwriting: nothing to say about them).
    void AddJobs(const APPWIPINGINFO* jobs);
    // The notices in the order their volumes were first met, copy-on-write first per volume.
    const QVector<ReachNotice>& Notices() const { return m_notices; }
    // The mount points of copy-on-write volumes that hold chosen files or folders: their
    // unused space is worth erasing right after.
    QStringList CopyOnWriteVolumes() const;
    // Where the filler files for a copy-on-write volume go: its mount point when this
    // process may write there, else the folder of the first chosen item on it.
    QString FillerFolder(const QString& mountPoint) const;

    static constexpr int kFolderFileLimit = 4096;

private:
    void Note(ReachConcern concern, const VolumeReach& volume, const QString& item);
    bool FolderSharesExtents(const QString& folder);

    VolumeReachProbe& m_probe;
    QHash<QString, VolumeReach> m_volumes;
    QVector<ReachNotice> m_notices;
};

// Plain words for a notice: what overwriting cannot reach there, and what helps. One line
// of text (the items are not repeated in it).
QString ReachNoticeText(const ReachNotice& notice);
// Notice, items and advice as lines for a terminal: "warning: ..." then the items indented.
QStringList ReachNoticeLines(const QVector<ReachNotice>& notices);
