// The machine's physical disks with their mounted volumes, built once at start-up, and the
// CoreStorage / APFS container lists (on Linux: mapped devices) that feed them. What is
// read from the system comes from the platform's VolumeDiscovery.
#pragma once

#include "Records.h"

#include <QString>

class VolumeDiscovery;

class GetVolumes
{
public:
    GetVolumes() = default;
    ~GetVolumes();
    GetVolumes(const GetVolumes&) = delete;
    GetVolumes& operator=(const GetVolumes&) = delete;

    // Builds every list for the platform this program runs on. Always true.
    bool CreateDisklist();
    // Builds every list with the given discovery (tests choose the platform).
    bool CreateDisklist(VolumeDiscovery& discovery);
    // The macOS container steps on their own (run first by the macOS discovery).
    bool CreateCoreStorageList();
    bool CreateAPFSContainerList();

    // The value of a key-value line: the text after the key, trimmed; the whole line,
    // trimmed, when the key does not occur.
    static QString TrimString(const QString& key, const QString& line);
    // The byte count of a size text such as "500.1 GB (500107862016 Bytes) (...)"; 0 when
    // it holds none.
    static qint64 GetDiskInfoSize(const QString& value);

    // Appends a volume to the list being built; the flag is unused.
    bool CreateVolumeInfoList(const QString& deviceNode, const QString& volumeName, const QString& fileSystem,
                              const QString& mountPoint, qint64 totalSize, qint64 freeSpace, bool);
    // Appends a disk that takes over `partitionList`.
    bool CreateDiskInfolist(const QString& diskName, const QString& deviceNode, const QString& mediaName,
                            const QString& protocol, qint64 totalSize, bool listed, PARTITIONINFO* partitionList);
    // Frees the CoreStorage nodes, the APFS nodes and the disks, each with its volumes.
    bool FreeGetVolumesInfo();

    // Building blocks for the discoveries.
    void AppendVolumeCopy(const PARTITIONINFO& volume);
    // Appends copies of the volumes of every container on `wholeDisk`; true when any.
    bool AppendContainerVolumes(CONTAINERINFO* list, const QString& wholeDisk);
    // Frees volumes appended but never handed over, and starts an empty list.
    void EmptyVolumeList();
    // Hands the volume list being built over to the caller.
    PARTITIONINFO* TakeVolumeList();
    void AppendCoreStorage(const QString& wholeDisk, PARTITIONINFO* partitionList);
    void AppendAPFSContainer(const QString& wholeDisk, PARTITIONINFO* partitionList);

    DISKINFO* DiskList() const { return m_diskHead; }
    CONTAINERINFO* CoreStorageList() const { return m_coreStorageHead; }
    CONTAINERINFO* APFSContainerList() const { return m_apfsHead; }

private:
    PARTITIONINFO* m_volumeHead = nullptr;
    PARTITIONINFO* m_volumeLast = nullptr;
    CONTAINERINFO* m_coreStorageHead = nullptr;
    CONTAINERINFO* m_coreStorageLast = nullptr;
    CONTAINERINFO* m_apfsHead = nullptr;
    CONTAINERINFO* m_apfsLast = nullptr;
    DISKINFO* m_diskHead = nullptr;
    DISKINFO* m_diskLast = nullptr;
};

// The program's one instance.
extern GetVolumes m_getvolumes;
