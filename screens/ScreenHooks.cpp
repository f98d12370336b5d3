#include "ScreenHooks.h"

namespace {
// The selection screen (TracesMain), the search screen (SearchFileMain) and the update
// windows (QCheckUpdate, UpdateWizard) connect their classes here as they arrive.
ScreenHooks DefaultScreenHooks()
{
    ScreenHooks hooks;
    return hooks;
}
} // namespace

ScreenHooks& Screens()
{
    static ScreenHooks hooks = DefaultScreenHooks();
    return hooks;
}
