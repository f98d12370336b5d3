#include "CatalogModel.h"

#include "InstalledApplications.h"
#include "KorvaneApp.h"

#include <QDir>
#include <QFileInfo>

namespace Catalog {
const char kFolderIcon[] = ":/images/images/Applications/img_Folder.png";
const char kProfileIcon[] = ":/images/images/Applications/profile_users.png";
} // namespace Catalog

using namespace Catalog;

namespace {
std::function<bool(const QString&)>& InstallationCheckForTests()
{
    static std::function<bool(const QString&)> check;
    return check;
}

QString HomePath()
{
    return KorvaneApp::GetInstance()->homePath;
}
} // namespace

TraceCatalog::~TraceCatalog()
{
    FreeNodeList();
    EmptyWorkingList();
}

bool TraceCatalog::CheckApplicationInstallation(const QString& path)
{
    if (InstallationCheckForTests())
        return InstallationCheckForTests()(path);
    const QFileInfo info(path);
    if (info.isDir())
        return QDir(path).exists();
    return info.exists();
}

void TraceCatalog::SetInstallationCheckForTests(std::function<bool(const QString&)> check)
{
    InstallationCheckForTests() = std::move(check);
}

void TraceCatalog::EmptyWorkingList()
{
    FreePathList(m_pathList);
}

void TraceCatalog::AppendPath(const QString& path)
{
    auto* node = new PATHINFO;
    node->path = path;
    AppendNode(m_pathList, node);
}

void TraceCatalog::FreeFindFileFolderList()
{
    m_foundPaths.clear();
}

void TraceCatalog::FindFileFolder(const QString& pattern, bool folders)
{
    const int slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = pattern.left(slash);
    QString prefix = pattern.mid(slash + 1);
    const int star = prefix.indexOf(QLatin1Char('*'));
    if (star >= 0)
        prefix.truncate(star);
    prefix = prefix.toLower();

    // An empty folder text is the root, never the working directory.
    const QDir dir(folder.isEmpty() ? QStringLiteral("/") : folder);
    const QDir::Filters filter = folders ? (QDir::Dirs | QDir::NoDotAndDotDot) : QDir::Files;
    FreeFindFileFolderList();
    for (const QString& entry : dir.entryList(filter, QDir::Name)) {
        const QString path = folder + QLatin1Char('/') + entry;
        if (path.toLower().contains(prefix))
            m_foundPaths << (folders ? path + QStringLiteral("/*") : path);
    }
    for (const QString& path : qAsConst(m_foundPaths))
        AppendPath(path);
    FreeFindFileFolderList();
}

void TraceCatalog::AppendAccountArchives(const QString& folder)
{
    const QDir dir(folder);
    if (!dir.exists())
        return;
    for (const QString& entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString archive = folder + QLatin1Char('/') + entry + QStringLiteral("/archive");
        if (QFileInfo(archive).isDir())
            AppendPath(archive + QStringLiteral("/*"));
    }
}

void TraceCatalog::AppendVolumeTrashes()
{
    for (DISKINFO* disk = KorvaneApp::GetInstance()->diskList; disk; disk = disk->next) {
        for (PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next) {
            if (volume->mountPoint == QLatin1String("/"))
                AppendPath(QStringLiteral("/.Trashes/*"));
            else
                AppendPath(volume->mountPoint + QStringLiteral("/.Trashes/*"));
        }
    }
}

void TraceCatalog::AppendGroupPaths(const TraceGroup& group, const QString& profileData, const QString& profileCache)
{
    EmptyWorkingList();
    for (const TracePath& entry : group.paths) {
        QString path = QString::fromUtf8(entry.text);
        switch (entry.base) {
        case Base::Absolute:
            break;
        case Base::Home:
            path.prepend(HomePath());
            break;
        case Base::ProfileData:
            path.prepend(profileData);
            break;
        case Base::ProfileCache:
            path.prepend(profileCache);
            break;
        }
        switch (entry.expand) {
        case Expand::Plain:
            AppendPath(path);
            break;
        case Expand::Files:
        case Expand::Folders:
            FreeFindFileFolderList();
            FindFileFolder(path, entry.expand == Expand::Folders);
            break;
        case Expand::AccountArchives:
            AppendAccountArchives(path);
            break;
        case Expand::VolumeTrashes:
            AppendVolumeTrashes();
            break;
        }
    }
}

bool TraceCatalog::AddGroups(const std::vector<TraceGroup>& groups, int ownerId, const QString& profileData,
                             const QString& profileCache)
{
    for (const TraceGroup& group : groups) {
        AppendGroupPaths(group, profileData, profileCache);
        RegisterNode(QString::fromUtf8(group.name), m_pathList, ownerId, ownerId + group.id, kFolderIcon, true);
        m_pathList = nullptr; // the node took the list over
    }
    return true;
}

bool TraceCatalog::RegisterFound(const QString& name, PATHINFO* probe, int parentId, int currentId, const QString& icon)
{
    if (!probe || !CheckApplicationInstallation(probe->path))
        return false;
    if (probe == m_pathList)
        m_pathList = nullptr;
    FreePathList(probe);
    RegisterNode(name, nullptr, parentId, currentId, icon, true);
    return true;
}

void TraceCatalog::RegisterNode(const QString& name, PATHINFO* paths, int parentId, int currentId, const QString& icon,
                                bool installed)
{
    auto* node = new APPLICATIONINFO;
    node->name = name;
    node->pathList = paths;
    node->parentId = parentId;
    node->currentId = currentId;
    node->installed = installed;
    node->icon = icon;
    AppendNode(m_appList, node);
}

bool TraceCatalog::LocateApplication(const Application& app, int parentId)
{
    const QString name = QString::fromUtf8(app.name);
    const QString icon = QString::fromUtf8(app.icon);
    auto probe = [&](const QString& path) {
        EmptyWorkingList();
        AppendPath(path);
        return RegisterFound(name, m_pathList, parentId, app.id, icon);
    };
    for (const char* location : app.locations) {
        if (probe(QString::fromUtf8(location)))
            return true;
    }
    const QString listPath = KorvaneApp::GetInstance()->infoFilePath;
    for (const char* searchName : app.searchNames) {
        for (const QString& path : ListedApplicationPaths(QString::fromUtf8(searchName), listPath)) {
            if (probe(path))
                return true;
        }
    }
    EmptyWorkingList();
    return false;
}

void TraceCatalog::BuildApplications(const std::vector<const Application*>& table, int parentId,
                                     const std::function<void(const Application&)>& addGroups)
{
    for (const Application* app : table) {
        if (LocateApplication(*app, parentId))
            addGroups(*app);
        else
            RegisterNode(QString::fromUtf8(app->name), nullptr, parentId, app->id, QString::fromUtf8(app->icon), false);
    }
}

void TraceCatalog::FreeNodeList()
{
    while (m_appList) {
        APPLICATIONINFO* next = m_appList->next;
        FreePathList(m_appList->pathList);
        delete m_appList;
        m_appList = next;
    }
}
