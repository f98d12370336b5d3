// Where the search result page hands its job list and summary lists over: the confirmation
// (ErasureSummary) and, once it is confirmed, the progress window (WipingWizard).
#pragma once

#include <functional>

class QWidget;

struct ErasureHandOver
{
    // Runs the confirmation modally with `parent` and deletes it; 1 when the user confirmed.
    std::function<int(QWidget* parent)> confirm;
    // Creates the progress window with `parent` and shows it; the caller keeps it.
    std::function<QWidget*(QWidget* parent)> startProgress;
};

// The hand-over in use; tests may replace its entries.
ErasureHandOver& SearchErasureHandOver();
