#include "SystemVersion.h"

#include "PlistFormat.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTextStream>

namespace {
// One value of an os-release file: KEY=value, KEY="value" or KEY='value'.
QString OsReleaseValue(const QString& text, const QString& key)
{
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.startsWith(key + QLatin1Char('=')))
            continue;
        QString value = line.mid(key.size() + 1).trimmed();
        if (value.size() >= 2 && (value.startsWith(QLatin1Char('"')) || value.startsWith(QLatin1Char('\''))) &&
            value.endsWith(value.at(0)))
            value = value.mid(1, value.size() - 2);
        return value;
    }
    return QString();
}
} // namespace

SystemVersionInfo ReadSystemVersion(PlatformKind platform, const QString& root)
{
    SystemVersionInfo info;
    if (platform == PlatformKind::MacOS) {
        const QString path = root + QStringLiteral("/System/Library/CoreServices/SystemVersion.plist");
        if (!QFileInfo(path).isFile())
            return info;
        QSettings plist(path, PlistFormat());
        info.productName = plist.value(QStringLiteral("ProductName")).toString();
        info.productVersion = plist.value(QStringLiteral("ProductVersion")).toString();
        return info;
    }
    for (const char* candidate : {"/etc/os-release", "/usr/lib/os-release"}) {
        QFile file(root + QLatin1String(candidate));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        const QString text = QString::fromUtf8(file.readAll());
        info.productName = OsReleaseValue(text, QStringLiteral("NAME"));
        info.productVersion = OsReleaseValue(text, QStringLiteral("VERSION_ID"));
        break;
    }
    return info;
}
