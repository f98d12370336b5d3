// Traces of media applications (recent files, Flash cookies and cache, playlists), under
// "Other Application" of the application traces.
#pragma once

#include "CatalogModel.h"

class otherapplication : public TraceCatalog
{
public:
    bool OtherApplicationList(int parentId);

    bool SetOtherAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId, const QString& icon);
    void SetUninstallOtherAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                        const QString& icon);
    void SetOtherAppContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                      const QString& icon);

    bool AddListForVLC();
    bool AddListForAdobeFlashPlayer();
    bool AddListForMPlayer();

    void FreeOtherApplicationList();

    // The macOS table; LinuxTable() the one that Linux builds (Catalog::TablesPlatform()).
    static const std::vector<const Catalog::Application*>& Table();
    static const std::vector<const Catalog::Application*>& LinuxTable();
};

extern otherapplication m_otherapplication;
