// The desktop's own applications on Linux (GNOME and KDE editors and viewers); they take the
// place of the applications that come with macOS.
#include "MacApplication.h"

using namespace Catalog;

namespace {
#define APP_ICON(file) ":/images/images/Applications/" file

const Application kGedit = {"gedit",
                            311000,
                            {"$XDG_DATA_HOME/gedit", "~/.var/app/org.gnome.gedit/data/gedit"},
                            {"gedit"},
                            APP_ICON("mac_application.png"),
                            {
                                {1,
                                 "Recent File",
                                 {Plain(Base::DataHome, "/gedit/gedit-metadata.xml"),
                                  Plain(Base::Home, "/.var/app/org.gnome.gedit/data/gedit/gedit-metadata.xml")}},
                            },
                            {},
                            {"gedit"}};

const Application kTextEditor = {
    "GNOME Text Editor",
    312000,
    {"$XDG_DATA_HOME/org.gnome.TextEditor", "~/.var/app/org.gnome.TextEditor/data/org.gnome.TextEditor"},
    {"gnome-text-editor"},
    APP_ICON("mac_application.png"),
    {
        {1,
         "Recent File",
         {Plain(Base::DataHome, "/org.gnome.TextEditor/session.gvariant"),
          Plain(Base::Home, "/.var/app/org.gnome.TextEditor/data/org.gnome.TextEditor/session.gvariant")}},
        {2,
         "Drafts",
         {Plain(Base::DataHome, "/org.gnome.TextEditor/drafts/*"),
          Plain(Base::Home, "/.var/app/org.gnome.TextEditor/data/org.gnome.TextEditor/drafts/*")}},
    },
    {},
    {"gnome-text-editor"}};

const Application kKate = {
    "Kate",
    313000,
    {"$XDG_DATA_HOME/kate"},
    {"Kate"},
    APP_ICON("mac_application.png"),
    {
        {1,
         "Sessions",
         {Plain(Base::DataHome, "/kate/sessions/*"), Plain(Base::DataHome, "/kate/anonymous.katesession")}},
    },
    {},
    {"kate"}};

const Application kOkular = {"Okular",
                             314000,
                             {"$XDG_DATA_HOME/okular"},
                             {"Okular"},
                             APP_ICON("preview.png"),
                             {
                                 {1, "Recent Item", {Plain(Base::DataHome, "/okular/docdata/*")}},
                             },
                             {},
                             {"okular"}};
} // namespace

const std::vector<const Application*>& macapplication::LinuxTable()
{
    static const std::vector<const Application*> table = {&kGedit, &kTextEditor, &kKate, &kOkular};
    return table;
}
