#include "ErasureLog.h"

namespace ErasureLog {

QString StampT(const QDateTime& when)
{
    return when.toString(QStringLiteral("dd/MM/yyyy|hh:mm:ss"));
}

QString StampS(const QDateTime& when)
{
    return when.toString(QStringLiteral(" dd/MM/yyyy|hh:mm:ss "));
}

QString Hyphens()
{
    return QString(68, QLatin1Char('-'));
}

QString Underscores()
{
    return QString(61, QLatin1Char('_'));
}

QStringList StartBlock(const QDateTime& when)
{
    return {QStringLiteral("Korvane File Eraser start ") + StampT(when), Hyphens()};
}

QStringList EndBlock(const QDateTime& when)
{
    return {QString(), QStringLiteral("Korvane File Eraser Ends ") + StampT(when), Hyphens()};
}

QStringList RunHeader(const QString& algorithmName, const QString& verificationName, const QDateTime& when)
{
    return {QString(),
            QStringLiteral("Algorithm used : ") + algorithmName,
            QStringLiteral("Verification used : ") + verificationName,
            QStringLiteral("Erasure started at ") + StampS(when),
            Underscores(),
            QString()};
}

QString ItemLine(ItemKind kind, Outcome outcome, const QString& path, const QDateTime& when)
{
    QString prefix;
    QString missing;
    switch (kind) {
    case ItemKind::File:
        prefix = QStringLiteral("File Path: ");
        missing = QStringLiteral("Either the file doesn't exist or it is in use");
        break;
    case ItemKind::Folder:
        prefix = QStringLiteral("Folder Path: ");
        missing = QStringLiteral("Either the folder doesn't exist or it is in use.");
        break;
    case ItemKind::Plist:
        prefix = QStringLiteral("Plist Path: ");
        missing = QStringLiteral("Either the plist file doesn't exist or it is in use.");
        break;
    }
    QString result;
    switch (outcome) {
    case Outcome::Successful:
        result = QStringLiteral("Erasure successful");
        break;
    case Outcome::Failed:
        result = QStringLiteral("Erasure failed");
        break;
    case Outcome::AccessDenied:
        result = QStringLiteral("Access denied");
        break;
    case Outcome::Missing:
        result = missing;
        break;
    }
    return prefix + path + QStringLiteral(" | ") + result + StampS(when);
}

QString AbortLine(const QDateTime& when)
{
    return QStringLiteral("Erasure aborted by user at ") + StampS(when);
}

QStringList RunFooter(const QDateTime& when)
{
    return {QString(), Underscores(), QStringLiteral("Erasure completed ") + StampS(when), QString()};
}

} // namespace ErasureLog
