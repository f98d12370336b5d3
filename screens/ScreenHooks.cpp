#include "ScreenHooks.h"

#include "SearchFileMain.h"
#include "SearchResult.h"

namespace {
// The selection screen (TracesMain), the search screen (SearchFileMain) and the update
// windows (QCheckUpdate, UpdateWizard) connect their classes here as they arrive.
ScreenHooks DefaultScreenHooks()
{
    ScreenHooks hooks;
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
