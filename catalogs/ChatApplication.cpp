#include "ChatApplication.h"

using namespace Catalog;

chatapplication m_chatapplication;

namespace {
#define SFL_RECENT                                                                                                     \
    "/Library/Application Support/com.apple.sharedfilelist/com.apple.LSSharedFileList.ApplicationRecentDocuments"
#define SKYPE "/Library/Application Support/Microsoft/Skype for Desktop"
#define APP_ICON(file) ":/images/images/Applications/" file

const Application kMessages = {
    "Messages",
    401000,
    {"/Applications/Messages.app", "/System/Applications/Messages.app"},
    {"Messages"},
    APP_ICON("messages.png"),
    {
        {1,
         "Recent Items",
         {HomePlain("/Library/Preferences/com.apple.iChat.LSSharedFileList.plist"),
          HomePlain("/Library/Preferences/com.apple.iChat.plist"), HomePlain(SFL_RECENT "/com.apple.ichat.sfl"),
          HomePlain(SFL_RECENT "/com.apple.ichat.sfl2")}},
        {2,
         "Cache",
         {HomePlain("/Library/Caches/com.apple.iChat/*"),
          HomePlain("/Library/Containers/com.apple.iChat/Data/Library/Caches/*")}},
    }};

const Application kSkype = {"Skype",
                            403000,
                            {"/Applications/Skype.app"},
                            {"Skype"},
                            APP_ICON("skype.png"),
                            {
                                {1, "Cache", {HomePlain(SKYPE "/Cache/*"), HomePlain(SKYPE "/GPUCache/*")}},
                                {2, "Cookies", {HomeFiles(SKYPE "/Cookies*")}},
                                {3, "Settings", {HomePlain(SKYPE "/skylib/*"), HomePlain(SKYPE "/Local Storage/*")}},
                            }};

const Application kAdium = {
    "Adium",
    406000,
    {"/Applications/Adium.app"},
    {"Adium"},
    APP_ICON("adium.png"),
    {
        {1, "Chat History", {HomePlain("/Library/Application Support/Adium 2.0/Users/Default/Logs/*")}},
        {2,
         "Contact List Cache",
         {HomePlain("/Library/Caches/Adium/Default/*"), HomePlain("/Library/Caches/com.adiumX.adiumX/*")}},
    }};

const Application kICQ = {"ICQ",
                          407000,
                          {"/Applications/ICQ.app"},
                          {"ICQ"},
                          APP_ICON("icq.png"),
                          {
                              {1,
                               "Chat Histroy",
                               {HomeFiles("/Library/Application Support/ICQ/history.sqlite*"),
                                HomeArchives("/Library/Containers/com.icq.macicq/Data/Library/Application Support/ICQ"),
                                HomeArchives("/Library/Application Support/ICQ")}},
                              {2,
                               "Cache",
                               {HomeFiles("/Library/Caches/com.icq.macicq/Cache.db*"),
                                HomePlain("/Library/Caches/com.icq.macicq/ChatImagesCache/*")}},
                          }};
} // namespace

const std::vector<const Application*>& chatapplication::Table()
{
    static const std::vector<const Application*> table = {&kMessages, &kSkype, &kAdium, &kICQ};
    return table;
}

bool chatapplication::ChatApplicationList(int parentId)
{
    if (TablesPlatform() == PlatformKind::Linux) {
        BuildApplications(LinuxTable(), parentId, nullptr);
        return true;
    }
    BuildApplications(Table(), parentId, [this](const Application& app) { AddGroups(app.groups, app.id); });
    return true;
}

bool chatapplication::SetChatAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId,
                                           const QString& icon)
{
    return RegisterFound(name, probe, parentId, currentId, icon);
}

void chatapplication::SetUninstallChatAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                    const QString& icon, bool installed)
{
    RegisterNode(name, paths, parentId, currentId, icon, installed);
}

void chatapplication::SetChatAppContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                                  const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, true);
}

bool chatapplication::AddListForiChat()
{
    return AddGroups(kMessages.groups, kMessages.id);
}
bool chatapplication::AddListForSkype()
{
    return AddGroups(kSkype.groups, kSkype.id);
}
bool chatapplication::AddListForAdium()
{
    return AddGroups(kAdium.groups, kAdium.id);
}
bool chatapplication::AddListForICQ()
{
    return AddGroups(kICQ.groups, kICQ.id);
}

void chatapplication::FreeChatApplicationList()
{
    FreeNodeList();
}
