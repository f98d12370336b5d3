#include "OtherApplication.h"

using namespace Catalog;

otherapplication m_otherapplication;

namespace {
#define SFL_RECENT                                                                                                     \
    "/Library/Application Support/com.apple.sharedfilelist/com.apple.LSSharedFileList.ApplicationRecentDocuments"
#define APP_ICON(file) ":/images/images/Applications/" file

const Application kVLC = {
    "VLC",
    501000,
    {"/Applications/VLC.app"},
    {"VLC"},
    APP_ICON("vlc.png"),
    {
        {1,
         "Recent File",
         {HomePlain("/Library/Preferences/org.videolan.vlc.LSSharedFileList.plist"),
          HomePlain(SFL_RECENT "/org.videolan.vlc.sfl2"), HomePlain(SFL_RECENT "/org.videolan.vlc.sfl")}},
    }};

const Application kAdobeFlashPlayer = {
    "Adobe Flash Player",
    502000,
    {"/Applications/Adobe Flash Player Manager.app", "/Applications/Adobe Flash Player Install Manager.app",
     "/Applications/Utilities/Adobe Flash Player Install Manager.app"},
    {"Adobe Flash Player Manager", "Adobe Flash Player Install Manager"},
    APP_ICON("adobe_flash_player.png"),
    {
        {1,
         "Cookies",
         {HomePlain("/Library/Preferences/Macromedia/Flash Player/#SharedObjects/*"),
          HomePlain("/Library/Preferences/Macromedia/Flash Player/macromedia.com/support/*")}},
        {2, "Internet Cache", {HomePlain("/Library/Caches/Adobe/Flash Player/*")}},
    }};

const Application kMPlayer = {"MPlayer",
                              503000,
                              {"/Applications/MPlayer OSX.app"},
                              {"MPlayer OSX"},
                              APP_ICON("mplayer.png"),
                              {
                                  {1,
                                   "Playlist",
                                   {HomePlain("/Library/Preferences/hu.mplayerosx.plist"),
                                    HomePlain("/Library/Preferences/hu.mplayerhq.mplayerosx.plist")}},
                              }};
} // namespace

const std::vector<const Application*>& otherapplication::Table()
{
    static const std::vector<const Application*> table = {&kVLC, &kAdobeFlashPlayer, &kMPlayer};
    return table;
}

bool otherapplication::OtherApplicationList(int parentId)
{
    if (TablesPlatform() == PlatformKind::Linux) {
        BuildApplications(LinuxTable(), parentId, nullptr);
        return true;
    }
    BuildApplications(Table(), parentId, [this](const Application& app) { AddGroups(app.groups, app.id); });
    return true;
}

bool otherapplication::SetOtherAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId,
                                             const QString& icon)
{
    return RegisterFound(name, probe, parentId, currentId, icon);
}

void otherapplication::SetUninstallOtherAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                      const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, false);
}

void otherapplication::SetOtherAppContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                    const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, true);
}

bool otherapplication::AddListForVLC()
{
    return AddGroups(kVLC.groups, kVLC.id);
}
bool otherapplication::AddListForAdobeFlashPlayer()
{
    return AddGroups(kAdobeFlashPlayer.groups, kAdobeFlashPlayer.id);
}
bool otherapplication::AddListForMPlayer()
{
    return AddGroups(kMPlayer.groups, kMPlayer.id);
}

void otherapplication::FreeOtherApplicationList()
{
    FreeNodeList();
}
