#include "VolumeListing.h"

#include "GetVolumes.h"
#include "SizeString.h"

#include <QStringList>
#include <QVector>

namespace {

// Left-aligned columns, two blanks apart; the size columns are aligned right.
QString FormatRows(const QVector<QStringList>& rows, const QString& indent)
{
    QVector<int> widths;
    for (const QStringList& row : rows) {
        widths.resize(qMax(widths.size(), row.size()));
        for (int i = 0; i < row.size(); ++i)
            widths[i] = qMax(widths[i], row[i].size());
    }
    QString text;
    for (const QStringList& row : rows) {
        QString line = indent;
        for (int i = 0; i < row.size(); ++i) {
            if (i > 0)
                line += QLatin1String("  ");
            line += i >= 3 ? row[i].rightJustified(widths[i]) : row[i].leftJustified(widths[i]);
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace

QString FormatVolumeListing(const DISKINFO* disks)
{
    QString text;
    for (const DISKINFO* disk = disks; disk; disk = disk->next) {
        if (!disk->listed)
            continue;
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QStringLiteral("%1 (%2, %3)\n").arg(disk->mediaName, disk->protocol, GetSizeString(disk->totalSize));
        QVector<QStringList> rows{{QStringLiteral("Volume"), QStringLiteral("File system"),
                                   QStringLiteral("Mount point"), QStringLiteral("Total"), QStringLiteral("Free")}};
        for (const PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next)
            rows.append({volume->volumeName, volume->fileSystem, volume->mountPoint, GetSizeString(volume->totalSize),
                         GetSizeString(volume->freeSpace)});
        if (rows.size() > 1)
            text += FormatRows(rows, QStringLiteral("    "));
    }
    return text.isEmpty() ? QStringLiteral("No volumes found.\n") : text;
}

QString ListVolumes()
{
    GetVolumes volumes;
    volumes.CreateDisklist();
    return FormatVolumeListing(volumes.DiskList());
}
