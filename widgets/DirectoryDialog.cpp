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
    QFileDialog dialog(parent, caption, dir);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(options);
    // The windows' style sheets make labels and buttons white for their dark backgrounds;
    // Qt's folder dialog keeps its light palette, so its text is made dark again.
    dialog.setStyleSheet(QStringLiteral("QLabel, QPushButton, QCheckBox, QToolButton { color: black; }"));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

void QueueDirectoryForTests(const QString& answer)
{
    QueuedDirectories().enqueue(answer);
}
