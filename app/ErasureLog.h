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
// "dd_MM_yyyy_hh_mm_ss": the log file's name without ".log"
QString FileStamp(const QDateTime& when);
// A name as the log writes it: control characters as \n, \t, \r, \xHH (C0 and DEL) or
// \uHHHH (C1, U+2028, U+2029), so that no name can start a line of its own. A backslash is
// doubled only where it would otherwise read as one of these escapes; every other name is
// written as it is.
QString EscapedName(const QString& name);

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
