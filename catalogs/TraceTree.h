// The traces tree as the selection screen shows it, for callers without the screen (the
// command-line eraser): a printable outline, and the erasure jobs of a node's subtree.
#pragma once

#include "KorvaneApp.h"

#include <QStringList>
#include <QVector>

namespace TraceTree {

// The ids of the three trace categories, in the order of the selection screen's rows.
constexpr int kCategoryIds[] = {4, 5, 3};

// One line per node of the three trace trees, depth first, indented two blanks per level:
// id, name, "installed" or "not installed", and the number of paths below the node.
QStringList Format(const KorvaneApp& app);

// The category row list (appTracesList, internetTracesList or systemTracesList) whose tree
// holds node `id`, or null when no trace tree holds it.
APPLICATIONINFO* CategoryListFor(const KorvaneApp& app, int id);

// The erasure jobs of node `id` and all nodes below it, built as the selection screen
// builds them when that node is selected: category "Traces Wiped", paths ending in "/*"
// as folder jobs without those two characters, other paths as file jobs, property-list
// items as property-list jobs.
QVector<APPWIPINGINFO> CollectJobs(APPLICATIONINFO* categoryList, APPLICATIONINFO* appList, int id, int algorithm,
                                   int verification);

// The names from the category down to the node, joined by "/" (the confirmation list's text).
QString SummaryText(const KorvaneApp& app, int id);

// Appends the subtree's jobs to the application's job list and its summary line to
// tracesSummaryList; false when `id` is no node of a trace tree.
bool AddJobs(KorvaneApp& app, int id);

// The names of the applications below the nodes `ids` that are running now: one of their
// programs is a process (/proc/<pid>/comm or the name of /proc/<pid>/exe), or a profile's
// lock link names a live process. Their files may be in use and rewritten while erased.
QStringList RunningApplications(const KorvaneApp& app, const QList<int>& ids);
// The text that warns about them, or empty when none runs.
QString RunningWarning(const QStringList& names);
// Tests stand in for /proc (empty restores it).
void SetProcRootForTests(const QString& root);

} // namespace TraceTree
