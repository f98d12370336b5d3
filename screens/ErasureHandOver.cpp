#include "ErasureHandOver.h"

#include "ErasureSummary.h"
#include "WipingWizard.h"

namespace {
ErasureHandOver DefaultHandOver()
{
    ErasureHandOver handOver;
    handOver.confirm = [](QWidget* parent) {
        auto* summary = new ErasureSummary(parent);
        const int result = summary->exec();
        delete summary; // empties the summary lists
        return result;
    };
    handOver.startProgress = [](QWidget* parent) -> QWidget* {
        auto* progress = new WipingWizard(parent);
        progress->show();
        return progress;
    };
    return handOver;
}
} // namespace

ErasureHandOver& SearchErasureHandOver()
{
    static ErasureHandOver handOver = DefaultHandOver();
    return handOver;
}
