// Turns the chosen search results into erasure jobs ("Search File").
#pragma once

#include "Records.h"

#include <QStringList>

class KorvaneApp;

// One job for `path`, taken as it is (no Latin-1 round trip): a folder job (size 0) for a
// directory, otherwise a file job with the file's size. A symbolic link is a file job of
// size 0: the eraser removes the link and writes nothing through it.
APPWIPINGINFO MakeSearchJob(const QString& path, int algorithm, int verification);

// Empties the summary lists and the job list of `app`, then appends one job per path, in
// order, with the current algorithm and verification, and lists each path in
// searchSummaryList. Returns false when there was no path (nothing to confirm).
bool FillSearchJobs(KorvaneApp* app, const QStringList& paths);
