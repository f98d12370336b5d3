// ext4 keeps a pool of free clusters (reserved_clusters, at most 4096) that no ordinary
// write is given, so a filler file never reaches the deleted data lying there. As root the
// pool is lowered to 0 for the fill; the object puts back the value it found when it goes,
// however the fill ended (done, stopped or failed).
#pragma once

#include <QByteArray>
#include <QString>

class ReservedPool
{
public:
    explicit ReservedPool(const QString& folder);
    ~ReservedPool();
    ReservedPool(const ReservedPool&) = delete;
    ReservedPool& operator=(const ReservedPool&) = delete;

    bool Lowered() const { return !m_saved.isEmpty(); }

    // /sys/fs/ext4/<device>/reserved_clusters of the volume that holds `folder`, or empty.
    static QString PoolFile(const QString& folder);

private:
    QString m_file;
    QByteArray m_saved;
};
