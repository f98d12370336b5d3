// The screens and windows that the main window opens but that other parts of the program
// build: the selection and search screens (Next, Back, Forward) and the update windows.
// Each is reached through one entry here; an entry left empty keeps the home screen as it is.
#pragma once

#include <functional>

class QWidget;

struct ScreenHooks
{
    // TracesMain(files, traces, unusedSpace, parent)
    std::function<QWidget*(bool files, bool traces, bool unusedSpace, QWidget* parent)> createSelectionScreen;
    // SearchFileMain(parent)
    std::function<QWidget*(QWidget* parent)> createSearchScreen;
    // Forward on the selection screen: TracesMain::OnClickedNextBtn().
    std::function<void(QWidget* selectionScreen)> selectionForward;
    // Forward on the search screen: FileSearchNext() on the criteria page, ErasingSearch() on
    // the result page.
    std::function<void(QWidget* searchScreen)> searchForward;
    // Back on the search screen: when it shows its result page, delete that page, show the
    // criteria again (SearchFileMain::ShowAllItem) and return true; otherwise return false.
    std::function<bool(QWidget* searchScreen)> searchBack;
    // QCheckUpdate(parent), created and shown at start when update checking is on.
    std::function<void(QWidget* mainWindow)> startUpdateCheck;
    // UpdateWizard(parent), from the settings menu.
    std::function<void(QWidget* mainWindow)> openUpdateWizard;
};

// The hooks in use; tests may replace entries.
ScreenHooks& Screens();
