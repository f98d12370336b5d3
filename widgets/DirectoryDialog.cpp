#include "DirectoryDialog.h"

#include <QQueue>

namespace {
QQueue<QString>& QueuedDirectories()
{
    static QQueue<QString> answers;
    return answers;
}
} // namespace

QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& dir, QFileDialog::Options options)
{
    if (!QueuedDirectories().isEmpty())
        return QueuedDirectories().dequeue();
    return QFileDialog::getExistingDirectory(parent, caption, dir, options);
}

void QueueDirectoryForTests(const QString& answer)
{
    QueuedDirectories().enqueue(answer);
}
