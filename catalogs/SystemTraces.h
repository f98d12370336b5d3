// System-wide and per-user logs, caches, histories and trash folders, each a group directly
// under "System Traces".
#pragma once

#include "CatalogModel.h"

class systemtraces : public TraceCatalog
{
public:
    bool SystemTracesList(int parentId);

    void SetSysTracesAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId, const QString& icon);

    bool AddPathForTrash();
    bool AddPathForCupsAccessLogs();
    bool AddPathForInstallLogs();
    bool AddPathForMailLogs();
    bool AddPathForPPPLogs();
    bool AddPathForAllSystemCaches();
    bool AddPathForWebSharingAccessLogs();
    bool AddPathForDiagnosticMessage();
    bool AddPathForFSCKLogs();
    bool AddPathForBashHistory();
    bool AddPathForDiskUtilityLogs();
    bool AddPathForSavedApplicationState();
    bool AddPathForDiagnosticReports();
    bool AddPathForAppleSytemLogs();
    bool AddPathForGoogleDrivesLogs();
    bool AddPathForFlashPlayerIMLogs();
    bool AddPathForSynsServiceLogs();
    bool AddPathForLKDCSetupLogs();
    bool AddPathForiOsSimulatorLogs();

    void FreeSystemApplicationList();

    // The groups in building order; each group's id is its own node id. The builder reads
    // the table of Catalog::TablesPlatform().
    static const std::vector<Catalog::TraceGroup>& Table();
    static const std::vector<Catalog::TraceGroup>& LinuxTable();

private:
    bool AddPathsOf(int groupIndex);
};

extern systemtraces m_systemtraces;
