#include "AgreementFlag.h"

#include "Platform.h"
#include "PlistFormat.h"
#include "TestOverride.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace {
const char kAgreementKey[] = "KVF_AgreeMent";

QString MachinePath()
{
    const QString overridden = TestOverride("KORVANE_AGREEMENT_FILE");
    return overridden.isEmpty() ? PlatformPaths::AgreementFlagFile(HostPlatform()) : overridden;
}

bool CanWrite(const QString& path)
{
    const QFileInfo info(path);
    if (info.exists())
        return info.isFile() && info.isWritable();
    QDir().mkpath(info.absolutePath());
    QFile probe(path);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    probe.close();
    return true;
}

bool ReadFlag(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return false;
    QSettings flag(path, PlistFormat());
    return flag.value(kAgreementKey).toBool();
}
} // namespace

namespace AgreementFlag {

QString WritablePath()
{
    const QString machine = MachinePath();
    if (HostPlatform() == PlatformKind::MacOS || CanWrite(machine))
        return machine;
    const QString fallback = PlatformPaths::AgreementFlagFallback();
    QDir().mkpath(QFileInfo(fallback).absolutePath());
    return fallback;
}

bool IsAccepted()
{
    const QString path = WritablePath();
    if (!QFile::exists(path)) {
        QFile empty(path);
        if (empty.open(QIODevice::WriteOnly))
            empty.close();
    }
    // An answer given for the whole machine counts for every user.
    return ReadFlag(MachinePath()) || ReadFlag(path);
}

bool Store(bool accepted)
{
    QSettings flag(WritablePath(), PlistFormat());
    flag.setValue(kAgreementKey, accepted ? QStringLiteral("1") : QStringLiteral("0"));
    flag.sync();
    return flag.status() == QSettings::NoError;
}

} // namespace AgreementFlag
