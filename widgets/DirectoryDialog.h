// Asks for a folder with the standard dialog. Tests queue the answers instead, so no test
// blocks on a modal file dialog.
#pragma once

#include <QFileDialog>
#include <QString>

QString GetExistingDirectory(QWidget* parent, const QString& caption, const QString& dir, QFileDialog::Options options);
void QueueDirectoryForTests(const QString& answer);
