// Traces of the applications that come with macOS (recent items, recent documents, caches),
// under "Mac Application" of the application traces.
#pragma once

#include "CatalogModel.h"

class macapplication : public TraceCatalog
{
public:
    bool MacApplicationList(int parentId);

    bool SetMacAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId, const QString& icon);
    void SetUninstallMacAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                      const QString& icon);
    void SetMacAppContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                    const QString& icon);

    bool AddListForAppleMenu();
    bool AddListForDiskUtility();
    bool AddListForFinder();
    bool AddListForiTunes();
    bool AddListForQTP();
    bool AddListForPreview();
    bool AddListForCalculator();
    bool AddListForAppleNotes();
    bool AddListForApplePhoto();

    void FreeMacApplicationList();

    // The macOS table; LinuxTable() the one that Linux builds (Catalog::TablesPlatform()).
    static const std::vector<const Catalog::Application*>& Table();
    static const std::vector<const Catalog::Application*>& LinuxTable();
};

extern macapplication m_macapplication;
