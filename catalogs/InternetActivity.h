// Browsing traces of nine web browsers under "Internet Activity"; Chrome, Firefox, Navigator
// and Flock get one node per discovered profile with the groups below each profile.
#pragma once

#include "CatalogModel.h"

// One discovered browser profile, kept while that browser's groups are built.
struct PROFILEINFO
{
    QString name;
    QString folder; // relative to the browser's data folder, or absolute
    int parentId = 0;
    int currentId = 0;
    bool isAbsolute = false;
    PROFILEINFO* next = nullptr;
};

class internetactivity : public TraceCatalog
{
public:
    ~internetactivity();

    bool InetrnetApplicationList(int parentId);

    bool SetInternetAppAttributes(const QString& name, PATHINFO* probe, int parentId, int currentId,
                                  const QString& icon);
    void SetUninstallIntAppAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                      const QString& icon, bool installed);
    void SetIAContentAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId, const QString& icon);

    bool AddListForGoogleChrome();
    bool AddListForMozillaFirefox();
    bool AddListForOpera();
    bool AddListForSafari();
    bool AddListForCamino();
    bool AddListForOmniWeb();
    bool AddListForiCab();
    bool AddListForNetscapeNavigator();
    bool AddListForFlock();

    void CreateProfileList(const QString& name, const QString& folder, int parentId, int currentId, bool isAbsolute);
    void FreeAppUserProfileList();

    void FreeInternetActivityList();

    // The macOS table; LinuxTable() the one that Linux builds (Catalog::TablesPlatform()).
    static const std::vector<const Catalog::Application*>& Table();
    static const std::vector<const Catalog::Application*>& LinuxTable();

private:
    bool AddBrowserGroups(const Catalog::Application& browser);
    void DiscoverChromeProfiles(const Catalog::Application& browser, const QString& dataFolder);
    void DiscoverIniProfiles(const Catalog::Application& browser);

    PROFILEINFO* m_profileList = nullptr;
};

extern internetactivity m_internetactivity;
