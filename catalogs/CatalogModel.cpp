#include "CatalogModel.h"

#include "InstalledApplications.h"
#include "KorvaneApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegExp>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <optional>

#include <sys/stat.h>
#include <unistd.h>

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

std::optional<PlatformKind>& PlatformForTests()
{
    static std::optional<PlatformKind> platform;
    return platform;
}

bool LinuxRules()
{
    return TablesPlatform() == PlatformKind::Linux;
}

// Profile ids advance by 20 from the first profile id and stay below the next application's id.
constexpr int kProfileStep = 20;
constexpr int kApplicationIdRange = 1000;

QString XdgFolder(const char* variable, const char* fallback)
{
    const QString home = QDir::cleanPath(HomePath());
    const QString value = QDir::cleanPath(qEnvironmentVariable(variable));
    if (value.startsWith(QLatin1Char('/')) && value.startsWith(home + QLatin1Char('/')))
        return value;
    return HomePath() + QLatin1String(fallback);
}

bool IsRealFolder(const QString& path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "<home>/snap/<name>/current/..." with "current" replaced by the revision folder that the
// link names, so that no path of a trace passes through that link.
QString ResolveSnapRevision(const QString& path)
{
    const QString snaps = HomePath() + QStringLiteral("/snap/");
    if (!path.startsWith(snaps))
        return path;
    const int nameEnd = path.indexOf(QLatin1Char('/'), snaps.size());
    if (nameEnd < 0 || path.midRef(nameEnd).left(9) != QLatin1String("/current/"))
        return path;
    const QString link = path.left(nameEnd + 8);
    char buffer[256];
    const ssize_t length = ::readlink(QFile::encodeName(link).constData(), buffer, sizeof buffer - 1);
    const QString revision = length > 0 ? QFile::decodeName(QByteArray(buffer, int(length))) : QString();
    if (revision.isEmpty() || revision.contains(QLatin1Char('/')) || revision.startsWith(QLatin1Char('.')))
        return path;
    return path.left(nameEnd + 1) + revision + path.mid(nameEnd + 8);
}

// The roots that Linux traces may lie in: the home folder and the mounted volumes that are
// no protected location (removable media, /mnt/..., a data disk; not /boot, /home or /).
QStringList UserAreaRoots()
{
    const KorvaneApp* app = KorvaneApp::GetInstance();
    QStringList roots{QDir::cleanPath(HomePath())};
    for (DISKINFO* disk = app->diskList; disk; disk = disk->next) {
        for (PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next) {
            const QString mount = QDir::cleanPath(volume->mountPoint);
            if (mount.size() > 1 && mount.startsWith(QLatin1Char('/')) && !app->RestrictSystemFolder(mount))
                roots << mount;
        }
    }
    return roots;
}

// True when `path` exists and lies below one of the roots, every folder between the root
// and it a real folder (no link followed on the way).
bool InUserArea(const QString& path, const QStringList& roots)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    for (const QString& root : roots) {
        if (root.size() < 2 || !path.startsWith(root + QLatin1Char('/')))
            continue;
        QString folder = path.left(path.lastIndexOf(QLatin1Char('/')));
        while (folder.size() > root.size()) {
            if (!IsRealFolder(folder))
                return false;
            folder.truncate(folder.lastIndexOf(QLatin1Char('/')));
        }
        return true;
    }
    return false;
}

bool MatchesAny(const QString& name, const std::vector<const char*>& patterns)
{
    for (const char* pattern : patterns) {
        if (QRegExp(QString::fromUtf8(pattern), Qt::CaseSensitive, QRegExp::Wildcard).exactMatch(name))
            return true;
    }
    return false;
}

struct FoundProfile
{
    QString name;
    QString data;
    QString cache;
};

// The [Profile...] sections of a profiles.ini: a relative path (IsRelative=1) lies below the
// folder that holds the file, its cache below the cache folder; an absolute one holds both.
QVector<FoundProfile> IniProfiles(const QString& dataFolder, const QString& cacheFolder)
{
    QVector<FoundProfile> profiles;
    QFile ini(dataFolder + QStringLiteral("/profiles.ini"));
    if (!ini.open(QIODevice::ReadOnly | QIODevice::Text))
        return profiles;
    QTextStream in(&ini);
    in.setCodec("UTF-8");
    bool inProfile = false;
    FoundProfile current;
    bool relative = true;
    auto finish = [&]() {
        if (inProfile && !current.data.isEmpty()) {
            if (relative && !current.data.startsWith(QLatin1Char('/'))) {
                current.cache = cacheFolder + QLatin1Char('/') + current.data;
                current.data = dataFolder + QLatin1Char('/') + current.data;
            } else if (current.data.startsWith(QLatin1Char('/'))) {
                current.cache = current.data;
            } else {
                current.data.clear();
            }
            if (!current.data.isEmpty())
                profiles << current;
        }
        current = FoundProfile();
        relative = true;
    };
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            finish();
            inProfile = line.startsWith(QLatin1String("[Profile"));
            continue;
        }
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("Name"))
            current.name = value;
        else if (key == QLatin1String("Path"))
            current.data = value;
        else if (key == QLatin1String("IsRelative"))
            relative = value != QLatin1String("0");
    }
    finish();
    return profiles;
}

} // namespace

namespace Catalog {
PlatformKind TablesPlatform()
{
    return PlatformForTests() ? *PlatformForTests() : HostPlatform();
}

void SetTablesPlatformForTests(PlatformKind platform)
{
    PlatformForTests() = platform;
}

void ResetTablesPlatformForTests()
{
    PlatformForTests().reset();
}

QString BaseFolder(Base base)
{
    switch (base) {
    case Base::ConfigHome:
        return XdgFolder("XDG_CONFIG_HOME", "/.config");
    case Base::CacheHome:
        return XdgFolder("XDG_CACHE_HOME", "/.cache");
    case Base::DataHome:
        return XdgFolder("XDG_DATA_HOME", "/.local/share");
    case Base::StateHome:
        return XdgFolder("XDG_STATE_HOME", "/.local/state");
    case Base::Home:
        return HomePath();
    default:
        return QString();
    }
}

QString ExpandFolderText(const QString& text)
{
    if (text.startsWith(QLatin1String("~/")))
        return ResolveSnapRevision(HomePath() + text.mid(1));
    const struct
    {
        const char* name;
        Base base;
    } variables[] = {{"$XDG_CONFIG_HOME", Base::ConfigHome},
                     {"$XDG_CACHE_HOME", Base::CacheHome},
                     {"$XDG_DATA_HOME", Base::DataHome},
                     {"$XDG_STATE_HOME", Base::StateHome}};
    for (const auto& variable : variables) {
        const QString name = QString::fromLatin1(variable.name);
        if (text == name || text.startsWith(name + QLatin1Char('/')))
            return ResolveSnapRevision(BaseFolder(variable.base) + text.mid(name.size()));
    }
    return text;
}
} // namespace Catalog

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

void TraceCatalog::AppendMatches(const QString& pattern, const std::vector<const char*>& except)
{
    const int slash = pattern.lastIndexOf(QLatin1Char('/'));
    const QString folder = pattern.left(slash);
    if (slash <= 0 || !IsRealFolder(folder))
        return;
    const QDir::Filters filter =
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot | QDir::CaseSensitive;
    for (const QString& entry : QDir(folder).entryList({pattern.mid(slash + 1)}, filter, QDir::Name)) {
        if (MatchesAny(entry, except))
            continue;
        const QString path = folder + QLatin1Char('/') + entry;
        struct stat st;
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode))
            AppendPath(path + QStringLiteral("/*"));
        else if (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))
            AppendPath(path); // a link is removed as itself, never followed
    }
}

void TraceCatalog::AppendFreedesktopTrashes()
{
    const QString uid = QString::number(::getuid());
    for (DISKINFO* disk = KorvaneApp::GetInstance()->diskList; disk; disk = disk->next) {
        for (PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next) {
            if (volume->mountPoint.isEmpty() || volume->mountPoint == QLatin1String("/"))
                continue; // the home trash stands for the system volume's
            // Paths outside the user's volumes are dropped afterwards.
            for (const QString& trash : {volume->mountPoint + QStringLiteral("/.Trash-") + uid,
                                         volume->mountPoint + QStringLiteral("/.Trash/") + uid}) {
                AppendMatches(trash + QStringLiteral("/files/*"), {});
                AppendMatches(trash + QStringLiteral("/info/*"), {});
            }
        }
    }
}

void TraceCatalog::KeepPathsInUserArea()
{
    const QStringList roots = UserAreaRoots();
    PATHINFO* kept = nullptr;
    QSet<QString> seen; // a trash or cache folder can hold thousands of entries
    while (PATHINFO* path = m_pathList) {
        m_pathList = path->next;
        path->next = nullptr;
        // Written plainly ("//", "/./" and "/../" resolved as text): no link is on the way.
        const bool contents = path->path.endsWith(QLatin1String("/*"));
        const QString target = QDir::cleanPath(contents ? path->path.chopped(2) : path->path);
        path->path = contents ? target + QStringLiteral("/*") : target;
        if (!seen.contains(path->path) && InUserArea(target, roots)) {
            seen.insert(path->path);
            AppendNode(kept, path);
        } else {
            delete path;
        }
    }
    m_pathList = kept;
}

void TraceCatalog::AppendGroupPaths(const TraceGroup& group, const QString& profileData, const QString& profileCache)
{
    EmptyWorkingList();
    for (const TracePath& entry : group.paths) {
        QString path = QString::fromUtf8(entry.text);
        switch (entry.base) {
        case Base::Absolute:
            break;
        case Base::ProfileData:
            path.prepend(profileData);
            break;
        case Base::ProfileCache:
            path.prepend(profileCache);
            break;
        default:
            path = ResolveSnapRevision(BaseFolder(entry.base) + path);
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
        case Expand::Matches:
            AppendMatches(path, entry.except);
            break;
        case Expand::FreedesktopTrashes:
            AppendFreedesktopTrashes();
            break;
        }
    }
    if (LinuxRules())
        KeepPathsInUserArea();
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
        if (probe(ExpandFolderText(QString::fromUtf8(location))))
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
    if (LinuxRules()) {
        // Only an installed application with traces on disk is offered.
        for (const Application* app : table) {
            if (!LocateApplication(*app, parentId))
                continue;
            APPLICATIONINFO* node = m_appList;
            while (node->next)
                node = node->next;
            AddApplicationGroups(*app);
            if (!PruneEmptyNodes(node)) {
                APPLICATIONINFO** link = &m_appList;
                while (*link != node)
                    link = &(*link)->next;
                *link = nullptr;
                delete node;
                m_runningProbes.erase(std::remove_if(m_runningProbes.begin(), m_runningProbes.end(),
                                                     [app](const RunningProbe& probe) { return probe.id == app->id; }),
                                      m_runningProbes.end());
            }
        }
        return;
    }
    for (const Application* app : table) {
        if (LocateApplication(*app, parentId))
            addGroups(*app);
        else
            RegisterNode(QString::fromUtf8(app->name), nullptr, parentId, app->id, QString::fromUtf8(app->icon), false);
    }
}

void TraceCatalog::AddApplicationGroups(const Application& app)
{
    RunningProbe probe;
    probe.id = app.id;
    probe.name = QString::fromUtf8(app.name);
    for (const char* process : app.processes)
        probe.processes << QString::fromUtf8(process);
    if (app.profiles.kind == Profiles::None)
        AddGroups(app.groups, app.id);
    else
        AddProfileGroups(app, probe);
    m_runningProbes << probe;
}

void TraceCatalog::AddProfileGroups(const Application& app, RunningProbe& probe)
{
    const ProfileSource& source = app.profiles;
    const QString lock = source.lockFile ? QString::fromUtf8(source.lockFile) : QString();
    int id = source.firstProfileId;
    for (const ProfileRoot& root : source.roots) {
        const QString data = ExpandFolderText(QString::fromUtf8(root.dataFolder));
        const QString cache = ExpandFolderText(QString::fromUtf8(root.cacheFolder));
        if (!IsRealFolder(data))
            continue;
        QVector<FoundProfile> found;
        if (source.kind == Profiles::ProfilesIni) {
            found = IniProfiles(data, cache);
        } else if (source.kind == Profiles::SingleFolder) {
            found << FoundProfile{QStringLiteral("DEFAULT"), data, cache};
        } else {
            for (const QString& entry : QDir(data).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
                if ((entry == QLatin1String("Default") || entry.startsWith(QLatin1String("Profile "))) &&
                    IsRealFolder(data + QLatin1Char('/') + entry))
                    found << FoundProfile{entry.toUpper(), data + QLatin1Char('/') + entry,
                                          cache + QLatin1Char('/') + entry};
            }
        }
        if (!lock.isEmpty() && source.lockInDataFolder)
            probe.lockFiles << data + QLatin1Char('/') + lock;
        const QString label = QString::fromUtf8(root.label);
        for (const FoundProfile& profile : qAsConst(found)) {
            if (id >= app.id + kApplicationIdRange)
                return;
            if (!lock.isEmpty() && !source.lockInDataFolder)
                probe.lockFiles << profile.data + QLatin1Char('/') + lock;
            const QString name = label.isEmpty() ? profile.name : profile.name + QStringLiteral(" (") + label + ')';
            RegisterNode(name, nullptr, app.id, id, kProfileIcon, true);
            AddGroups(app.groups, id, profile.data, profile.cache);
            id += kProfileStep;
        }
    }
}

bool TraceCatalog::PruneEmptyNodes(APPLICATIONINFO* from)
{
    QVector<APPLICATIONINFO*> nodes;
    for (APPLICATIONINFO* node = from->next; node; node = node->next)
        nodes << node;
    from->next = nullptr;
    QSet<int> keptParents;
    QVector<APPLICATIONINFO*> kept;
    for (int i = nodes.size() - 1; i >= 0; --i) {
        APPLICATIONINFO* node = nodes.at(i);
        if (node->pathList || keptParents.contains(node->currentId)) {
            keptParents.insert(node->parentId);
            kept.prepend(node);
        } else {
            delete node;
        }
    }
    for (APPLICATIONINFO* node : qAsConst(kept)) {
        node->next = nullptr;
        AppendNode(m_appList, node);
    }
    return !kept.isEmpty();
}

void TraceCatalog::FreeNodeList()
{
    m_runningProbes.clear();
    while (m_appList) {
        APPLICATIONINFO* next = m_appList->next;
        FreePathList(m_appList->pathList);
        delete m_appList;
        m_appList = next;
    }
}
