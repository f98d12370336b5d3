#include "MacApplication.h"

using namespace Catalog;

macapplication m_macapplication;

namespace {
#define SFL "/Library/Application Support/com.apple.sharedfilelist/"
#define SFL_RECENT SFL "com.apple.LSSharedFileList.ApplicationRecentDocuments/"
#define APP_ICON(file) ":/images/images/Applications/" file

const Application kAppleMenu = {"Apple Menu",
                                301000,
                                {"/System"},
                                {},
                                APP_ICON("apple_menu.png"),
                                {
                                    {1,
                                     "Recent Items",
                                     {HomePlain("/Library/Preferences/com.apple.recentitems.plist"),
                                      HomePlain(SFL "com.apple.LSSharedFileList.RecentApplications.sfl2"),
                                      HomePlain(SFL "com.apple.LSSharedFileList.RecentApplications.sfl"),
                                      HomePlain(SFL "com.apple.LSSharedFileList.RecentDocuments.sfl2"),
                                      HomePlain(SFL "com.apple.LSSharedFileList.RecentDocuments.sfl"),
                                      HomePlain(SFL "com.apple.LSSharedFileList.RecentServers.sfl2"),
                                      HomePlain(SFL "com.apple.LSSharedFileList.RecentServers.sfl")}},
                                }};

const Application kDiskUtility = {
    "Disk Utility",
    302000,
    {"/Applications/Utilities/Disk Utility.app", "/System/Applications/Utilities/Disk Utility.app"},
    {"Disk Utility"},
    APP_ICON("diskutility.png"),
    {
        {1, "Recent Disk Image", {HomePlain("/Library/Preferences/com.apple.DiskUtility.plist")}},
    }};

const Application kFinder = {"Finder",
                             303000,
                             {"/System"},
                             {},
                             APP_ICON("finder.png"),
                             {
                                 {1,
                                  "Recent Folder/Server",
                                  {HomePlain("/Library/Preferences/com.apple.finder.plist"),
                                   HomePlain(SFL "com.apple.LSSharedFileList.FavoriteItems.sfl2"),
                                   HomePlain(SFL "com.apple.LSSharedFileList.FavoriteServers.sfl2"),
                                   HomePlain(SFL "com.apple.LSSharedFileList.RecentHosts.sfl2"),
                                   HomePlain(SFL "com.apple.LSSharedFileList.FavoriteItems.sfl"),
                                   HomePlain(SFL "com.apple.LSSharedFileList.FavoriteServers.sfl"),
                                   HomePlain(SFL "com.apple.LSSharedFileList.RecentHosts.sfl")}},
                             }};

const Application kiTunes = {
    "iTunes",
    304000,
    {"/Applications/iTunes.app", "/System/Applications/iTunes.app"},
    {"iTunes.app"},
    APP_ICON("itunes.png"),
    {
        {1,
         "Recent Database",
         {HomePlain("/Library/Preferences/com.apple.iApps.plist"),
          HomePlain("/Library/Preferences/com.apple.iTunes.plist/recentSearches/*"),
          HomePlain("/Music/iTunes/Album Artwork/iTunes Library.itl"), HomePlain("/Music/iTunes/iTunes Library.itl")}},
        {2, "Caches", {HomePlain("/Library/Caches/com.apple.iTunes/*")}},
    }};

const Application kQuickTimePlayer = {
    "Quick Time Player",
    305000,
    {"/Applications/QuickTime Player.app", "/System/Applications/QuickTime Player.app"},
    {"QuickTime Player"},
    APP_ICON("quicktime.png"),
    {
        {1,
         "Recent File",
         {HomePlain("/Library/Preferences/com.apple.QuickTimePlayerX.plist"),
          HomePlain("/Library/Preferences/com.apple.QuickTimePlayerX.LSSharedFileList.plist"),
          HomePlain("/Library/Containers/com.apple.QuickTimePlayerX/Data/Library/Preferences/"
                    "com.apple.QuickTimePlayerX.plist"),
          HomePlain(SFL_RECENT "com.apple.quicktimeplayerx.sfl2"),
          HomePlain(SFL_RECENT "com.apple.quicktimeplayerx.sfl")}},
    }};

const Application kPreview = {
    "Preview",
    306000,
    {"/Applications/Preview.app", "/System/Applications/Preview.app"},
    {"Preview"},
    APP_ICON("preview.png"),
    {
        {1,
         "Recent Item",
         {HomePlain("/Library/Preferences/com.apple.Preview.bookmarks.plist"),
          HomePlain("/Library/Preferences/com.apple.Preview.LSSharedFileList.plist"),
          HomePlain(SFL_RECENT "com.apple.preview.sfl2"), HomePlain(SFL_RECENT "com.apple.preview.sfl")}},
    }};

const Application kCalculator = {
    "Calculator",
    307000,
    {"/Applications/Calculator.app", "/System/Applications/Calculator.app"},
    {"Calculator"},
    APP_ICON("calculator.png"),
    {
        {1,
         "Recent Conversions",
         {HomePlain("/Library/Preferences/com.apple.calculator.plist"),
          HomePlain("/Library/Containers/com.apple.calculator/Data/Library/Preferences/com.apple.calculator.plist")}},
    }};

const Application kAppleNotes = {
    "Apple Notes",
    308000,
    {"/Applications/Notes.app", "/System/Applications/Notes.app"},
    {"Notes"},
    APP_ICON("notes.png"),
    {
        {1,
         "Caches Files",
         {HomeFiles("/Library/Containers/com.apple.Notes/Data/Library/Caches/com.apple.Notes/Cache.db*")}},
    }};

const Application kPhotos = {
    "Photos",
    310000,
    {"/Applications/Photos.app", "/System/Applications/Photos.app"},
    {"Photos"},
    APP_ICON("iphotos.png"),
    {
        {1,
         "Recent Used Folder",
         {HomePlain("/Library/Preferences/com.apple.photos.plist"),
          HomePlain("/Library/Containers/com.apple.Photos/Data/Library/Preferences/com.apple.Photos.plist")}},
        {2,
         "Caches Files",
         {HomeFiles("/Library/Containers/com.apple.Photos/Data/Library/Caches/com.apple.Photos/Cache.db*")}},
        {3,
         "Cached Thumbnail",
         {HomePlain("/Library/Containers/com.apple.Photos/Data/Library/Caches/com.apple.Photos/ProjectCache/*")}},
    }};
} // namespace

const std::vector<const Application*>& macapplication::Table()
{
    static const std::vector<const Application*> table = {
        &kAppleMenu, &kDiskUtility, &kFinder,     &kiTunes, &kQuickTimePlayer,
        &kPreview,   &kCalculator,  &kAppleNotes, &kPhotos,
    };
    return table;
}

bool macapplication::MacApplicationList(int parentId)
{
    if (TablesPlatform() == PlatformKind::Linux) {
        BuildApplications(LinuxTable(), parentId, nullptr);
        return true;
    }
    BuildApplications(Table(), parentId, [this](const Application& app) { AddGroups(app.groups, app.id); });
    return true;
}

bool macapplication::SetMacAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId,
                                         const QString& icon)
{
    return RegisterFound(name, probe, parentId, currentId, icon);
}

void macapplication::SetUninstallMacAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                  const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, false);
}

void macapplication::SetMacAppContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, true);
}

bool macapplication::AddListForAppleMenu()
{
    return AddGroups(kAppleMenu.groups, kAppleMenu.id);
}
bool macapplication::AddListForDiskUtility()
{
    return AddGroups(kDiskUtility.groups, kDiskUtility.id);
}
bool macapplication::AddListForFinder()
{
    return AddGroups(kFinder.groups, kFinder.id);
}
bool macapplication::AddListForiTunes()
{
    return AddGroups(kiTunes.groups, kiTunes.id);
}
bool macapplication::AddListForQTP()
{
    return AddGroups(kQuickTimePlayer.groups, kQuickTimePlayer.id);
}
bool macapplication::AddListForPreview()
{
    return AddGroups(kPreview.groups, kPreview.id);
}
bool macapplication::AddListForCalculator()
{
    return AddGroups(kCalculator.groups, kCalculator.id);
}
bool macapplication::AddListForAppleNotes()
{
    return AddGroups(kAppleNotes.groups, kAppleNotes.id);
}
bool macapplication::AddListForApplePhoto()
{
    return AddGroups(kPhotos.groups, kPhotos.id);
}

void macapplication::FreeMacApplicationList()
{
    FreeNodeList();
}
