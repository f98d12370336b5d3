#include "InternetActivity.h"

#include "KorvaneApp.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

using namespace Catalog;

internetactivity m_internetactivity;

namespace {
#define APP_ICON(file) ":/images/images/Applications/" file
#define OPERA "/Library/Application Support/com.operasoftware.Opera"
#define OPERA_PREFS "/Library/Preferences/Opera Preferences"

// Profile ids advance by 20 from the browser's first profile id; they must stay below the
// next browser's id, or the next browser's node would adopt this profile's groups.
constexpr int kProfileStep = 20;
constexpr int kBrowserIdRange = 1000;

const Application kGoogleChrome = {
    "Google Chrome",
    1000,
    {"/Applications/Google Chrome.app"},
    {"Google Chrome"},
    APP_ICON("chrome.png"),
    {
        {1,
         "Cookies",
         {ProfileFiles("/Cookies*"), ProfilePlain("/Local Storage/*"), ProfileFiles("/Origin Bound Certs*")}},
        {2, "Session", {ProfileFiles("/Session*"), ProfilePlain("/Session Storage/*")}},
        {3, "Tabs", {ProfileFiles("/Tabs*")}},
        {4, "Form Values", {ProfileFiles("/Web Data*")}},
        {5, "Internet Cache", {ProfilePlain("/GPUCache/*"), CacheFolders("/Cache*")}},
        {6, "History", {ProfileFiles("/History*"), ProfilePlain("/Visited Links"), ProfileFiles("/Shortcuts*")}},
        {7, "Page Icon", {ProfileFiles("/Favicons*")}},
        {8, "Top Sites", {ProfileFiles("/Top Sites*")}},
        {9, "Saved login & Password", {ProfileFiles("/Login Data*")}},
        {10, "Bookmarks", {ProfileFiles("/Bookmarks*")}},
    },
    {Profiles::ChromeFolders, "/Library/Application Support/Google/Chrome/", "/Library/Caches/Google/Chrome/", 1020}};

const Application kMozillaFirefox = {
    "Mozilla Firefox",
    2000,
    {"/Applications/Firefox.app"},
    {"Firefox"},
    APP_ICON("mozila.png"),
    {
        {1, "Cookies", {ProfileFiles("/cookies.sqlite*")}},
        {2, "Download List", {ProfileFiles("/downloads*"), ProfileFiles("/places.sqlite*")}},
        {3, "Internet Cache", {CacheFolders("/Cache*")}},
        {4, "History", {ProfileFiles("/places.sqlite*")}},
        {5, "Form Value", {ProfileFiles("/formhistory*")}},
        {6, "Bookmark", {ProfileFiles("/places.sqlite*"), ProfilePlain("/bookmarkbackups/*")}},
        {7, "Session", {ProfileFiles("/session*"), ProfilePlain("/sessionstore-backups/*")}},
        {8, "Saved login & Password", {ProfilePlain("/signons.sqlite"), ProfilePlain("/logins.json")}},
    },
    {Profiles::ProfilesIni, "/Library/Application Support/Firefox", "/Library/Caches/Firefox", 2020, "UTF-8"}};

const Application kOpera = {
    "Opera",
    3000,
    {"/Applications/Opera.app"},
    {"Opera"},
    APP_ICON("opera.png"),
    {
        {1,
         "Cookies",
         {HomePlain(OPERA_PREFS "/cookies4.dat"), HomeFiles(OPERA "/Cookies*"), HomeFiles(OPERA "/Origin Bound Certs*"),
          HomePlain(OPERA_PREFS "/cookies4.dat")}},
        {2, "Download List", {HomePlain(OPERA_PREFS "/download.dat"), HomeFiles(OPERA "/History*")}},
        {3,
         "Internet Cache",
         {HomePlain("/Library/Caches/Opera/cache/*"), HomeFolders("/Library/Caches/com.operasoftware.Opera/Cache*")}},
        {4,
         "Page History",
         {HomePlain(OPERA_PREFS "/global_history.dat"), HomeFiles(OPERA "/History*"), HomeFiles(OPERA "/Shortcuts*"),
          HomePlain(OPERA "/Visited Links")}},
        {5, "Bookmark", {HomePlain(OPERA_PREFS "/bookmarks.adr"), HomeFiles(OPERA "/Bookmarks*")}},
        {6, "Login Data", {HomePlain(OPERA_PREFS "/wand.dat"), HomeFiles(OPERA "/Login Data*")}},
        {7, "Typed History", {HomePlain(OPERA_PREFS "/typed_history.xml")}},
        {8,
         "Icons & Thumbnails",
         {HomeFiles("/Library/Caches/Opera/icons/*.ico"), HomePlain("/Library/Caches/Opera/thumbnails/*"),
          HomeFiles(OPERA "/thumbnails.db*"), HomeFiles(OPERA "/Favicons*")}},
        {9, "Blocked Content", {HomePlain(OPERA_PREFS "/urlfilter.ini")}},
        {10,
         "Session",
         {HomeFiles(OPERA "/session*"), HomeFiles(OPERA "/Tabs*"), HomePlain(OPERA "/Local State"),
          HomePlain(OPERA_PREFS "/global_history.dat"), HomeFiles(OPERA "/History*"), HomeFiles(OPERA "/Shortcuts*"),
          HomePlain(OPERA "/Visited Links")}},
        {11, "Stash", {HomeFiles(OPERA "/stash.db*")}},
    }};

const Application kSafari = {
    "Safari",
    4000,
    {"/Applications/Safari.app"},
    {"Safari"},
    APP_ICON("safari.png"),
    {
        {1,
         "Cookies",
         {HomePlain("/Library/Cookies/Cookies.plist"), HomeFiles("/Library/Cookies/com.apple.safari*"),
          HomeFiles("/Library/Safari/Databases/___IndexedDB/*"), HomeFiles("/Library/Cookies/Cookies.binarycookies")}},
        {2, "Download List", {HomePlain("/Library/Safari/Downloads.plist")}},
        {3,
         "Internet Cache",
         {HomeFiles("/Library/Caches/com.apple.Safari/Cache.db*"), HomePlain("/Library/Safari/LocalStorage/*"),
          HomePlain("/Library/Caches/com.apple.Safari/com.apple.Safari.SafeBrowsing/*"),
          HomePlain("/Library/Caches/com.apple.Safari/fsCachedData/*"),
          HomePlain("/Library/Containers/com.apple.Safari/Data/Library/Caches/*")}},
        {4, "History", {HomeFiles("/Library/Safari/History*")}},
        {5, "Form Value", {HomePlain("/Library/Safari/Form Values")}},
        {6,
         "Page Icon",
         {HomePlain("/Library/Caches/com.apple.Safari/Webpage Previews/*"), HomeFolders("/Library/Safari/icon*"),
          HomePlain("/Library/Safari/WebpageIcons.db")}},
        {7,
         "Last Session",
         {HomeFiles("/Library/Safari/History*"), HomePlain("/Library/Safari/LastSession.plist"),
          HomePlain("/Library/Safari/RecentlyClosedTabs.plist")}},
        {8, "Bookmarks", {HomePlain("/Library/Safari/Bookmarks.plist")}},
        {9,
         "Top Sites",
         {HomePlain("/Library/Safari/TopSites.plist"),
          HomePlain("/Library/Caches/com.apple.Safari/Webpage Previews/*")}},
        {10,
         "Reading List",
         {HomePlain("/Library/Safari/ReadingListArchives/*"), HomePlain("/Library/Safari/Bookmarks.plist")}},
    }};

const Application kCamino = {
    "Camino",
    5000,
    {"/Applications/Camino.app"},
    {"Camino"},
    APP_ICON("camino.png"),
    {
        {1, "Cookies", {HomeFiles("/Library/Application Support/Camino/cookies.sqlite*")}},
        {2, "Download List", {HomePlain("/Library/Application Support/Camino/downloads.plist")}},
        {3, "Internet Cache", {HomePlain("/Library/Caches/Camino/Cache/*")}},
        {4,
         "Page History",
         {HomePlain("/Library/Application Support/Camino/history.dat"),
          HomeFiles("/Library/Application Support/Camino/places.sqlite*")}},
        {5, "Page Icon", {HomePlain("/Library/Caches/Camino/IconCache/*")}},
        {6, "Bookmarks", {HomeFiles("/Library/Application Support/Camino/bookmarks.plist*")}},
    }};

const Application kOmniWeb = {
    "OmniWeb",
    6000,
    {"/Applications/OmniWeb.app"},
    {"OmniWeb"},
    APP_ICON("omniweb.png"),
    {
        {1, "Cookies", {HomePlain("/Library/Application Support/OmniWeb 5/Cookies.xml")}},
        {2, "Download List", {HomePlain("/Library/Preferences/com.omnigroup.OmniWeb5.plist")}},
        {3,
         "Internet Cache",
         {HomePlain("/Library/Caches/com.omnigroup.OmniWeb5/WebKitCache/*"), HomePlain("/Library/Caches/OmniWeb/*")}},
        {4, "Page History", {HomeFiles("/Library/Application Support/OmniWeb 5/History*")}},
        {5, "Form Value", {HomePlain("/Library/Preferences/com.omnigroup.OmniWeb5.plist")}},
        {6,
         "Bookmarks",
         {HomeFiles("/Library/Application Support/OmniWeb 5/Bookmarks.html*"),
          HomePlain("/Library/Application Support/OmniWeb 5/Favorites.html")}},
    }};

const Application kiCab = {
    "iCab",
    7000,
    {"/Applications/iCab.app"},
    {"iCab"},
    APP_ICON("iCab.png"),
    {
        {1, "Cookies", {HomePlain("/Library/Preferences/iCab/iCab 4 Cookies")}},
        {2, "Bookmark", {HomeFiles("/Library/Preferences/iCab/iCab 4 Bookmarks*")}},
        {3, "Download list", {HomePlain("/Library/Preferences/iCab/iCab 4 Downloads")}},
        {4,
         "Internet Cache",
         {HomeFiles("/Library/Caches/iCab/Cache.db*"), HomePlain("/Library/Caches/iCab/fsCachedData/*")}},
        {5, "Page History", {HomePlain("/Library/Preferences/iCab/iCab 4 History")}},
        {6, "Auto Save Session", {HomePlain("/Library/Preferences/iCab/iCab 4 AutoSaveSession")}},
        {7, "Top Sites", {HomePlain("/Library/Preferences/iCab/iCab 4 TopTen")}},
    }};

const Application kNetscapeNavigator = {
    "Netscape Navigator",
    8000,
    {"/Applications/Navigator.app"},
    {"Navigator"},
    APP_ICON("netscape.png"),
    {
        {1, "Cookies", {ProfilePlain("/cookies.txt")}},
        {2, "Download List", {ProfilePlain("/downloads.rdf")}},
        {3, "Internet Cache", {CacheFolders("/Cache*")}},
        {4, "Page History", {ProfilePlain("/history.dat")}},
        {5, "Bookmarks", {ProfilePlain("/bookmarkbackups/*"), ProfileFiles("/bookmarks*")}},
        {6, "Session", {ProfileFiles("/sessionstore*")}},
    },
    {Profiles::ProfilesIni, "/Library/Application Support/Navigator", "/Library/Caches/Navigator", 8020}};

const Application kFlock = {
    "Flock",
    9000,
    {"/Applications/Flock.app"},
    {"Flock"},
    APP_ICON("flock.png"),
    {
        {1, "Cookies", {ProfileFiles("/cookies.sqlite*")}},
        {2, "Download List", {ProfilePlain("/downloads.sqlite")}},
        {3, "Internet Cache", {CacheFolders("/Cache*")}},
        {4, "Page History", {ProfileFiles("/places.sqlite*")}},
        {5, "Login Data", {ProfilePlain("/signons3.txt")}},
        {6, "Form Value", {ProfilePlain("/formhistory.sqlite")}},
        {7,
         "Bookmarks",
         {ProfilePlain("/bookmarks.html"), ProfilePlain("/bookmarkbackups/*"), ProfileFiles("/places.sqlite*")}},
    },
    {Profiles::ProfilesIni, "/Library/Application Support/Flock", "/Library/Caches/Flock", 9020}};

bool ProfileIdFits(const Application& browser, int profileId)
{
    return profileId < browser.id + kBrowserIdRange;
}
} // namespace

internetactivity::~internetactivity()
{
    FreeAppUserProfileList();
}

const std::vector<const Application*>& internetactivity::Table()
{
    static const std::vector<const Application*> table = {
        &kGoogleChrome, &kMozillaFirefox, &kOpera, &kSafari, &kCamino, &kOmniWeb, &kiCab, &kNetscapeNavigator, &kFlock,
    };
    return table;
}

bool internetactivity::InetrnetApplicationList(int parentId)
{
    if (TablesPlatform() == PlatformKind::Linux) {
        BuildApplications(LinuxTable(), parentId, nullptr);
        return true;
    }
    BuildApplications(Table(), parentId, [this](const Application& app) { AddBrowserGroups(app); });
    return true;
}

bool internetactivity::SetInternetAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId,
                                                const QString& icon)
{
    return RegisterFound(name, probe, parentId, currentId, icon);
}

void internetactivity::SetUninstallIntAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                    const QString& icon, bool installed)
{
    RegisterNode(name, paths, parentId, currentId, icon, installed);
}

void internetactivity::SetIAContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                              const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, true);
}

void internetactivity::CreateProfileList(const QString& name, const QString& folder, int parentId, int currentId,
                                         bool isAbsolute)
{
    auto* profile = new PROFILEINFO;
    profile->name = name;
    profile->folder = folder;
    profile->parentId = parentId;
    profile->currentId = currentId;
    profile->isAbsolute = isAbsolute;
    AppendNode(m_profileList, profile);
    SetUninstallIntAppAttributes(name, nullptr, parentId, currentId, kProfileIcon, true);
}

void internetactivity::FreeAppUserProfileList()
{
    FreeNodes(m_profileList);
}

void internetactivity::DiscoverChromeProfiles(const Application& browser, const QString& dataFolder)
{
    const ProfileSource& source = browser.profiles;
    CreateProfileList(QStringLiteral("DEFAULT"), QStringLiteral("Default"), browser.id, source.firstProfileId, false);
    int counter = kProfileStep;
    const QDir::Filters filter = QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot;
    for (const QString& entry : QDir(dataFolder).entryList(filter, QDir::Name)) {
        if (!entry.startsWith(QLatin1String("profile"), Qt::CaseInsensitive))
            continue;
        if (!ProfileIdFits(browser, source.firstProfileId + counter))
            break;
        CreateProfileList(entry.toUpper(), entry, browser.id, source.firstProfileId + counter, false);
        counter += kProfileStep;
    }
}

void internetactivity::DiscoverIniProfiles(const Application& browser)
{
    const ProfileSource& source = browser.profiles;
    QFile ini(KorvaneApp::GetInstance()->homePath + QString::fromUtf8(source.dataFolder) +
              QStringLiteral("/profiles.ini"));
    if (!ini.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&ini);
    if (source.codec)
        in.setCodec(source.codec);
    QString name;
    int counter = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.startsWith(QLatin1String("Name="))) {
            name = line.section(QLatin1Char('='), 1);
        } else if (line.startsWith(QLatin1String("Path="))) {
            const QString value = line.section(QLatin1Char('='), 1);
            const int id = source.firstProfileId + counter;
            counter += kProfileStep;
            if (!ProfileIdFits(browser, id))
                continue;
            // Only an absolute value names a folder of its own; any other value (a
            // "Profiles/..." one included) lies below the data folder, never below the
            // process's working directory.
            if (value.startsWith(QLatin1Char('/')))
                CreateProfileList(name, value, browser.id, id, true);
            else
                CreateProfileList(name, QLatin1Char('/') + value, browser.id, id, false);
        }
    }
}

bool internetactivity::AddBrowserGroups(const Application& browser)
{
    const ProfileSource& source = browser.profiles;
    if (source.kind == Profiles::None)
        return AddGroups(browser.groups, browser.id);

    const QString home = KorvaneApp::GetInstance()->homePath;
    const QString dataFolder = home + QString::fromUtf8(source.dataFolder);
    const QString cacheFolder = home + QString::fromUtf8(source.cacheFolder);
    if (source.kind == Profiles::ChromeFolders)
        DiscoverChromeProfiles(browser, dataFolder);
    else
        DiscoverIniProfiles(browser);

    for (PROFILEINFO* profile = m_profileList; profile; profile = profile->next) {
        if (profile->isAbsolute)
            AddGroups(browser.groups, profile->currentId, profile->folder, profile->folder);
        else
            AddGroups(browser.groups, profile->currentId, dataFolder + profile->folder, cacheFolder + profile->folder);
    }
    FreeFindFileFolderList();
    FreeAppUserProfileList();
    return true;
}

bool internetactivity::AddListForGoogleChrome()
{
    return AddBrowserGroups(kGoogleChrome);
}
bool internetactivity::AddListForMozillaFirefox()
{
    return AddBrowserGroups(kMozillaFirefox);
}
bool internetactivity::AddListForOpera()
{
    return AddBrowserGroups(kOpera);
}
bool internetactivity::AddListForSafari()
{
    return AddBrowserGroups(kSafari);
}
bool internetactivity::AddListForCamino()
{
    return AddBrowserGroups(kCamino);
}
bool internetactivity::AddListForOmniWeb()
{
    return AddBrowserGroups(kOmniWeb);
}
bool internetactivity::AddListForiCab()
{
    return AddBrowserGroups(kiCab);
}
bool internetactivity::AddListForNetscapeNavigator()
{
    return AddBrowserGroups(kNetscapeNavigator);
}
bool internetactivity::AddListForFlock()
{
    return AddBrowserGroups(kFlock);
}

void internetactivity::FreeInternetActivityList()
{
    FreeNodeList();
}
