// The trace catalogs as data: a catalog is a table of applications (or of system trace
// groups), each with its groups of trace paths. TraceCatalog interprets the tables: it finds
// applications on disk or in the installed-applications list, resolves paths against the
// user's home and expands name patterns into the files and folders that exist now. With
// the Linux tables it offers only what exists: applications, profiles and groups without a
// path on disk are left out, and every path lies below the home folder or a user's volume
// with no symbolic link on the way.
#pragma once

#include "Platform.h"
#include "Records.h"

#include <QStringList>
#include <QVector>

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
    ConfigHome,   // $XDG_CONFIG_HOME (~/.config) followed by the text
    CacheHome,    // $XDG_CACHE_HOME (~/.cache) followed by the text
    DataHome,     // $XDG_DATA_HOME (~/.local/share) followed by the text
    StateHome,    // $XDG_STATE_HOME (~/.local/state) followed by the text
};

// How a path of a table becomes trace paths.
enum class Expand
{
    Plain,           // one path as written; ending in "/*" it stands for the folder's contents
    Files,           // a pattern: every file of the folder whose path contains the name before "*"
    Folders,         // the same for folders, each taken as "folder/*"
    AccountArchives, // every "<subfolder>/archive" of the folder, taken as "archive/*"
    VolumeTrashes,   // "<mount point>/.Trashes/*" for every volume of the disk list
    // A wildcard on names ("Cookies*", "*Session*", "*"): every entry of the folder, hidden
    // ones too, whose name matches and is not one of `except` (wildcards too); a folder is
    // taken as "folder/*", a file or a link as its own path.
    Matches,
    // The freedesktop trash of every mounted volume: "<mount point>/.Trash-<uid>" and
    // "<mount point>/.Trash/<uid>", their "files" and "info" entries taken as by Matches.
    FreedesktopTrashes,
};

struct TracePath
{
    Base base;
    Expand expand;
    const char* text;
    std::vector<const char*> except = {};
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
    // "Default" and every entry of the data folder named "profile..." (with roots: the real
    // folders "Default" and "Profile ...")
    ChromeFolders,
    // the "Name=" / "Path=" lines of <data folder>/profiles.ini (with roots: its [Profile...]
    // sections, a path relative to the file's folder when IsRelative is not 0)
    ProfilesIni,
    SingleFolder, // each root's data folder is the one profile ("DEFAULT")
};

// One more place where an application keeps its profiles (Linux: the native, Snap and
// Flatpak folders). Folder texts start with "~/" or "$XDG_..._HOME/" (see ExpandFolderText).
struct ProfileRoot
{
    const char* label; // appended to the profile names of this root, "" for none
    const char* dataFolder;
    const char* cacheFolder;
};

struct ProfileSource
{
    Profiles kind = Profiles::None;
    const char* dataFolder = nullptr;  // after the home folder
    const char* cacheFolder = nullptr; // after the home folder
    int firstProfileId = 0;
    const char* codec = nullptr;         // of profiles.ini; null: the default codec
    std::vector<ProfileRoot> roots = {}; // when set, these instead of the two folders above
    const char* lockFile = nullptr;      // a link that exists while the profile is open
    bool lockInDataFolder = false;       // the lock lies in the root folder, not in each profile
};

struct Application
{
    const char* name;
    int id;
    std::vector<const char*> locations;   // tried in order; the first that exists wins (Linux:
                                          // data folders, texts as in ExpandFolderText)
    std::vector<const char*> searchNames; // looked up in the installed-applications list
    const char* icon;
    std::vector<TraceGroup> groups;
    ProfileSource profiles = {};
    std::vector<const char*> processes = {}; // program names that show it is running
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
inline TracePath FreedesktopTrashes()
{
    return {Base::Absolute, Expand::FreedesktopTrashes, ""};
}
// Shorthands of the Linux tables.
inline TracePath Plain(Base base, const char* text)
{
    return {base, Expand::Plain, text};
}
inline TracePath Match(Base base, const char* text, std::vector<const char*> except = {})
{
    return {base, Expand::Matches, text, std::move(except)};
}

// The platform whose tables the catalogs read: the host's, unless a test chose one.
PlatformKind TablesPlatform();
void SetTablesPlatformForTests(PlatformKind platform);
void ResetTablesPlatformForTests();

// A folder text of a table with its leading "~" or "$XDG_CONFIG_HOME", "$XDG_CACHE_HOME",
// "$XDG_DATA_HOME", "$XDG_STATE_HOME" replaced; any other text is returned as written. A
// Snap's "current" link below the home folder is replaced by the revision it names.
QString ExpandFolderText(const QString& text);
// The XDG base folder of `base` (Home: the home folder itself). A variable that is not an
// absolute path below the home folder is ignored, as the traces stay inside the home.
QString BaseFolder(Base base);

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

    // What tells that an offered application is running (Linux tables).
    struct RunningProbe
    {
        int id = 0;
        QString name;
        QStringList processes;
        QStringList lockFiles;
    };
    const QVector<RunningProbe>& RunningProbes() const { return m_runningProbes; }

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

    // Linux tables: an offered application's groups, below one node per discovered profile
    // when it has profiles; its lock files are noted for the running check.
    void AddApplicationGroups(const Catalog::Application& app);
    // Linux tables: drops the group nodes after `from` that found no path, then profile nodes
    // left without groups; true when a group remains.
    bool PruneEmptyNodes(APPLICATIONINFO* from);

    PATHINFO* m_pathList = nullptr; // the group being assembled
    QStringList m_foundPaths;       // the last expansion's matches
    APPLICATIONINFO* m_appList = nullptr;

private:
    void AppendAccountArchives(const QString& folder);
    void AppendVolumeTrashes();
    void AppendMatches(const QString& pattern, const std::vector<const char*>& except);
    void AppendFreedesktopTrashes();
    // Linux tables: keeps the paths that exist and lie below the home folder or a user volume
    // with no link on the way.
    void KeepPathsInUserArea();
    void AddProfileGroups(const Catalog::Application& app, RunningProbe& probe);

    QVector<RunningProbe> m_runningProbes;
};
