#include "ErasureLog.h"

#include <QLocale>

namespace ErasureLog {

// Stored stamps use ASCII digits whatever the user's locale.
QString StampT(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral("dd/MM/yyyy|hh:mm:ss"));
}

QString StampS(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral(" dd/MM/yyyy|hh:mm:ss "));
}

QString FileStamp(const QDateTime& when)
{
    return QLocale::c().toString(when, QStringLiteral("dd_MM_yyyy_hh_mm_ss"));
}

namespace {
bool IsControl(ushort u)
{
    // C0, DEL, C1, and the Unicode line and paragraph separators (a line end in some viewers).
    return u < 0x20 || (u >= 0x7F && u < 0xA0) || u == 0x2028 || u == 0x2029;
}
} // namespace

QString EscapedName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (int i = 0; i < name.size(); ++i) {
        const ushort u = name.at(i).unicode();
        if (u == '\\') {
            // A backslash stays single unless what follows could make it read as an escape.
            const ushort next = i + 1 < name.size() ? name.at(i + 1).unicode() : 0;
            const bool ambiguous = i + 1 < name.size() && (IsControl(next) || next == '\\' || next == 'n' ||
                                                           next == 't' || next == 'r' || next == 'x' || next == 'u');
            out += ambiguous ? QStringLiteral("\\\\") : QStringLiteral("\\");
        } else if (u == '\n') {
            out += QStringLiteral("\\n");
        } else if (u == '\t') {
            out += QStringLiteral("\\t");
        } else if (u == '\r') {
            out += QStringLiteral("\\r");
        } else if (u < 0x20 || u == 0x7F) {
            out += QStringLiteral("\\x%1").arg(u, 2, 16, QLatin1Char('0'));
        } else if (IsControl(u)) {
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QLatin1Char('0'));
        } else {
            out += name.at(i);
        }
    }
    return out;
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
    return prefix + EscapedName(path) + QStringLiteral(" | ") + result + StampS(when);
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
