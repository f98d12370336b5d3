// The built korvane-erase copied into a bundle of its own in a temporary folder, so that the
// settings, task file, logs and certificates a run writes beside it never land in the build tree.
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

class EraserCopy
{
public:
    EraserCopy()
    {
        QDir().mkpath(m_dir.filePath(QStringLiteral("bundle/Resources")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("bundle/bin")));
        QFile::copy(QStringLiteral(KV_ERASE_BINARY), Path());
    }
    QString Path() const { return m_dir.filePath(QStringLiteral("bundle/bin/korvane-erase")); }
    // One copy for the whole test program, removed when it ends.
    static QString Shared()
    {
        static EraserCopy copy;
        return copy.Path();
    }

private:
    QTemporaryDir m_dir;
};
