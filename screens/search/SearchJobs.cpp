#include "SearchJobs.h"

#include "KorvaneApp.h"

#include <QFileInfo>

APPWIPINGINFO MakeSearchJob(const QString& path, int algorithm, int verification)
{
    APPWIPINGINFO job;
    job.itemPath = path;
    job.category = QStringLiteral("Search File");
    job.algorithm = algorithm;
    job.verification = verification;
    const QFileInfo info(path);
    if (info.isSymLink()) {
        job.wipeType = APPWIPINGINFO::File;
        job.itemSize = 0;
    } else if (info.isDir()) {
        job.wipeType = APPWIPINGINFO::Folder;
        job.itemSize = 0;
    } else {
        job.wipeType = APPWIPINGINFO::File;
        job.itemSize = info.size();
    }
    return job;
}

bool FillSearchJobs(KorvaneApp* app, const QStringList& paths)
{
    app->FreeErasureSummaryList();
    app->FreeWipingInfo();
    if (paths.isEmpty())
        return false;
    for (const QString& path : paths) {
        app->searchSummaryList.append(path);
        app->AddAppWipingInfo(MakeSearchJob(path, app->algorithm, app->verification));
    }
    return true;
}
