// Files a test makes and checks: a file written below folders made for it and read back, a
// new file at a byte path, and checksums of every file and link below a folder, by path relative to it, so
// that a test can show that nothing outside what it chose changed.
#pragma once

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

// Writes `data` to `path`, making its folders first, and gives the path; a failure fails the
// test and gives an empty path.
inline QString WriteTestFile(const QString& path, const QByteArray& data = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size())
        return path;
    QTest::qFail(qPrintable(QStringLiteral("could not write ") + path), __FILE__, __LINE__);
    return QString();
}

// The content of `path` (empty if it cannot be read).
inline QByteArray ReadTestFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Creates the file at a byte path (a name need not be UTF-8) holding `content`; false where
// it existed already or could not be written.
inline bool WriteNewFile(const QByteArray& path, const QByteArray& content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    const bool ok = fd >= 0 && ::write(fd, content.constData(), content.size()) == content.size();
    if (fd >= 0)
        ::close(fd);
    return ok;
}

using Sums = QMap<QString, QByteArray>;

// Entries whose relative path starts with `skip` (if given) are left out.
inline Sums Checksums(const QString& root, const QString& skip = QString())
{
    Sums sums;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = it.next().mid(root.size() + 1);
        if ((!skip.isEmpty() && relative.startsWith(skip)) || (it.fileInfo().isDir() && !it.fileInfo().isSymLink()))
            continue;
        QFile file(it.filePath());
        sums[relative] = it.fileInfo().isSymLink() ? it.fileInfo().symLinkTarget().toUtf8()
                         : file.open(QIODevice::ReadOnly)
                             ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                             : QByteArray("unreadable");
    }
    return sums;
}

// How many entries of `before` changed or went.
inline int Changed(const Sums& before, const Sums& after)
{
    int changed = 0;
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        changed += after.value(it.key()) != it.value();
    return changed;
}
