// The trace catalogs as data: a catalog is a table of applications (or of system trace
// groups), each with its groups of trace paths. TraceCatalog interprets the tables: it finds
// applications on disk or in the installed-applications list, resolves paths against the
// user's home and expands name patterns into the files and folders that exist now.
#pragma once

#include "Records.h"

#include <QStringList>

#include <functional>
#include <vector>

namespace Catalog {

// Where a path of a table starts.
enum class Base
{
    Absolute,     // the text as written
    Home,         // the user's home folder followed by the text
    ProfileData,  // a browser profile's data folder followed by the text
    ProfileCache, // a browser profile's cache folder followed by the text
};

// How a path of a table becomes trace paths.
enum class Expand
{
    Plain,           // one path as written; ending in "/*" it stands for the folder's contents
    Files,           // a pattern: every file of the folder whose path contains the name before "*"
    Folders,         // the same for folders, each taken as "folder/*"
    AccountArchives, // every "<subfolder>/archive" of the folder, taken as "archive/*"
    VolumeTrashes,   // "<mount point>/.Trashes/*" for every volume of the disk list
};

struct TracePath
{
    Base base;
    Expand expand;
    const char* text;
};

struct TraceGroup
{
    int id; // added to the owner's id; a system trace group's own id
    const char* name;
    std::vector<TracePath> paths;
};

// How a browser's profiles are found; the other applications have none.
enum class Profiles
{
    None,
    ChromeFolders, // "Default" and every entry of the data folder named "profile..."
    ProfilesIni,   // the "Name=" / "Path=" lines of <data folder>/profiles.ini
};

struct ProfileSource
{
    Profiles kind = Profiles::None;
    const char* dataFolder = nullptr;  // after the home folder
    const char* cacheFolder = nullptr; // after the home folder
    int firstProfileId = 0;
    const char* codec = nullptr; // of profiles.ini; null: the default codec
};

struct Application
{
    const char* name;
    int id;
    std::vector<const char*> locations;   // tried in order; the first that exists wins
    std::vector<const char*> searchNames; // looked up in the installed-applications list
    const char* icon;
    std::vector<TraceGroup> groups;
    ProfileSource profiles = {};
};

// Shorthands that keep the tables close to the catalog descriptions.
inline TracePath HomePlain(const char* text)
{
    return {Base::Home, Expand::Plain, text};
}
inline TracePath HomeFiles(const char* text)
{
    return {Base::Home, Expand::Files, text};
}
inline TracePath HomeFolders(const char* text)
{
    return {Base::Home, Expand::Folders, text};
}
inline TracePath HomeArchives(const char* text)
{
    return {Base::Home, Expand::AccountArchives, text};
}
inline TracePath AbsolutePlain(const char* text)
{
    return {Base::Absolute, Expand::Plain, text};
}
inline TracePath AbsoluteFiles(const char* text)
{
    return {Base::Absolute, Expand::Files, text};
}
inline TracePath ProfilePlain(const char* text)
{
    return {Base::ProfileData, Expand::Plain, text};
}
inline TracePath ProfileFiles(const char* text)
{
    return {Base::ProfileData, Expand::Files, text};
}
inline TracePath CacheFolders(const char* text)
{
    return {Base::ProfileCache, Expand::Folders, text};
}
inline TracePath VolumeTrashes()
{
    return {Base::Absolute, Expand::VolumeTrashes, ""};
}

extern const char kFolderIcon[];
extern const char kProfileIcon[];

} // namespace Catalog

// The shared interpreter behind the five catalog classes. It owns the node list it builds
// and the path lists of those nodes.
class TraceCatalog
{
public:
    TraceCatalog() = default;
    ~TraceCatalog();
    TraceCatalog(const TraceCatalog&) = delete;
    TraceCatalog& operator=(const TraceCatalog&) = delete;

    // The nodes built so far, in building order.
    APPLICATIONINFO* NodeList() const { return m_appList; }

    static bool CheckApplicationInstallation(const QString& path);
    // Tests stand in for the file system's answer about application bundles (null restores it).
    static void SetInstallationCheckForTests(std::function<bool(const QString&)> check);

    // Appends the matches of `pattern` to the working path list.
    void FindFileFolder(const QString& pattern, bool folders);
    void FreeFindFileFolderList();

protected:
    // Application registration: a node when the probe's first path exists.
    bool RegisterFound(const QString& name, PATHINFO* probe, int parentId, int currentId, const QString& icon);
    // Appends a node without paths-check: not-found applications, profiles and groups.
    void RegisterNode(const QString& name, PATHINFO* paths, int parentId, int currentId, const QString& icon,
                      bool installed);

    // Probes the standard locations, then the installed-applications list. True when found.
    bool LocateApplication(const Catalog::Application& app, int parentId);
    // Builds every application of a table under parentId; `addGroups` adds a found one's groups.
    void BuildApplications(const std::vector<const Catalog::Application*>& table, int parentId,
                           const std::function<void(const Catalog::Application&)>& addGroups);
    // Registers each group of an application under ownerId (ownerId + group id).
    bool AddGroups(const std::vector<Catalog::TraceGroup>& groups, int ownerId, const QString& profileData = QString(),
                   const QString& profileCache = QString());
    // Empties the working path list and fills it with a group's paths.
    void AppendGroupPaths(const Catalog::TraceGroup& group, const QString& profileData = QString(),
                          const QString& profileCache = QString());

    void EmptyWorkingList();
    void AppendPath(const QString& path);
    void FreeNodeList();

    PATHINFO* m_pathList = nullptr; // the group being assembled
    QStringList m_foundPaths;       // the last expansion's matches
    APPLICATIONINFO* m_appList = nullptr;

private:
    void AppendAccountArchives(const QString& folder);
    void AppendVolumeTrashes();
};
