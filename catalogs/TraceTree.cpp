#include "TraceTree.h"

#include "ChatApplication.h"
#include "InternetActivity.h"
#include "MacApplication.h"
#include "OtherApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QQueue>
#include <QSet>

#include <unistd.h>

#include <functional>

namespace {
const APPLICATIONINFO* CategoryRow(const KorvaneApp& app, int id)
{
    for (const APPLICATIONINFO* row = app.appList; row; row = row->next) {
        if (row->parentId == 0 && row->currentId == id)
            return row;
    }
    return nullptr;
}

APPLICATIONINFO* ListOfCategory(const KorvaneApp& app, int categoryId)
{
    switch (categoryId) {
    case 4:
        return app.appTracesList;
    case 5:
        return app.internetTracesList;
    case 3:
        return app.systemTracesList;
    default:
        return nullptr;
    }
}

// Visits, in the selection screen's worklist order, the appList record of every node of
// the subtree of `id`: the first record with the node's own and parent id.
void WalkSubtree(APPLICATIONINFO* categoryList, APPLICATIONINFO* appList, int id,
                 const std::function<void(const APPLICATIONINFO&)>& visit)
{
    QQueue<int> worklist;
    QSet<int> queued{id}; // a node reached twice (a cycle of ids) is taken once
    worklist.enqueue(id);
    while (!worklist.isEmpty()) {
        const int current = worklist.head();
        for (const APPLICATIONINFO* node = categoryList; node; node = node->next) {
            if (node->currentId == current) {
                for (const APPLICATIONINFO* row = appList; row; row = row->next) {
                    if (row->currentId == node->currentId && row->parentId == node->parentId) {
                        visit(*row);
                        break;
                    }
                }
            }
            if (node->parentId == current && !queued.contains(node->currentId)) {
                queued.insert(node->currentId);
                worklist.enqueue(node->currentId);
            }
        }
        worklist.dequeue();
    }
}

int CountPaths(APPLICATIONINFO* categoryList, APPLICATIONINFO* appList, int id)
{
    int count = 0;
    WalkSubtree(categoryList, appList, id, [&count](const APPLICATIONINFO& row) {
        for (const PATHINFO* path = row.pathList; path; path = path->next)
            count += path->path.isEmpty() ? 0 : 1;
    });
    return count;
}

QString& ProcRoot()
{
    static QString root = QStringLiteral("/proc");
    return root;
}

// Program names of the processes now running: each one's comm and the name of its program.
QSet<QString> RunningPrograms()
{
    QSet<QString> names;
    const QString root = ProcRoot();
    for (const QString& pid : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool numeric = false;
        pid.toLongLong(&numeric);
        if (!numeric)
            continue;
        QFile comm(root + QLatin1Char('/') + pid + QStringLiteral("/comm"));
        if (comm.open(QIODevice::ReadOnly))
            names.insert(QString::fromUtf8(comm.readAll()).trimmed());
        QString exe = QFile::symLinkTarget(root + QLatin1Char('/') + pid + QStringLiteral("/exe"));
        if (exe.endsWith(QLatin1String(" (deleted)")))
            exe.chop(10);
        if (!exe.isEmpty())
            names.insert(exe.section(QLatin1Char('/'), -1));
    }
    return names;
}

// A lock link names "<host>-<pid>" (Chromium) or "<address>:+<pid>" (Mozilla).
bool LockHeldByLiveProcess(const QString& lockFile)
{
    char buffer[512];
    const ssize_t length = ::readlink(QFile::encodeName(lockFile).constData(), buffer, sizeof buffer - 1);
    if (length <= 0)
        return false;
    const QString text = QString::fromLocal8Bit(buffer, int(length));
    const int at = qMax(text.lastIndexOf(QLatin1Char('-')), text.lastIndexOf(QLatin1Char('+')));
    bool ok = false;
    const qint64 pid = text.mid(at + 1).toLongLong(&ok);
    return ok && pid > 0 && QFileInfo::exists(ProcRoot() + QLatin1Char('/') + QString::number(pid));
}

QString Line(int depth, int id, const QString& name, bool installed, int paths)
{
    return QString(depth * 2, QLatin1Char(' ')) + QString::number(id) + QStringLiteral("  ") + name +
           (installed ? QStringLiteral("  installed  ") : QStringLiteral("  not installed  ")) +
           QString::number(paths) + (paths == 1 ? QStringLiteral(" path") : QStringLiteral(" paths"));
}
} // namespace

namespace TraceTree {

QStringList Format(const KorvaneApp& app)
{
    QStringList lines;
    for (const int categoryId : kCategoryIds) {
        const APPLICATIONINFO* category = CategoryRow(app, categoryId);
        APPLICATIONINFO* list = ListOfCategory(app, categoryId);
        if (!category)
            continue;
        lines << Line(0, categoryId, category->name, category->installed, CountPaths(list, app.appList, categoryId));
        // A node hangs below the earlier nodes whose id is its parent id.
        std::function<void(const APPLICATIONINFO*, int, int)> children = [&](const APPLICATIONINFO* after, int parentId,
                                                                             int depth) {
            for (const APPLICATIONINFO* node = after; node; node = node->next) {
                if (node->parentId != parentId)
                    continue;
                lines << Line(depth, node->currentId, node->name, node->installed,
                              CountPaths(list, app.appList, node->currentId));
                children(node->next, node->currentId, depth + 1);
            }
        };
        children(list, categoryId, 1);
    }
    return lines;
}

APPLICATIONINFO* CategoryListFor(const KorvaneApp& app, int id)
{
    if (APPLICATIONINFO* list = ListOfCategory(app, id))
        return CategoryRow(app, id) ? list : nullptr;
    for (const int categoryId : kCategoryIds) {
        APPLICATIONINFO* list = ListOfCategory(app, categoryId);
        for (const APPLICATIONINFO* node = list; node; node = node->next) {
            if (node->currentId == id)
                return list;
        }
    }
    return nullptr;
}

QVector<APPWIPINGINFO> CollectJobs(APPLICATIONINFO* categoryList, APPLICATIONINFO* appList, int id, int algorithm,
                                   int verification)
{
    QVector<APPWIPINGINFO> jobs;
    WalkSubtree(categoryList, appList, id, [&](const APPLICATIONINFO& row) {
        for (const PATHINFO* path = row.pathList; path; path = path->next) {
            APPWIPINGINFO job;
            job.category = QStringLiteral("Traces Wiped");
            job.algorithm = algorithm;
            job.verification = verification;
            if (!path->path.isEmpty()) {
                job.plistPath.clear();
                if (path->path.contains(QLatin1Char('*'))) {
                    job.wipeType = APPWIPINGINFO::Folder;
                    job.itemPath = path->path.left(path->path.size() - 2);
                    job.itemSize = 0;
                } else {
                    job.wipeType = APPWIPINGINFO::File;
                    job.itemPath = path->path;
                    job.itemSize = QFileInfo(path->path).size();
                }
                jobs << job;
            }
            if (!path->plistPath.isEmpty()) {
                job.wipeType = APPWIPINGINFO::Plist;
                job.plistPath = path->plistPath;
                job.itemPath.clear();
                job.itemSize = 0;
                jobs << job;
            }
        }
    });
    return jobs;
}

QString SummaryText(const KorvaneApp& app, int id)
{
    APPLICATIONINFO* list = CategoryListFor(app, id);
    if (!list)
        return QString();
    QStringList names;
    int current = id;
    // Walk up through the nearest earlier node whose id is the parent id, as the tree hangs.
    for (;;) {
        const APPLICATIONINFO* category = CategoryRow(app, current);
        if (category && ListOfCategory(app, current)) {
            names.prepend(category->name);
            break;
        }
        const APPLICATIONINFO* node = nullptr;
        for (const APPLICATIONINFO* n = list; n; n = n->next) {
            if (n->currentId == current) {
                node = n;
                break;
            }
        }
        if (!node || names.size() > 64)
            break;
        names.prepend(node->name);
        current = node->parentId;
    }
    return names.join(QLatin1Char('/'));
}

bool AddJobs(KorvaneApp& app, int id)
{
    APPLICATIONINFO* list = CategoryListFor(app, id);
    if (!list)
        return false;
    for (const APPWIPINGINFO& job : CollectJobs(list, app.appList, id, app.algorithm, app.verification))
        app.AddAppWipingInfo(job);
    app.tracesSummaryList << SummaryText(app, id);
    return true;
}

QStringList RunningApplications(const KorvaneApp& app, const QList<int>& ids)
{
    QSet<int> nodes;
    for (const int id : ids) {
        APPLICATIONINFO* list = CategoryListFor(app, id);
        if (!list)
            continue;
        WalkSubtree(list, app.appList, id, [&nodes](const APPLICATIONINFO& row) { nodes.insert(row.currentId); });
        nodes.insert(id);
    }
    QStringList names;
    QSet<QString> programs;
    bool programsRead = false;
    for (const TraceCatalog* catalog :
         {static_cast<const TraceCatalog*>(&m_macapplication), static_cast<const TraceCatalog*>(&m_chatapplication),
          static_cast<const TraceCatalog*>(&m_otherapplication),
          static_cast<const TraceCatalog*>(&m_internetactivity)}) {
        for (const TraceCatalog::RunningProbe& probe : catalog->RunningProbes()) {
            bool chosen = false;
            for (const int id : qAsConst(nodes))
                chosen = chosen || (id >= probe.id && id < probe.id + 1000);
            if (!chosen || names.contains(probe.name))
                continue;
            bool running = false;
            for (const QString& lock : probe.lockFiles)
                running = running || LockHeldByLiveProcess(lock);
            if (!running && !probe.processes.isEmpty()) {
                if (!programsRead) {
                    programs = RunningPrograms();
                    programsRead = true;
                }
                for (const QString& process : probe.processes)
                    running = running || programs.contains(process) || programs.contains(process.left(15));
            }
            if (running)
                names << probe.name;
        }
    }
    return names;
}

QString RunningWarning(const QStringList& names)
{
    if (names.isEmpty())
        return QString();
    return QStringLiteral("%1 %2 running: %3 files may be in use and rewritten while they are erased. "
                          "Quit %4 before erasing.")
        .arg(names.join(QStringLiteral(", ")), names.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"),
             names.size() == 1 ? QStringLiteral("its") : QStringLiteral("their"),
             names.size() == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

void SetProcRootForTests(const QString& root)
{
    ProcRoot() = root.isEmpty() ? QStringLiteral("/proc") : root;
}

} // namespace TraceTree
