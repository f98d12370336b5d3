#include "MacVolumeReach.h"

#include "GetVolumes.h"
#include "ShellRunner.h"

#include <QFile>

#include <sys/stat.h>

namespace {

// The value of the last line that holds `key` after column 0, as the discovery reads them.
QString KeyValue(const QString& text, const QString& key)
{
    QString value;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        if (line.indexOf(key) > 0)
            value = GetVolumes::TrimString(key, line);
    }
    return value;
}

} // namespace

VolumeReach MacVolumeReach::ParseDiskutilInfo(const QString& text)
{
    VolumeReach reach;
    reach.mountPoint = KeyValue(text, QStringLiteral("Mount Point:"));
    reach.fileSystem = KeyValue(text, QStringLiteral("Type (Bundle):"));
    const QString personality = KeyValue(text, QStringLiteral("File System Personality:"));
    if (reach.fileSystem.isEmpty())
        reach.fileSystem = personality;
    const auto yes = [](const QString& value) { return value.startsWith(QLatin1String("Yes"), Qt::CaseInsensitive); };
    if (reach.fileSystem.compare(QLatin1String("apfs"), Qt::CaseInsensitive) == 0 ||
        personality.contains(QLatin1String("APFS"), Qt::CaseInsensitive))
        reach.concerns << ReachConcern::CopyOnWrite;
    if (reach.fileSystem.contains(QLatin1String("fuse"), Qt::CaseInsensitive))
        reach.concerns << ReachConcern::Network;
    // "Info not available" (optical drives, disk images) is a medium of unknown kind.
    const QString solidState = KeyValue(text, QStringLiteral("Solid State:"));
    if (solidState.compare(QLatin1String("No"), Qt::CaseInsensitive) != 0)
        reach.concerns << ReachConcern::Flash;
    if (yes(KeyValue(text, QStringLiteral("Encrypted:"))) || yes(KeyValue(text, QStringLiteral("FileVault:"))))
        reach.concerns << ReachConcern::Encrypted;
    return reach;
}

VolumeReach MacVolumeReach::Volume(const QString& path)
{
    // "Filesystem 512-blocks Used Available Capacity Mounted on": the device is the first
    // field, the mount point all that follows the capacity.
    const QString df = OnIterateBuffer(QStringLiteral("df -P ") + ShellQuote(path)).section(QLatin1Char('\n'), 1, 1);
    const QString device = df.section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
    const int percent = df.indexOf(QLatin1Char('%'));
    const QString mountPoint = percent < 0 ? QString() : df.mid(percent + 1).trimmed();
    if (!device.startsWith(QLatin1String("/dev/"))) {
        // smbfs, nfs, afpfs, webdav: no disk of this machine holds the data.
        VolumeReach reach;
        reach.mountPoint = mountPoint;
        reach.fileSystem = device;
        if (!device.isEmpty())
            reach.concerns << ReachConcern::Network;
        return reach;
    }
    VolumeReach reach = ParseDiskutilInfo(OnIterateBuffer(QStringLiteral("diskutil info ") + ShellQuote(device)));
    if (reach.mountPoint.isEmpty())
        reach.mountPoint = mountPoint;
    return reach;
}

QString MacVolumeReach::VolumeKey(const QString& path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    return QString::number(static_cast<qulonglong>(st.st_dev));
}
