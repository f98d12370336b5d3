// The archive an update server offers: a zip of "KorvaneforFile.app" holding `files` (path in
// the bundle, content; those under bin/ executable), stored uncompressed so that a test can
// find and damage a member's bytes. Built with zip in `work`; empty if that failed.
#pragma once

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>

inline QByteArray MakeBundleArchive(const QString& work, const QMap<QString, QByteArray>& files)
{
    const QString staging = work + QStringLiteral("/zipsrc");
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = staging + QStringLiteral("/KorvaneforFile.app/") + it.key();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(it.value()) != it.value().size())
            return {};
        file.close();
        if (it.key().startsWith(QLatin1String("bin/")))
            file.setPermissions(file.permissions() | QFile::ExeOwner);
    }
    QProcess zip;
    zip.setWorkingDirectory(staging);
    zip.start(QStringLiteral("zip"), {"-q", "-0", "-r", "../bundle.zip", "KorvaneforFile.app"});
    if (!zip.waitForFinished() || zip.exitCode() != 0)
        return {};
    QFile archive(work + QStringLiteral("/bundle.zip"));
    return archive.open(QIODevice::ReadOnly) ? archive.readAll() : QByteArray();
}
