// Files that tests lay out and read back: WriteTestFile makes the folders above `path` and
// gives the path (empty if the file could not be written whole); ReadTestFile gives the
// content (empty if the file cannot be read).
#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>

inline QString WriteTestFile(const QString& path, const QByteArray& data = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size() ? path : QString();
}

inline QByteArray ReadTestFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
