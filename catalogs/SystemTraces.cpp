#include "SystemTraces.h"

using namespace Catalog;

systemtraces m_systemtraces;

const std::vector<TraceGroup>& systemtraces::Table()
{
    static const std::vector<TraceGroup> table = {
        {601000, "Trash", {VolumeTrashes(), HomePlain("/.Trash/*")}},
        {602000, "Cups Logs", {AbsolutePlain("/private/var/log/cups/*")}},
        {606000, "Install Logs", {AbsoluteFiles("/private/var/log/install.log*")}},
        {607000, "Mail Logs", {AbsoluteFiles("/private/var/log/mail.log*")}},
        {608000, "PPP Logs", {AbsolutePlain("/private/var/log/ppp.log"), AbsolutePlain("/private/var/log/ppp/*")}},
        {612000, "All System Caches", {AbsolutePlain("/System/Library/Caches/*"), AbsolutePlain("/Library/Caches/*")}},
        {613000, "Web Sharing Logs", {AbsolutePlain("/private/var/log/apache2/*")}},
        {638000, "Diagnostic Messages (Syslogs)", {AbsolutePlain("/private/var/log/DiagnosticMessages/*")}},
        {619000,
         "FSCK Logs",
         {AbsolutePlain("/private/var/log/fsck_hfs.log"), HomePlain("/Library/Logs/fsck_hfs.log")}},
        {624000, "Bash History", {HomePlain("/.bash_history")}},
        {625000, "Disk Utility Logs", {HomePlain("/Library/Logs/DiskUtility.log")}},
        {642000, "Saved Application State", {HomePlain("/Library/Saved Application State/*")}},
        {626000,
         "Diagnostic Reports",
         {AbsolutePlain("/Library/Logs/DiagnosticReports/*"), HomePlain("/Library/Logs/DiagnosticReports/*")}},
        {627000, "Apple System Logs", {AbsolutePlain("/private/var/log/asl/*")}},
        {629000,
         "Google Drive Logs",
         {HomePlain("/Library/Application Support/Google/Drive/user_default/sync_log.log")}},
        {630000, "Flash Player Install Manager Logs", {HomePlain("/Library/Logs/FlashPlayerInstallManager.log")}},
        {631000, "Syns Service Logs", {HomePlain("/Library/Logs/Sync/syncservices.log")}},
        {633000, "LKDC Setup Logs", {AbsolutePlain("/Library/Logs/LKDC-setup.log")}},
        {647000, "iOS Simulator Logs", {HomePlain("/Library/Logs/iOS Simulator/*")}},
    };
    return table;
}

bool systemtraces::SystemTracesList(int parentId)
{
    const bool onLinux = TablesPlatform() == PlatformKind::Linux;
    for (const TraceGroup& group : onLinux ? LinuxTable() : Table()) {
        AppendGroupPaths(group);
        if (onLinux && !m_pathList)
            continue; // only groups with traces on disk are offered
        SetSysTracesAttributes(QString::fromUtf8(group.name), m_pathList, parentId, group.id, kFolderIcon);
        m_pathList = nullptr; // the node took the list over
    }
    return true;
}

void systemtraces::SetSysTracesAttributes(const QString& name, PATHINFO* paths, int parentId, int currentId,
                                          const QString& icon)
{
    RegisterNode(name, paths, parentId, currentId, icon, true);
}

bool systemtraces::AddPathsOf(int groupIndex)
{
    AppendGroupPaths(Table().at(groupIndex));
    return true;
}

bool systemtraces::AddPathForTrash()
{
    return AddPathsOf(0);
}
bool systemtraces::AddPathForCupsAccessLogs()
{
    return AddPathsOf(1);
}
bool systemtraces::AddPathForInstallLogs()
{
    return AddPathsOf(2);
}
bool systemtraces::AddPathForMailLogs()
{
    return AddPathsOf(3);
}
bool systemtraces::AddPathForPPPLogs()
{
    return AddPathsOf(4);
}
bool systemtraces::AddPathForAllSystemCaches()
{
    return AddPathsOf(5);
}
bool systemtraces::AddPathForWebSharingAccessLogs()
{
    return AddPathsOf(6);
}
bool systemtraces::AddPathForDiagnosticMessage()
{
    return AddPathsOf(7);
}
bool systemtraces::AddPathForFSCKLogs()
{
    return AddPathsOf(8);
}
bool systemtraces::AddPathForBashHistory()
{
    return AddPathsOf(9);
}
bool systemtraces::AddPathForDiskUtilityLogs()
{
    return AddPathsOf(10);
}
bool systemtraces::AddPathForSavedApplicationState()
{
    return AddPathsOf(11);
}
bool systemtraces::AddPathForDiagnosticReports()
{
    return AddPathsOf(12);
}
bool systemtraces::AddPathForAppleSytemLogs()
{
    return AddPathsOf(13);
}
bool systemtraces::AddPathForGoogleDrivesLogs()
{
    return AddPathsOf(14);
}
bool systemtraces::AddPathForFlashPlayerIMLogs()
{
    return AddPathsOf(15);
}
bool systemtraces::AddPathForSynsServiceLogs()
{
    return AddPathsOf(16);
}
bool systemtraces::AddPathForLKDCSetupLogs()
{
    return AddPathsOf(17);
}
bool systemtraces::AddPathForiOsSimulatorLogs()
{
    return AddPathsOf(18);
}

void systemtraces::FreeSystemApplicationList()
{
    FreeNodeList();
}
