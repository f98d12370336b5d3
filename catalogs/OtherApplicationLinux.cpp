// Media, office and mail applications of a Linux desktop, in their native, Snap and Flatpak
// folders.
#include "OtherApplication.h"

using namespace Catalog;

namespace {
#define APP_ICON(file) ":/images/images/Applications/" file
#define VLC_CONFIG(sub)                                                                                                \
    Plain(Base::ConfigHome, "/vlc" sub), Plain(Base::Home, "/snap/vlc/current/.config/vlc" sub),                       \
        Plain(Base::Home, "/.var/app/org.videolan.VLC/config/vlc" sub)
#define LIBREOFFICE(sub)                                                                                               \
    Plain(Base::ConfigHome, "/libreoffice/4/user" sub),                                                                \
        Plain(Base::Home, "/snap/libreoffice/current/.config/libreoffice/4/user" sub),                                 \
        Plain(Base::Home, "/.var/app/org.libreoffice.LibreOffice/config/libreoffice/4/user" sub)

// VLC keeps its recent media in the interface settings file.
const Application kVLC = {
    "VLC",
    501000,
    {"$XDG_CONFIG_HOME/vlc", "~/snap/vlc/current/.config/vlc", "~/.var/app/org.videolan.VLC/config/vlc"},
    {"VLC"},
    APP_ICON("vlc.png"),
    {
        {1, "Recent File", {VLC_CONFIG("/vlc-qt-interface.conf"), Plain(Base::DataHome, "/vlc/ml.xspf")}},
        {2,
         "Art Cache",
         {Plain(Base::CacheHome, "/vlc/*"), Plain(Base::Home, "/snap/vlc/current/.cache/vlc/*"),
          Plain(Base::Home, "/.var/app/org.videolan.VLC/cache/vlc/*")}},
    },
    {},
    {"vlc"}};

// LibreOffice keeps its recent documents among all its settings.
const Application kLibreOffice = {"LibreOffice",
                                  504000,
                                  {"$XDG_CONFIG_HOME/libreoffice", "~/snap/libreoffice/current/.config/libreoffice",
                                   "~/.var/app/org.libreoffice.LibreOffice/config/libreoffice"},
                                  {"LibreOffice"},
                                  APP_ICON("other_application.png"),
                                  {
                                      {1, "Recent Documents & Settings", {LIBREOFFICE("/registrymodifications.xcu")}},
                                      {2, "Document Backups", {LIBREOFFICE("/backup/*")}},
                                  },
                                  {},
                                  {"soffice.bin", "soffice"}};

const Application kThunderbird = {
    "Thunderbird",
    505000,
    {"~/.thunderbird", "~/snap/thunderbird/common/.thunderbird", "~/.var/app/org.mozilla.Thunderbird/.thunderbird"},
    {"Thunderbird"},
    APP_ICON("other_application.png"),
    {
        {1, "Cookies", {Match(Base::ProfileData, "/cookies.sqlite*")}},
        {3, "Internet Cache", {Plain(Base::ProfileCache, "/cache2/*"), Plain(Base::ProfileCache, "/startupCache/*")}},
        {4, "History", {Match(Base::ProfileData, "/places.sqlite*"), Match(Base::ProfileData, "/favicons.sqlite*")}},
        {7, "Session", {Match(Base::ProfileData, "/session*.json")}},
        {8, "Saved login & Password", {Match(Base::ProfileData, "/logins*.json")}},
    },
    {Profiles::ProfilesIni,
     nullptr,
     nullptr,
     505020,
     "UTF-8",
     {{"", "~/.thunderbird", "$XDG_CACHE_HOME/thunderbird"},
      {"Snap", "~/snap/thunderbird/common/.thunderbird", "~/snap/thunderbird/common/.cache/thunderbird"},
      {"Flatpak", "~/.var/app/org.mozilla.Thunderbird/.thunderbird",
       "~/.var/app/org.mozilla.Thunderbird/cache/thunderbird"}},
     "lock"},
    {"thunderbird", "thunderbird-bin"}};
} // namespace

const std::vector<const Application*>& otherapplication::LinuxTable()
{
    static const std::vector<const Application*> table = {&kVLC, &kLibreOffice, &kThunderbird};
    return table;
}
