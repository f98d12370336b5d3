// The file model of the selection screen's volume views: every column's text is aligned
// like the names (left, vertically centred), sizes included.
#pragma once

#include <QFileSystemModel>

class MyFileSystemModel : public QFileSystemModel
{
    Q_OBJECT

public:
    using QFileSystemModel::QFileSystemModel;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};
