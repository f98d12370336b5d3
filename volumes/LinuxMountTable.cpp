#include "LinuxMountTable.h"

#include <QFile>
#include <QStringList>

namespace {

// Undoes the escapes of names read from the system: a backslash, `marker` and `digits`
// digits in `base` stand for one byte.
QString Unescape(const QString& text, const QByteArray& marker, int digits, int base)
{
    QByteArray out;
    const QByteArray raw = QFile::encodeName(text);
    const int length = 1 + marker.size() + digits;
    for (int i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\\' && i + length <= raw.size() && raw.mid(i + 1, marker.size()) == marker) {
            bool ok = false;
            const int code = raw.mid(i + 1 + marker.size(), digits).toInt(&ok, base);
            if (ok && code < 256) {
                out.append(static_cast<char>(code));
                i += length - 1;
                continue;
            }
        }
        out.append(raw[i]);
    }
    return QFile::decodeName(out);
}

bool IsBelow(const QString& path, const QString& mountPoint)
{
    if (mountPoint == QLatin1String("/"))
        return path.startsWith(QLatin1Char('/'));
    return path == mountPoint || path.startsWith(mountPoint + QLatin1Char('/'));
}

} // namespace

QString DecodeMountField(const QString& field)
{
    return Unescape(field, QByteArray(), 3, 8);
}

QString DecodeLabel(const QString& name)
{
    return Unescape(name, "x", 2, 16);
}

// The lines of /proc/self/mountinfo: "id parent maj:min root mount options [tags] - type source super".
QVector<MountEntry> ReadMountTable(const QString& path)
{
    QVector<MountEntry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int dash = fields.indexOf(QStringLiteral("-"));
        if (fields.size() < 6 || dash < 6 || dash + 2 >= fields.size())
            continue;
        MountEntry entry;
        entry.majorMinor = fields[2];
        entry.root = DecodeMountField(fields[3]);
        entry.mountPoint = DecodeMountField(fields[4]);
        const QString superOptions = dash + 3 < fields.size() ? fields[dash + 3] : QString();
        entry.options = fields[5] + QLatin1Char(',') + superOptions;
        entry.readOnly = fields[5].split(QLatin1Char(',')).contains(QStringLiteral("ro")) ||
                         superOptions.split(QLatin1Char(',')).contains(QStringLiteral("ro"));
        entry.fileSystem = fields[dash + 1];
        entry.source = DecodeMountField(fields[dash + 2]);
        entries.append(entry);
    }
    return entries;
}

const MountEntry* MountHolding(const QVector<MountEntry>& mounts, const QString& path)
{
    // The last of equally long mount points is the one on top.
    const MountEntry* best = nullptr;
    for (const MountEntry& entry : mounts) {
        if (IsBelow(path, entry.mountPoint) && (!best || entry.mountPoint.size() >= best->mountPoint.size()))
            best = &entry;
    }
    return best;
}
