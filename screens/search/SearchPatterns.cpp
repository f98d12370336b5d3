#include "SearchPatterns.h"

QStringList SplitSearchPatterns(const QString& text)
{
    return text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

bool SearchPatternsValid(const QStringList& patterns)
{
    if (patterns.isEmpty())
        return false; // no name filter at all would list every file
    for (const QString& pattern : patterns) {
        if (pattern.count(QLatin1Char('*')) > 2)
            return false;
    }
    return true;
}
