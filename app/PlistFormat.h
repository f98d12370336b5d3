// XML property lists as a QSettings format, so settings, the agreement flag and the bundle's
// Info.plist are the same files on every platform.
#pragma once

#include <QSettings>

// The registered format; QSettings(path, PlistFormat()) reads and writes an XML plist.
QSettings::Format PlistFormat();

namespace Plist {
bool Read(QIODevice& device, QSettings::SettingsMap& map);
bool Write(QIODevice& device, const QSettings::SettingsMap& map);
} // namespace Plist
