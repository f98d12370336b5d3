#include "ScreenHooks.h"

#include "TracesMain.h"
#include "UpdateWindows.h"

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
    hooks.startUpdateCheck = [](QWidget* mainWindow) { (new QCheckUpdate(mainWindow))->show(); };
    // The wizard is closed, not deleted, by its buttons: the checker it starts is its child.
    hooks.openUpdateWizard = [](QWidget* mainWindow) { (new UpdateWizard(mainWindow))->show(); };
    return hooks;
}
} // namespace

ScreenHooks& Screens()
{
    static ScreenHooks hooks = DefaultScreenHooks();
    return hooks;
}
