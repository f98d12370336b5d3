#include "ReservedPool.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#ifdef __linux__
#include <sys/sysmacros.h>
#endif

namespace {

bool WriteValue(const QString& file, const QByteArray& value)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(value) == value.size();
}

} // namespace

QString ReservedPool::PoolFile(const QString& folder)
{
#ifdef __linux__
    struct stat st;
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0)
        return QString();
    const QString device =
        QFileInfo(QFileInfo(QStringLiteral("/sys/dev/block/%1:%2").arg(major(st.st_dev)).arg(minor(st.st_dev)))
                      .canonicalFilePath())
            .fileName();
    const QString file = QStringLiteral("/sys/fs/ext4/%1/reserved_clusters").arg(device);
    return !device.isEmpty() && QFileInfo::exists(file) ? file : QString();
#else
    Q_UNUSED(folder);
    return QString();
#endif
}

ReservedPool::ReservedPool(const QString& folder) : m_file(PoolFile(folder))
{
    if (m_file.isEmpty())
        return;
    QFile in(m_file);
    if (!in.open(QIODevice::ReadOnly))
        return;
    const QByteArray saved = in.readAll().trimmed();
    in.close();
    if (!saved.isEmpty() && saved != "0" && WriteValue(m_file, "0\n"))
        m_saved = saved; // only root may write it
}

ReservedPool::~ReservedPool()
{
    if (Lowered())
        WriteValue(m_file, m_saved + '\n');
}
