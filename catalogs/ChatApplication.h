// Traces of instant-messaging applications (recent items, caches, cookies, settings, chat
// histories), under "Chat Application" of the application traces.
#pragma once

#include "CatalogModel.h"

class chatapplication : public TraceCatalog
{
public:
    bool ChatApplicationList(int parentId);

    bool SetChatAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId, const QString& icon);
    void SetUninstallChatAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                       const QString& icon, bool installed);
    void SetChatAppContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                     const QString& icon);

    bool AddListForiChat();
    bool AddListForSkype();
    bool AddListForAdium();
    bool AddListForICQ();

    void FreeChatApplicationList();

    // The macOS table; LinuxTable() the one that Linux builds (Catalog::TablesPlatform()).
    static const std::vector<const Catalog::Application*>& Table();
    static const std::vector<const Catalog::Application*>& LinuxTable();
};

extern chatapplication m_chatapplication;
