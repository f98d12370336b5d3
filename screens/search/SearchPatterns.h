// The rules of the search criteria: how the pattern text splits into name patterns and
// when the patterns are acceptable.
#pragma once

#include <QStringList>

// The most characters the pattern box holds.
constexpr int kSearchPatternLimit = 64;

// Splits at every ";". Patterns are neither trimmed nor lower-cased; empty segments
// (";;", a leading or trailing ";") are skipped.
QStringList SplitSearchPatterns(const QString& text);

// True when there is at least one pattern and none holds more than two "*".
bool SearchPatternsValid(const QStringList& patterns);
