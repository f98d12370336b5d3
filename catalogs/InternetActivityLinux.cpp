// The browsers of a Linux desktop: Firefox from profiles.ini, the Chromium family from
// their "Default" and "Profile N" folders, each in its native, Snap and Flatpak folders.
#include "InternetActivity.h"

using namespace Catalog;

namespace {
#define APP_ICON(file) ":/images/images/Applications/" file
// The browsers without an icon of their own take the category's globe.
#define BROWSER_ICON ":/images/images/Traces/InternetActivity.png"

// The groups of every browser built on Chromium; the numbers are those of Chrome on macOS.
const std::vector<TraceGroup> kChromiumGroups = {
    {1,
     "Cookies",
     {Match(Base::ProfileData, "/Cookies*"), Match(Base::ProfileData, "/Network/Cookies*"),
      Plain(Base::ProfileData, "/Local Storage/*")}},
    {2,
     "Session",
     {Match(Base::ProfileData, "/* Session"), Plain(Base::ProfileData, "/Sessions/*"),
      Plain(Base::ProfileData, "/Session Storage/*")}},
    {3, "Tabs", {Match(Base::ProfileData, "/* Tabs")}},
    {4, "Form Values", {Match(Base::ProfileData, "/Web Data*")}},
    {5, "Internet Cache", {Plain(Base::ProfileData, "/GPUCache/*"), Match(Base::ProfileCache, "/*")}},
    {6,
     "History",
     {Match(Base::ProfileData, "/History*"), Plain(Base::ProfileData, "/Visited Links"),
      Match(Base::ProfileData, "/Shortcuts*")}},
    {7, "Page Icon", {Match(Base::ProfileData, "/Favicons*")}},
    {8, "Top Sites", {Match(Base::ProfileData, "/Top Sites*")}},
    {9, "Saved login & Password", {Match(Base::ProfileData, "/Login Data*")}},
    {10, "Bookmarks", {Match(Base::ProfileData, "/Bookmarks*")}},
};

// Firefox keeps history, bookmarks and downloads in places.sqlite: "History" takes that
// file (bookmarks come back from their backups), "Bookmark" only the backups.
const std::vector<TraceGroup> kFirefoxGroups = {
    {1, "Cookies", {Match(Base::ProfileData, "/cookies.sqlite*")}},
    {3,
     "Internet Cache",
     {Plain(Base::ProfileCache, "/cache2/*"), Plain(Base::ProfileCache, "/startupCache/*"),
      Plain(Base::ProfileCache, "/thumbnails/*")}},
    {4, "History", {Match(Base::ProfileData, "/places.sqlite*"), Match(Base::ProfileData, "/favicons.sqlite*")}},
    {5, "Form Value", {Match(Base::ProfileData, "/formhistory.sqlite*")}},
    {6, "Bookmark", {Plain(Base::ProfileData, "/bookmarkbackups/*")}},
    {7, "Session", {Match(Base::ProfileData, "/sessionstore*"), Match(Base::ProfileData, "/sessionCheckpoints.json")}},
    {8,
     "Saved login & Password",
     {Match(Base::ProfileData, "/logins*.json"), Plain(Base::ProfileData, "/signons.sqlite")}},
};

ProfileSource Chromium(Profiles kind, int firstProfileId, std::vector<ProfileRoot> roots)
{
    ProfileSource source;
    source.kind = kind;
    source.firstProfileId = firstProfileId;
    source.roots = std::move(roots);
    source.lockFile = "SingletonLock";
    source.lockInDataFolder = true;
    return source;
}

const Application kGoogleChrome = {
    "Google Chrome",
    1000,
    {"$XDG_CONFIG_HOME/google-chrome", "~/.var/app/com.google.Chrome/config/google-chrome"},
    {"Google Chrome"},
    APP_ICON("chrome.png"),
    kChromiumGroups,
    Chromium(Profiles::ChromeFolders, 1020,
             {{"", "$XDG_CONFIG_HOME/google-chrome", "$XDG_CACHE_HOME/google-chrome"},
              {"Flatpak", "~/.var/app/com.google.Chrome/config/google-chrome",
               "~/.var/app/com.google.Chrome/cache/google-chrome"}}),
    {"chrome", "google-chrome"}};

const Application kMozillaFirefox = {
    "Mozilla Firefox",
    2000,
    {"~/.mozilla/firefox", "$XDG_CONFIG_HOME/mozilla/firefox", "~/snap/firefox/common/.mozilla/firefox",
     "~/.var/app/org.mozilla.firefox/.mozilla/firefox"},
    {"Firefox"},
    APP_ICON("mozila.png"),
    kFirefoxGroups,
    {Profiles::ProfilesIni,
     nullptr,
     nullptr,
     2020,
     "UTF-8",
     {{"", "~/.mozilla/firefox", "$XDG_CACHE_HOME/mozilla/firefox"},
      {"", "$XDG_CONFIG_HOME/mozilla/firefox", "$XDG_CACHE_HOME/mozilla/firefox"},
      {"Snap", "~/snap/firefox/common/.mozilla/firefox", "~/snap/firefox/common/.cache/mozilla/firefox"},
      {"Flatpak", "~/.var/app/org.mozilla.firefox/.mozilla/firefox",
       "~/.var/app/org.mozilla.firefox/cache/mozilla/firefox"}},
     "lock"},
    {"firefox", "firefox-bin", "firefox-esr"}};

const Application kOpera = {
    "Opera",
    3000,
    {"$XDG_CONFIG_HOME/opera", "~/snap/opera/current/.config/opera", "~/.var/app/com.opera.Opera/config/opera"},
    {"Opera"},
    APP_ICON("opera.png"),
    kChromiumGroups,
    Chromium(Profiles::SingleFolder, 3020,
             {{"", "$XDG_CONFIG_HOME/opera", "$XDG_CACHE_HOME/opera"},
              {"Snap", "~/snap/opera/current/.config/opera", "~/snap/opera/current/.cache/opera"},
              {"Flatpak", "~/.var/app/com.opera.Opera/config/opera", "~/.var/app/com.opera.Opera/cache/opera"}}),
    {"opera"}};

const Application kChromium = {
    "Chromium",
    10000,
    {"$XDG_CONFIG_HOME/chromium", "~/snap/chromium/common/chromium",
     "~/.var/app/org.chromium.Chromium/config/chromium"},
    {"Chromium"},
    APP_ICON("chrome.png"),
    kChromiumGroups,
    Chromium(Profiles::ChromeFolders, 10020,
             {{"", "$XDG_CONFIG_HOME/chromium", "$XDG_CACHE_HOME/chromium"},
              {"Snap", "~/snap/chromium/common/chromium", "~/snap/chromium/common/.cache/chromium"},
              {"Flatpak", "~/.var/app/org.chromium.Chromium/config/chromium",
               "~/.var/app/org.chromium.Chromium/cache/chromium"}}),
    {"chromium", "chromium-browser"}};

const Application kBrave = {
    "Brave",
    11000,
    {"$XDG_CONFIG_HOME/BraveSoftware/Brave-Browser", "~/snap/brave/current/.config/BraveSoftware/Brave-Browser",
     "~/.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser"},
    {"Brave"},
    BROWSER_ICON,
    kChromiumGroups,
    Chromium(Profiles::ChromeFolders, 11020,
             {{"", "$XDG_CONFIG_HOME/BraveSoftware/Brave-Browser", "$XDG_CACHE_HOME/BraveSoftware/Brave-Browser"},
              {"Snap", "~/snap/brave/current/.config/BraveSoftware/Brave-Browser",
               "~/snap/brave/current/.cache/BraveSoftware/Brave-Browser"},
              {"Flatpak", "~/.var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser",
               "~/.var/app/com.brave.Browser/cache/BraveSoftware/Brave-Browser"}}),
    {"brave", "brave-browser"}};

const Application kVivaldi = {
    "Vivaldi",
    12000,
    {"$XDG_CONFIG_HOME/vivaldi", "~/snap/vivaldi/current/.config/vivaldi",
     "~/.var/app/com.vivaldi.Vivaldi/config/vivaldi"},
    {"Vivaldi"},
    BROWSER_ICON,
    kChromiumGroups,
    Chromium(
        Profiles::ChromeFolders, 12020,
        {{"", "$XDG_CONFIG_HOME/vivaldi", "$XDG_CACHE_HOME/vivaldi"},
         {"Snap", "~/snap/vivaldi/current/.config/vivaldi", "~/snap/vivaldi/current/.cache/vivaldi"},
         {"Flatpak", "~/.var/app/com.vivaldi.Vivaldi/config/vivaldi", "~/.var/app/com.vivaldi.Vivaldi/cache/vivaldi"}}),
    {"vivaldi-bin", "vivaldi"}};

const Application kEdge = {"Microsoft Edge",
                           13000,
                           {"$XDG_CONFIG_HOME/microsoft-edge", "~/.var/app/com.microsoft.Edge/config/microsoft-edge"},
                           {"Microsoft Edge"},
                           BROWSER_ICON,
                           kChromiumGroups,
                           Chromium(Profiles::ChromeFolders, 13020,
                                    {{"", "$XDG_CONFIG_HOME/microsoft-edge", "$XDG_CACHE_HOME/microsoft-edge"},
                                     {"Flatpak", "~/.var/app/com.microsoft.Edge/config/microsoft-edge",
                                      "~/.var/app/com.microsoft.Edge/cache/microsoft-edge"}}),
                           {"msedge", "microsoft-edge"}};
} // namespace

const std::vector<const Application*>& internetactivity::LinuxTable()
{
    static const std::vector<const Application*> table = {
        &kGoogleChrome, &kMozillaFirefox, &kOpera, &kChromium, &kBrave, &kVivaldi, &kEdge,
    };
    return table;
}
