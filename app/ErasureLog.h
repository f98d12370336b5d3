// The lines of the erasure log, built in one place: the start and end blocks of a start of
// the application, the header and footer of an erasure run, and one line per item.
#pragma once

#include <QDateTime>
#include <QStringList>

namespace ErasureLog {

enum class ItemKind
{
    File,
    Folder,
    Plist
};

enum class Outcome
{
    Successful,
    Failed,
    AccessDenied, // files only
    Missing
};

// "dd/MM/yyyy|hh:mm:ss"
QString StampT(const QDateTime& when);
// " dd/MM/yyyy|hh:mm:ss ", with its leading and trailing space
QString StampS(const QDateTime& when);

QString Hyphens();     // 68 "-"
QString Underscores(); // 61 "_"

QStringList StartBlock(const QDateTime& when);
QStringList EndBlock(const QDateTime& when);

// The run header up to and including its empty line; the stamp is the start of the run.
QStringList RunHeader(const QString& algorithmName, const QString& verificationName, const QDateTime& when);
QString ItemLine(ItemKind kind, Outcome outcome, const QString& path, const QDateTime& when);
QString AbortLine(const QDateTime& when);
QStringList RunFooter(const QDateTime& when);

} // namespace ErasureLog
