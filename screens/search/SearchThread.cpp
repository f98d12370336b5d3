#include "SearchThread.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegExp>
#include <QVector>

void SearchThread::run()
{
    // Patterns are wildcards compared without regard to case, as QDir's name filters are.
    // The walk lists every file and compares names itself, so that a stop request is seen
    // between any two entries, not only between two matches.
    QVector<QRegExp> filters;
    filters.reserve(patterns.size());
    for (const QString& pattern : patterns)
        filters.append(QRegExp(pattern, Qt::CaseInsensitive, QRegExp::Wildcard));

    // QDir::Files without QDir::Hidden skips hidden files and folders; without
    // FollowSymlinks a linked folder is not entered.
    QDirIterator it(location, QDir::Files, QDirIterator::Subdirectories);
    while (!stopRequested.load(std::memory_order_relaxed) && it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        for (const QRegExp& filter : filters) {
            if (filter.exactMatch(name)) {
                emit SearchingString(it.fileInfo().absoluteFilePath());
                break;
            }
        }
    }
    emit SearchingComplete();
}
