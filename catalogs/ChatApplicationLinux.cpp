// Chat applications of a Linux desktop, in their native, Snap and Flatpak folders.
#include "ChatApplication.h"

using namespace Catalog;

namespace {
#define APP_ICON(file) ":/images/images/Applications/" file
// An Electron application's folder: native, Snap, Flatpak.
#define DISCORD(sub)                                                                                                   \
    Plain(Base::ConfigHome, "/discord" sub), Plain(Base::Home, "/snap/discord/current/.config/discord" sub),           \
        Plain(Base::Home, "/.var/app/com.discordapp.Discord/config/discord" sub)
#define DISCORD_MATCH(sub)                                                                                             \
    Match(Base::ConfigHome, "/discord" sub), Match(Base::Home, "/snap/discord/current/.config/discord" sub),           \
        Match(Base::Home, "/.var/app/com.discordapp.Discord/config/discord" sub)
#define SLACK(sub)                                                                                                     \
    Plain(Base::ConfigHome, "/Slack" sub), Plain(Base::Home, "/snap/slack/current/.config/Slack" sub),                 \
        Plain(Base::Home, "/.var/app/com.slack.Slack/config/Slack" sub)
#define SLACK_MATCH(sub)                                                                                               \
    Match(Base::ConfigHome, "/Slack" sub), Match(Base::Home, "/snap/slack/current/.config/Slack" sub),                 \
        Match(Base::Home, "/.var/app/com.slack.Slack/config/Slack" sub)
#define PIDGIN(sub) Plain(Base::Home, "/.purple" sub), Plain(Base::Home, "/.var/app/im.pidgin.Pidgin/.purple" sub)

const Application kPidgin = {"Pidgin",
                             408000,
                             {"~/.purple", "~/.var/app/im.pidgin.Pidgin/.purple"},
                             {"Pidgin"},
                             APP_ICON("chat_application.png"),
                             {
                                 {1, "Chat History", {PIDGIN("/logs/*")}},
                                 {2, "Contact List Cache", {PIDGIN("/icons/*")}},
                             },
                             {},
                             {"pidgin"}};

const Application kDiscord = {"Discord",
                              409000,
                              {"$XDG_CONFIG_HOME/discord", "~/snap/discord/current/.config/discord",
                               "~/.var/app/com.discordapp.Discord/config/discord"},
                              {"Discord"},
                              APP_ICON("chat_application.png"),
                              {
                                  {1, "Cache", {DISCORD("/Cache/*"), DISCORD("/Code Cache/*"), DISCORD("/GPUCache/*")}},
                                  {2, "Cookies", {DISCORD_MATCH("/Cookies*")}},
                                  {3, "Settings", {DISCORD("/Local Storage/*"), DISCORD("/Session Storage/*")}},
                              },
                              {},
                              {"Discord", "discord"}};

const Application kSlack = {
    "Slack",
    410000,
    {"$XDG_CONFIG_HOME/Slack", "~/snap/slack/current/.config/Slack", "~/.var/app/com.slack.Slack/config/Slack"},
    {"Slack"},
    APP_ICON("chat_application.png"),
    {
        {1, "Cache", {SLACK("/Cache/*"), SLACK("/Code Cache/*"), SLACK("/GPUCache/*"), SLACK("/Service Worker/*")}},
        {2, "Cookies", {SLACK_MATCH("/Cookies*")}},
        {3, "Settings", {SLACK("/Local Storage/*"), SLACK("/Session Storage/*")}},
    },
    {},
    {"slack"}};
} // namespace

const std::vector<const Application*>& chatapplication::LinuxTable()
{
    static const std::vector<const Application*> table = {&kPidgin, &kDiscord, &kSlack};
    return table;
}
