// A selection screen over a temporary tree: <tmp>/home/tester is the fake home, <tmp> is a
// mounted volume, and the protected-location rules of Linux apply to the path below <tmp>
// (anything outside the temporary folder counts as protected). Trace catalogs and disks
// are planted in the application state by the tests.
#pragma once

#include "AppUiFixture.h"
#include "DialogAnswers.h"
#include "ErasureSummary.h"
#include "FakeCommands.h"
#include "ScreenHooks.h"
#include "TestFiles.h"
#include "TracesMain.h"

#include <QFile>
#include <QFileSystemModel>
#include <QTest>
#include <QTreeView>

struct SelectionFixture
{
    SelectionFixture()
    {
        tree = ui.root.path() + QStringLiteral("/volume");
        home = tree + QStringLiteral("/home/tester");
        QDir().mkpath(home);
        ui.app->homePath = home;
        ui.app->logPath = ui.root.path() + QStringLiteral("/logs");
        QDir().mkpath(ui.app->logPath + QStringLiteral("/KVLOGFILE"));
        ui.app->logFileStamp = QStringLiteral("run");
        fakes.Add(QStringLiteral("shutdown"));
        fakes.Add(QStringLiteral("killall"));
        fakes.Add(QStringLiteral("whoami"), "tester\n");
        // The tree plays the root for the protected-location rules; outside it all is protected.
        KorvaneApp::SetProtectionRootForTests(tree);
        TracesMain::Rules rules;
        rules.isMounted = [this](const QString& folder) { return mounted.contains(folder); };
        rules.productVersion = [this]() { return productVersion; };
        TracesMain::SetRulesForTests(rules);
        DialogAnswers::Clear();
        ErasureSummary::ShownForTests().clear();
    }
    ~SelectionFixture()
    {
        delete screen;
        TracesMain::SetRulesForTests(TracesMain::Rules());
        KorvaneApp::SetProtectionRootForTests(QString());
        DialogAnswers::Clear();
        KorvaneApp* app = ui.app;
        for (APPLICATIONINFO* node = app->appList; node; node = node->next)
            FreePathList(node->pathList);
        for (DISKINFO* disk = app->diskList; disk; disk = disk->next)
            FreeNodes(disk->partitionList);
    }

    // A file below the tree with `size` bytes of 'x'.
    QString MakeFile(const QString& relative, int size = 16)
    {
        return WriteTestFile(tree + QLatin1Char('/') + relative, QByteArray(size, 'x'));
    }

    void AddVolume(const QString& title, const QString& mountPoint)
    {
        ui.app->FillLeftPaneListInit(title, QStringLiteral("ext4"), mountPoint, 7, 705000,
                                     QStringLiteral(":/images/images/Traces/Drive.png"));
    }

    TracesMain* Open(bool files, bool traces, bool unused)
    {
        // Made as the main window makes it, through the screen hook.
        screen = qobject_cast<TracesMain*>(Screens().createSelectionScreen(files, traces, unused, nullptr));
        screen->resize(960, 620);
        screen->show();
        if (!QTest::qWaitFor([this]() { return screen->PagesBuilt(); }))
            qWarning("selection screen pages were not built");
        return screen;
    }

    // Selects the rows of the given paths in volume view `row`.
    void SelectFiles(int row, const QStringList& paths)
    {
        QTreeView* view = screen->VolumeView(row);
        auto* model = static_cast<QFileSystemModel*>(view->model());
        for (const QString& path : paths)
            view->selectionModel()->select(model->index(path), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QStringList Jobs() const
    {
        QStringList jobs;
        for (const APPWIPINGINFO* job = ui.app->wipingInfoList; job; job = job->next)
            jobs << QStringLiteral("%1|%2|%3|%4|%5")
                        .arg(job->wipeType)
                        .arg(job->category, job->itemPath.isEmpty() ? job->plistPath : job->itemPath)
                        .arg(job->itemSize)
                        .arg(job->algorithm);
        return jobs;
    }

    AppUiFixture ui;
    FakeCommands fakes;
    QString tree;
    QString home;
    QStringList mounted;
    QString productVersion;
    TracesMain* screen = nullptr;
};
