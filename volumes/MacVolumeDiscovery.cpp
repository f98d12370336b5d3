#include "MacVolumeDiscovery.h"

#include "GetVolumes.h"
#include "ShellRunner.h"

#include <QVector>

#include <functional>
#include <initializer_list>

namespace {

// One key of a `diskutil info` reading and the slot its value goes to. Newer systems
// print "Media Read-Only:" and "Volume Read-Only:" where older ones print
// "Read-Only Media:" and "Read-Only Volume:"; both spellings fill the same slot.
struct KeyRule
{
    const char* key;
    int slot;
};

// Calls `handle` for each line of `text`; a last fragment without a line feed counts.
void ForEachLine(const QString& text, const std::function<void(const QString&)>& handle)
{
    int start = 0;
    while (start < text.size()) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        handle(text.mid(start, end - start));
        start = end + 1;
    }
}

// Reads key-value lines: the first rule whose key occurs in a line after column 0
// decides; a key met on several lines keeps the last value.
QVector<QString> ReadKeys(const QString& text, std::initializer_list<KeyRule> rules, int slotCount)
{
    QVector<QString> values(slotCount);
    ForEachLine(text, [&](const QString& line) {
        for (const KeyRule& rule : rules) {
            const QString key = QLatin1String(rule.key);
            if (line.indexOf(key) > 0) {
                values[rule.slot] = GetVolumes::TrimString(key, line);
                break;
            }
        }
    });
    return values;
}

QString CutToLine(const QString& text)
{
    const int end = text.indexOf(QLatin1Char('\n'));
    return end < 0 ? text : text.left(end);
}

// The N of a heading "... (N found)"; the working text moves past the "(".
int ReadCount(QString& text)
{
    const int open = text.indexOf(QLatin1Char('('));
    if (open <= 0)
        return 0;
    text = text.mid(open + 1);
    const int blank = text.indexOf(QLatin1Char(' '));
    return (blank > 0 ? text.left(blank) : text).toInt();
}

// The "Part of Whole:" of a device, or the device itself when the line is missing.
QString WholeDiskOf(const QString& device)
{
    const QString out = OnIterateBuffer(QStringLiteral("Diskutil info ") + ShellQuote(device) +
                                        QStringLiteral(" | grep -Ei \"Part of Whole:\""));
    if (out.indexOf(QLatin1String("Part of Whole:")) > 0)
        return GetVolumes::TrimString(QStringLiteral("Part of Whole:"), out);
    return device;
}

enum DiskSlot
{
    DiskDeviceNode,
    DiskMediaName,
    DiskProtocol,
    DiskSize,
    DiskReadOnly,
    DiskVirtual,
    DiskSlotCount
};

enum VolumeSlot
{
    VolDeviceNode,
    VolName,
    VolFileSystem,
    VolTotal,
    VolFree,
    VolPersonality,
    VolWholeDisk,
    VolMountPoint,
    VolReadOnlyMedia,
    VolReadOnlyVolume,
    VolSlotCount
};

// Every key a volume's `diskutil info` is read with. No line holds two of them, so one
// table serves each step; the grep pattern of the step decides which lines it sees.
QVector<QString> VolumeInfo(const QString& device, const char* grepPattern, bool* printedNothing = nullptr)
{
    const QString out =
        OnIterateBuffer(QStringLiteral("diskutil info ") + ShellQuote(device) + QStringLiteral(" | grep -Ei \"") +
                        QLatin1String(grepPattern) + QLatin1Char('"'));
    if (printedNothing)
        *printedNothing = out.isEmpty();
    return ReadKeys(out,
                    {{"Device Node:", VolDeviceNode},
                     {"Volume Name:", VolName},
                     {"Partition Type:", VolFileSystem},
                     {"Total Size:", VolTotal},
                     {"Disk Size:", VolTotal},
                     {"Container Total Space:", VolTotal},
                     {"Volume Free Space:", VolFree},
                     {"Volume Available Space:", VolFree},
                     {"Container Free Space:", VolFree},
                     {"File System Personality:", VolPersonality},
                     {"Mount Point:", VolMountPoint},
                     {"Read-Only Media:", VolReadOnlyMedia},
                     {"Media Read-Only:", VolReadOnlyMedia},
                     {"Read-Only Volume:", VolReadOnlyVolume},
                     {"Volume Read-Only:", VolReadOnlyVolume},
                     {"Part of Whole:", VolWholeDisk}},
                    VolSlotCount);
}

// Appends a volume read from `diskutil info` output, the personality replacing the
// partition type when present.
void AppendVolume(GetVolumes& volumes, const QVector<QString>& v, const QString& mountPoint)
{
    const QString fileSystem = v[VolPersonality].isEmpty() ? v[VolFileSystem] : v[VolPersonality];
    volumes.CreateVolumeInfoList(v[VolDeviceNode], v[VolName], fileSystem, mountPoint,
                                 GetVolumes::GetDiskInfoSize(v[VolTotal]), GetVolumes::GetDiskInfoSize(v[VolFree]),
                                 true);
}

void AddDisk(GetVolumes& volumes, const QString& line)
{
    bool candidate = !(line.indexOf(QLatin1String("synthesized")) > 0 || line.indexOf(QLatin1String("disk image")) > 0);

    QString diskName = line;
    const int diskAt = diskName.indexOf(QLatin1String("disk"));
    if (diskAt > 0)
        diskName = diskName.mid(diskAt);
    const int blank = diskName.indexOf(QLatin1Char(' '));
    if (blank > 0)
        diskName = diskName.left(blank);

    const QString info = OnIterateBuffer(QStringLiteral("Diskutil info ") + ShellQuote(diskName) +
                                         QStringLiteral(" | grep -Ei \"Virtual:|Media Name|Device Node|Protocol|"
                                                        "Read-Only Media|Media Read-Only|Total Size|Disk Size\""));
    const QVector<QString> d = ReadKeys(info,
                                        {{"Device Node:", DiskDeviceNode},
                                         {"Device / Media Name:", DiskMediaName},
                                         {"Protocol:", DiskProtocol},
                                         {"Total Size:", DiskSize},
                                         {"Disk Size:", DiskSize},
                                         {"Read-Only Media:", DiskReadOnly},
                                         {"Media Read-Only:", DiskReadOnly},
                                         {"Virtual:", DiskVirtual}},
                                        DiskSlotCount);
    if (d[DiskProtocol].toUpper() == QLatin1String("DISK IMAGE") || d[DiskReadOnly].toUpper() == QLatin1String("YES") ||
        d[DiskVirtual].toUpper() == QLatin1String("YES"))
        candidate = false;

    volumes.EmptyVolumeList();
    bool listed = false;
    if (candidate) {
        const QString df = OnIterateBuffer(QStringLiteral("df -h | grep -Ei ") + ShellQuote(diskName));
        listed = !df.isEmpty();
        ForEachLine(df, [&](const QString& dfLine) {
            QString device = dfLine.section(QLatin1Char(' '), 0, 0);
            const int at = device.indexOf(QLatin1String("disk"));
            if (at > 0)
                device = device.mid(at);
            // The mount point runs to the end of the line, blanks included.
            const int slash = dfLine.indexOf(QLatin1Char('/'), qMax(0, dfLine.indexOf(QLatin1String("disk"))));
            const QString mountPoint = slash < 0 ? QString() : dfLine.mid(slash);

            const QVector<QString> v =
                VolumeInfo(device, "Device Node:|Volume Name:|Part of Whole:|File System Personality:|"
                                   "Partition Type:|Total Size:|Disk Size:|Volume Free Space:|Volume Available Space:|"
                                   "Container Total Space:|Container Free Space:");
            // grep also matches disk10 for disk1: only the disk's own volumes count.
            if (v[VolWholeDisk] == diskName)
                AppendVolume(volumes, v, mountPoint);
        });
    }
    if (volumes.AppendContainerVolumes(volumes.CoreStorageList(), diskName))
        listed = true;
    if (volumes.AppendContainerVolumes(volumes.APFSContainerList(), diskName))
        listed = true;

    volumes.CreateDiskInfolist(diskName, d[DiskDeviceNode], d[DiskMediaName], d[DiskProtocol],
                               GetVolumes::GetDiskInfoSize(d[DiskSize]), listed, volumes.TakeVolumeList());
}

} // namespace

void MacVolumeDiscovery::CreateDisklist(GetVolumes& volumes)
{
    CreateAPFSContainerList(volumes);
    CreateCoreStorageList(volumes);
    ForEachLine(OnIterateBuffer(QStringLiteral("Diskutil list | grep dev")),
                [&](const QString& line) { AddDisk(volumes, line); });
}

void MacVolumeDiscovery::CreateCoreStorageList(GetVolumes& volumes)
{
    QString text = OnIterateBuffer(QStringLiteral("diskutil cs list"));
    if (!text.contains(QLatin1String("CoreStorage logical volume groups")))
        return;
    const int count = ReadCount(text);
    for (int turn = 0; turn < count; ++turn) {
        const QString physicalVolumeKey = QStringLiteral("Physical Volume");
        const int physical = text.indexOf(physicalVolumeKey);
        if (physical < 0)
            continue;
        text = text.mid(physical + physicalVolumeKey.size());
        const int disk = text.indexOf(QLatin1String("Disk"));
        if (disk < 0)
            continue;
        const QString physicalDisk = GetVolumes::TrimString(QStringLiteral("Disk:"), CutToLine(text.mid(disk)));
        const QString wholeDisk = WholeDiskOf(physicalDisk);

        volumes.EmptyVolumeList();
        if (wholeDisk.isEmpty())
            continue;
        const QString familyKey = QStringLiteral("Logical Volume Family");
        const int family = text.indexOf(familyKey);
        if (family < 0)
            continue;
        text = text.mid(family + familyKey.size());
        const QString logicalKey = QStringLiteral("Logical Volume");
        const int logical = text.indexOf(logicalKey);
        if (logical <= 0)
            continue;
        text = text.mid(logical + logicalKey.size());
        const int logicalDiskAt = text.indexOf(QLatin1String("Disk"));
        if (logicalDiskAt < 0)
            continue;
        const QString logicalDisk = GetVolumes::TrimString(QStringLiteral("Disk:"), CutToLine(text.mid(logicalDiskAt)));

        bool printedNothing = false;
        const QVector<QString> v =
            VolumeInfo(logicalDisk,
                       "Device Node:|Mount Point:|Volume Name:|File System Personality:|Partition Type:|Total Size:|"
                       "Disk Size:|Volume Free Space:|Volume Available Space:",
                       &printedNothing);
        if (printedNothing)
            continue;
        AppendVolume(volumes, v, v[VolMountPoint]);
        volumes.AppendCoreStorage(wholeDisk, volumes.TakeVolumeList());
    }
}

void MacVolumeDiscovery::CreateAPFSContainerList(GetVolumes& volumes)
{
    QString home = qEnvironmentVariable("HOME");
    if (home.isEmpty() && CutToLine(OnIterateBuffer(QStringLiteral("whoami"))) == QLatin1String("root"))
        home = QStringLiteral("/private/var/root");

    QString text = OnIterateBuffer(QStringLiteral("diskutil apfs list"));
    if (!text.contains(QLatin1String("APFS Container")))
        return;
    const QString storeKey = QStringLiteral("APFS Physical Store Disk");
    const QString roleKey = QStringLiteral("APFS Volume Disk (Role):");
    const QString mountKey = QStringLiteral("Mount Point:");
    const int count = ReadCount(text);
    for (int turn = 0; turn < count; ++turn) {
        const QString physicalStoreKey = QStringLiteral("Physical Store");
        const int physical = text.indexOf(physicalStoreKey);
        if (physical < 0)
            continue;
        text = text.mid(physical + physicalStoreKey.size());
        const int storeAt = text.indexOf(storeKey);
        if (storeAt < 0)
            continue;
        const QString store = GetVolumes::TrimString(storeKey + QLatin1Char(':'), CutToLine(text.mid(storeAt)));
        const QString wholeDisk = WholeDiskOf(store);

        volumes.EmptyVolumeList();
        if (wholeDisk.isEmpty())
            continue;
        text = text.mid(storeAt);
        const int nextContainer = text.indexOf(QLatin1String("Container"));
        QString section = nextContainer < 0 ? text : text.left(nextContainer);

        while (!section.isEmpty()) {
            const int volumeAt = section.indexOf(QLatin1String("Volume"));
            if (volumeAt < 0)
                break;
            section = section.mid(volumeAt);
            const int roleAt = section.indexOf(roleKey);
            if (roleAt < 0)
                break;
            section = section.mid(roleAt);
            const QString role = GetVolumes::TrimString(roleKey, CutToLine(section));
            const bool qualifies =
                role.contains(QLatin1String("No specific role")) || role.contains(QLatin1String("Data"));
            const QString volumeDisk = role.section(QLatin1Char(' '), 0, 0);

            const int mountAt = section.indexOf(mountKey);
            if (mountAt < 0)
                break;
            section = section.mid(mountAt);
            const QString mountLine = CutToLine(section);
            const QString listedMount = GetVolumes::TrimString(mountKey, mountLine);
            section = section.mid(mountLine.size());

            if (listedMount != QLatin1String("Not Mounted") && qualifies) {
                const QVector<QString> v = VolumeInfo(
                    volumeDisk, "Device Node:|Mount Point:|Volume Name:|File System Personality:|Partition Type:|"
                                "Total Size:|Disk Size:|Read-Only Media:|Read-Only Volume:|Media Read-Only:|"
                                "Volume Read-Only:|Volume Free Space:|Volume Available Space:|Container Total Space:|"
                                "Container Free Space:");
                // The Data volume of a split system stands for the user's home, where the
                // user may write.
                const QString mountPoint =
                    v[VolMountPoint] == QLatin1String("/System/Volumes/Data") ? home : v[VolMountPoint];
                if (v[VolReadOnlyMedia] == QLatin1String("No") && v[VolReadOnlyVolume] == QLatin1String("No"))
                    AppendVolume(volumes, v, mountPoint);
            }
            const int nextVolume = section.indexOf(QLatin1String("Volume"));
            if (nextVolume < 0)
                break;
            section = section.mid(nextVolume);
        }
        volumes.AppendAPFSContainer(wholeDisk, volumes.TakeVolumeList());
    }
}

bool MacVolumeDiscovery::IsMounted(const QString& folder) const
{
    return !OnIterateBuffer(QStringLiteral("Diskutil info ") + ShellQuote(folder) +
                            QStringLiteral(" | grep -Ei \"Mounted:\""))
                .isEmpty();
}
