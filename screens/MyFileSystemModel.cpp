#include "MyFileSystemModel.h"

QVariant MyFileSystemModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignVCenter);
    return QFileSystemModel::data(index, role);
}
