#include "ScreenHooks.h"

#include "TracesMain.h"

namespace {
// The selection screen (TracesMain), the search screen (SearchFileMain) and the update
// windows (QCheckUpdate, UpdateWizard) connect their classes here as they arrive.
ScreenHooks DefaultScreenHooks()
{
    ScreenHooks hooks;
    hooks.createSelectionScreen = [](bool files, bool traces, bool unusedSpace, QWidget* parent) -> QWidget* {
        return new TracesMain(files, traces, unusedSpace, parent);
    };
    hooks.selectionForward = [](QWidget* screen) {
        if (auto* selection = qobject_cast<TracesMain*>(screen))
            selection->OnClickedNextBtn();
    };
    return hooks;
}
} // namespace

ScreenHooks& Screens()
{
    static ScreenHooks hooks = DefaultScreenHooks();
    return hooks;
}
