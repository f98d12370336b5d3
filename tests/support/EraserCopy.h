// The built korvane-erase copied into a bundle of its own in a temporary folder, so that the
// settings, task file, logs and certificates a run writes beside it never land in the build tree.
#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
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

// A folder for files that the copy is to erase. The build tree may lie in a protected
// location (/tmp, /var, a home's first levels), where korvane-erase refuses every path; below
// /mnt, where volumes live, it erases. Without the right to write there, the build tree.
inline QString ErasableFolderTemplate()
{
    const QString base = QFileInfo(QStringLiteral("/mnt")).isWritable() ? QStringLiteral("/mnt")
                                                                        : QCoreApplication::applicationDirPath();
    return base + QStringLiteral("/korvane-test-XXXXXX");
}

// Runs the copy and gives its exit status (-1 if it did not end within ten minutes); `output`
// gets what it printed on either channel.
inline int RunEraser(const QStringList& arguments, QString* output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(EraserCopy::Shared(), arguments);
    if (!process.waitForFinished(600000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
}

// A text no earlier run can have left on an image; files to be erased repeat it.
inline QByteArray NewMarker(const QByteArray& tag = "marker")
{
    return "KVMARK-" + QByteArray::number(QRandomGenerator::global()->generate64(), 16) + "-" + tag + "-text|";
}
