#include "ScreenHooks.h"

#include "SearchFileMain.h"
#include "SearchResult.h"
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
    hooks.createSearchScreen = [](QWidget* parent) -> QWidget* { return new SearchFileMain(parent); };
    hooks.searchForward = [](QWidget* screen) {
        auto* search = qobject_cast<SearchFileMain*>(screen);
        if (!search)
            return;
        if (search->IsResultShown() && search->ResultPage())
            search->ResultPage()->ErasingSearch();
        else
            search->FileSearchNext();
    };
    hooks.searchBack = [](QWidget* screen) {
        auto* search = qobject_cast<SearchFileMain*>(screen);
        return search && search->CloseResultPage();
    };
    return hooks;
}
} // namespace

ScreenHooks& Screens()
{
    static ScreenHooks hooks = DefaultScreenHooks();
    return hooks;
}
