#include "GetVolumes.h"

#include "MacVolumeDiscovery.h"
#include "Platform.h"
#include "VolumeDiscovery.h"

GetVolumes m_getvolumes;

namespace {

template <typename T> void AppendAt(T*& head, T*& last, T* node)
{
    if (last)
        last->next = node;
    else
        head = node;
    last = node;
}

void FreeVolumes(PARTITIONINFO*& head)
{
    FreeNodes(head);
}

template <typename T> void FreeWithVolumes(T*& head)
{
    while (head) {
        T* next = head->next;
        FreeVolumes(head->partitionList);
        delete head;
        head = next;
    }
}

} // namespace

GetVolumes::~GetVolumes()
{
    FreeGetVolumesInfo();
}

bool GetVolumes::CreateDisklist()
{
    const auto discovery = CreateVolumeDiscovery(HostPlatform());
    return CreateDisklist(*discovery);
}

bool GetVolumes::CreateDisklist(VolumeDiscovery& discovery)
{
    discovery.CreateDisklist(*this);
    return true;
}

bool GetVolumes::CreateCoreStorageList()
{
    MacVolumeDiscovery::CreateCoreStorageList(*this);
    return true;
}

bool GetVolumes::CreateAPFSContainerList()
{
    MacVolumeDiscovery::CreateAPFSContainerList(*this);
    return true;
}

QString GetVolumes::TrimString(const QString& key, const QString& line)
{
    const int at = line.indexOf(key);
    if (at < 0)
        return line.trimmed();
    return line.mid(at + key.size()).trimmed();
}

qint64 GetVolumes::GetDiskInfoSize(const QString& value)
{
    const QString inner = value.mid(value.indexOf(QLatin1Char('(')) + 1);
    const int bytes = inner.indexOf(QLatin1String("Bytes"));
    if (bytes < 1)
        return 0;
    bool ok = false;
    const qint64 size = inner.left(bytes - 1).toLongLong(&ok);
    return ok ? size : 0;
}

bool GetVolumes::CreateVolumeInfoList(const QString& deviceNode, const QString& volumeName, const QString& fileSystem,
                                      const QString& mountPoint, qint64 totalSize, qint64 freeSpace, bool)
{
    auto* volume = new PARTITIONINFO;
    volume->deviceNode = deviceNode;
    volume->volumeName = volumeName;
    volume->fileSystem = fileSystem;
    volume->mountPoint = mountPoint;
    volume->totalSize = totalSize;
    volume->freeSpace = freeSpace;
    AppendAt(m_volumeHead, m_volumeLast, volume);
    return true;
}

bool GetVolumes::CreateDiskInfolist(const QString& diskName, const QString& deviceNode, const QString& mediaName,
                                    const QString& protocol, qint64 totalSize, bool listed,
                                    PARTITIONINFO* partitionList)
{
    auto* disk = new DISKINFO;
    disk->diskName = diskName;
    disk->deviceNode = deviceNode;
    disk->mediaName = mediaName;
    disk->protocol = protocol;
    disk->totalSize = totalSize;
    disk->listed = listed;
    disk->partitionList = partitionList;
    AppendAt(m_diskHead, m_diskLast, disk);
    return true;
}

bool GetVolumes::FreeGetVolumesInfo()
{
    FreeWithVolumes(m_coreStorageHead);
    m_coreStorageLast = nullptr;
    FreeWithVolumes(m_apfsHead);
    m_apfsLast = nullptr;
    FreeWithVolumes(m_diskHead);
    m_diskLast = nullptr;
    EmptyVolumeList();
    return true;
}

void GetVolumes::AppendVolumeCopy(const PARTITIONINFO& volume)
{
    CreateVolumeInfoList(volume.deviceNode, volume.volumeName, volume.fileSystem, volume.mountPoint, volume.totalSize,
                         volume.freeSpace, true);
}

bool GetVolumes::AppendContainerVolumes(CONTAINERINFO* list, const QString& wholeDisk)
{
    bool appended = false;
    for (CONTAINERINFO* node = list; node; node = node->next) {
        if (node->wholeDisk != wholeDisk)
            continue;
        for (PARTITIONINFO* volume = node->partitionList; volume; volume = volume->next) {
            AppendVolumeCopy(*volume);
            appended = true;
        }
    }
    return appended;
}

void GetVolumes::EmptyVolumeList()
{
    FreeVolumes(m_volumeHead);
    m_volumeLast = nullptr;
}

PARTITIONINFO* GetVolumes::TakeVolumeList()
{
    PARTITIONINFO* head = m_volumeHead;
    m_volumeHead = nullptr;
    m_volumeLast = nullptr;
    return head;
}

void GetVolumes::AppendCoreStorage(const QString& wholeDisk, PARTITIONINFO* partitionList)
{
    auto* node = new CONTAINERINFO;
    node->wholeDisk = wholeDisk;
    node->partitionList = partitionList;
    AppendAt(m_coreStorageHead, m_coreStorageLast, node);
}

void GetVolumes::AppendAPFSContainer(const QString& wholeDisk, PARTITIONINFO* partitionList)
{
    auto* node = new CONTAINERINFO;
    node->wholeDisk = wholeDisk;
    node->partitionList = partitionList;
    AppendAt(m_apfsHead, m_apfsLast, node);
}
