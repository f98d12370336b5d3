// A real file system for tests that must look at what an erasure left on the medium: an
// image file formatted as ext4, xfs or btrfs, attached to a loop device and mounted below
// /mnt (or a tmpfs mounted there). Needs root; LoopImageUnavailable() says why not.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

inline bool RunTool(const QString& program, const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(600000))
        return false;
    if (output)
        *output = QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Empty when images of `fileSystem` can be made here, else the reason to skip.
inline QString LoopImageUnavailable(const QString& fileSystem = QStringLiteral("ext4"))
{
    if (geteuid() != 0)
        return QStringLiteral("file system image tests need root (mount and loop devices)");
    if (fileSystem == QLatin1String("tmpfs"))
        return QString();
    if (!QFile::exists(QStringLiteral("/dev/loop-control")))
        return QStringLiteral("file system image tests need loop devices (/dev/loop-control is missing)");
    if (QStandardPaths::findExecutable(QStringLiteral("mkfs.") + fileSystem).isEmpty() ||
        QStandardPaths::findExecutable(QStringLiteral("losetup")).isEmpty())
        return QStringLiteral("mkfs.%1 or losetup is missing").arg(fileSystem);
    return QString();
}

// An image attached to a loop device and mounted; undone in reverse on destruction.
class MountedImage
{
public:
    // `folder` holds the image file; the mount point is a fresh folder below /mnt, where
    // volumes live (the build tree may sit in a protected location such as /tmp).
    bool Create(const QString& folder, qint64 size, const QString& fileSystem = QStringLiteral("ext4"))
    {
        m_mountPoint = m_mountDir.path();
        if (!m_mountDir.isValid())
            return false;
        if (fileSystem == QLatin1String("tmpfs")) {
            m_mounted = RunTool(QStringLiteral("mount"),
                                {"-t", "tmpfs", "-o", QStringLiteral("size=%1").arg(size), "tmpfs", m_mountPoint});
            return m_mounted;
        }
        m_image = folder + QStringLiteral("/fs.img");
        QFile image(m_image);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(size))
            return false;
        image.close();
        const QStringList force =
            fileSystem == QLatin1String("ext4") ? QStringList{"-q", "-F"} : QStringList{"-q", "-f"};
        return RunTool(QStringLiteral("mkfs.") + fileSystem, force + QStringList{m_image}) &&
               RunTool(QStringLiteral("losetup"), {"--find", "--show", m_image}, &m_device) &&
               RunTool(QStringLiteral("mount"), {m_device, m_mountPoint}) && (m_mounted = true);
    }
    // False when the image was busy: it is then detached lazily (it goes, and its loop device
    // with it, once the last user lets go), never left mounted.
    bool Detach()
    {
        bool ok = true;
        if (m_mounted) {
            ok = RunTool(QStringLiteral("umount"), {m_mountPoint});
            m_mounted = !ok && !RunTool(QStringLiteral("umount"), {"-l", m_mountPoint});
        }
        if (!m_device.isEmpty() && RunTool(QStringLiteral("losetup"), {"-d", m_device}))
            m_device.clear();
        return ok && m_device.isEmpty();
    }
    ~MountedImage()
    {
        Detach();
        m_mountDir.setAutoRemove(!m_mounted); // never remove files through a mount
    }
    // ext4 keeps a pool of free blocks (up to 4096 clusters) that no write from user space
    // can be given. Releasing the pool on a test image lets a test check every block that a
    // filler file can be given.
    bool ReleaseReservedPool()
    {
        QFile pool(QStringLiteral("/sys/fs/ext4/%1/reserved_clusters").arg(QFileInfo(m_device).fileName()));
        return !pool.exists() || (pool.open(QIODevice::WriteOnly) && pool.write("0\n") == 2);
    }
    // True when the mount point really holds this image's file system and not the one of
    // the folder around it: a test that shuts a file system down or remounts it checks this
    // first, so that it can never strike the machine's own.
    bool IsOwnMount() const
    {
        struct stat point = {};
        struct stat around = {};
        return m_mounted && ::stat(QFile::encodeName(m_mountPoint).constData(), &point) == 0 &&
               ::stat(QFile::encodeName(m_mountPoint + QStringLiteral("/..")).constData(), &around) == 0 &&
               point.st_dev != around.st_dev;
    }
    QString MountPoint() const { return m_mountPoint; }
    QString Image() const { return m_image; }
    QString Device() const { return m_device; }

private:
    QString m_image;
    QTemporaryDir m_mountDir{QStringLiteral("/mnt/korvane-image-XXXXXX")};
    QString m_mountPoint;
    QString m_device;
    bool m_mounted = false;
};

// Unmounts what a test mounted (lazily, in reverse order), whatever the test's outcome.
struct MountGuard
{
    QStringList points;
    ~MountGuard()
    {
        for (auto it = points.crbegin(); it != points.crend(); ++it)
            RunTool(QStringLiteral("umount"), {"-l", *it});
    }
    bool Mount(const QStringList& arguments)
    {
        if (!RunTool(QStringLiteral("mount"), arguments))
            return false;
        points << arguments.last();
        return true;
    }
};

// A file of `size` bytes that repeats `marker`, flushed to the medium; its path, or empty.
inline QString MakeMarkerFile(const QString& path, qint64 size, const QByteArray& marker)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray block;
    while (block.size() < (1 << 20))
        block += marker;
    for (qint64 written = 0; written < size;) {
        const qint64 n = qMin<qint64>(block.size(), size - written);
        file.write(block.constData(), n);
        written += n;
    }
    file.flush();
    ::fsync(file.handle());
    return path;
}

// The places where the start of the marker occurs in the raw image (-1 if unreadable).
inline qint64 MarkerHits(const QString& image, const QByteArray& marker)
{
    QFile file(image);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray needle = marker.left(12);
    qint64 hits = 0;
    QByteArray carry;
    while (!file.atEnd()) {
        const QByteArray piece = carry + file.read(8 << 20);
        for (int at = piece.indexOf(needle); at >= 0; at = piece.indexOf(needle, at + 1))
            ++hits;
        carry = piece.right(needle.size() - 1);
    }
    return hits;
}
