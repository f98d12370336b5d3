// The system traces of a Linux desktop: the freedesktop trash, recent files, thumbnails,
// shell and interpreter histories, X session logs and the user's cache folder.
#include "SystemTraces.h"

using namespace Catalog;

const std::vector<TraceGroup>& systemtraces::LinuxTable()
{
    static const std::vector<TraceGroup> table = {
        {601000,
         "Trash",
         {Match(Base::DataHome, "/Trash/files/*"), Match(Base::DataHome, "/Trash/info/*"),
          Match(Base::DataHome, "/Trash/expunged/*"), FreedesktopTrashes()}},
        {650000,
         "Recent Files",
         {Match(Base::DataHome, "/recently-used.xbel*"), Match(Base::DataHome, "/RecentDocuments/*")}},
        {651000, "Thumbnail Cache", {Match(Base::CacheHome, "/thumbnails/*"), Match(Base::Home, "/.thumbnails/*")}},
        {624000, "Bash History", {Plain(Base::Home, "/.bash_history")}},
        {652000,
         "Zsh History",
         {Plain(Base::Home, "/.zsh_history"), Plain(Base::Home, "/.zhistory"), Plain(Base::Home, "/.histfile")}},
        {653000, "Fish History", {Match(Base::DataHome, "/fish/fish_history*")}},
        {654000, "Python History", {Plain(Base::Home, "/.python_history")}},
        {655000, "SQLite History", {Plain(Base::Home, "/.sqlite_history")}},
        {656000, "Less History", {Plain(Base::Home, "/.lesshst"), Plain(Base::StateHome, "/lesshst")}},
        {657000, "Vim History", {Plain(Base::Home, "/.viminfo"), Match(Base::StateHome, "/nvim/shada/*.shada")}},
        {658000, "X Session Logs", {Match(Base::Home, "/.xsession-errors*")}},
        // What a running session needs (the document portal, dconf, input methods, keyring and
        // accessibility sockets, the file indexer's and the sound theme's databases) stays; so
        // do the folders that other groups erase, and this program's own.
        {659000,
         "User Cache",
         {Match(Base::CacheHome, "/*",
                {"doc",
                 "dconf",
                 "ibus",
                 "keyring-*",
                 "at-spi*",
                 "gvfs*",
                 "sessions",
                 "tracker",
                 "tracker3",
                 "event-sound-cache.tdb.*",
                 "thumbnails",
                 "mozilla",
                 "google-chrome",
                 "chromium",
                 "opera",
                 "BraveSoftware",
                 "vivaldi",
                 "microsoft-edge",
                 "thunderbird",
                 "vlc",
                 "korvane-file-eraser"})}},
    };
    return table;
}
