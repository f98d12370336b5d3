#include "KorvaneApp.h"

#include "ErasureLog.h"
#include "GetVolumes.h"
#include "Platform.h"
#include "PlistFormat.h"
#include "ProtectedLocations.h"
#include "ShellRunner.h"

#include "ChatApplication.h"
#include "InternetActivity.h"
#include "MacApplication.h"
#include "OtherApplication.h"
#include "SystemTraces.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <functional>

KorvaneApp* KorvaneApp::m_instance = nullptr;

namespace {
QDateTime g_fixedNow;
QString g_protectionRoot;
std::function<void(const QString&)> g_logFailureNotifier;

const char kAlgorithmKey[] = "KVF_Algorithm";
const char kVerificationKey[] = "KVF_Verification";
const char kLogPathKey[] = "KVF_LogPath";
const char kCertificatePathKey[] = "KVF_CertificatePath";
const char kCheckUpdateKey[] = "KVF_CheckUpdate";
const char kUpdateScheduleKey[] = "KVF_UpdateSchedule";
const char kDiscardKey[] = "KVF_Discard";
const char kSupportLinkKey[] = "SupportLink";
// The settings dialog's choices: algorithms 0..16, verification modes 0..2.
constexpr int kAlgorithmChoices = 17;
constexpr int kVerificationChoices = 3;
const QString kDriveIcon = QStringLiteral(":/images/images/Traces/Drive.png");

void MakeFolder(const QString& path)
{
    QDir().mkdir(path); // one level only; a missing parent is left to fail silently
}

// A top category: its header row (appList only) and its left-pane entry.
void AddTraceCategory(KorvaneApp& app, const QString& name, int id, const QString& icon)
{
    app.FillKVFAppListInit(name, true, 0, id, icon, true);
    app.FillLeftPaneListInit(name, QString(), QString(), 0, id, icon);
}

// Steps 6 to 8 of GetKVFInfo: the trace catalogs, built once, copied into the row lists.
void AddTraceCatalogs(KorvaneApp& app)
{
    AddTraceCategory(app, QStringLiteral("Application Traces"), 4,
                     QStringLiteral(":/images/images/Traces/Application_Traces.png"));
    const struct
    {
        const char* name;
        int id;
        const char* icon;
        TraceCatalog* catalog;
        std::function<bool(int)> build;
    } subGroups[] = {
        // The catalogs read the tables of Catalog::TablesPlatform(); on Linux the desktop's own
        // applications take the place of those that come with macOS.
        {Catalog::TablesPlatform() == PlatformKind::Linux ? "Desktop Application" : "Mac Application", 20,
         ":/images/images/Applications/mac_application.png", &m_macapplication,
         [](int parent) { return m_macapplication.MacApplicationList(parent); }},
        {"Chat Application", 30, ":/images/images/Applications/chat_application.png", &m_chatapplication,
         [](int parent) { return m_chatapplication.ChatApplicationList(parent); }},
        {"Other Application", 40, ":/images/images/Applications/other_application.png", &m_otherapplication,
         [](int parent) { return m_otherapplication.OtherApplicationList(parent); }},
    };
    for (const auto& group : subGroups) {
        app.FillKVFAppListInit(QString::fromUtf8(group.name), true, 4, group.id, QString::fromUtf8(group.icon), true);
        group.build(group.id);
        app.FillKVFAppListInit(group.catalog->NodeList());
        app.FillApplicationTracesList(group.catalog->NodeList());
    }

    AddTraceCategory(app, QStringLiteral("Internet Activity"), 5,
                     QStringLiteral(":/images/images/Traces/InternetActivity.png"));
    m_internetactivity.InetrnetApplicationList(5);
    app.FillKVFAppListInit(m_internetactivity.NodeList());
    app.FillInternetTracesList(m_internetactivity.NodeList());

    AddTraceCategory(app, QStringLiteral("System Traces"), 3,
                     QStringLiteral(":/images/images/Traces/System_Traces.png"));
    m_systemtraces.SystemTracesList(3);
    app.FillKVFAppListInit(m_systemtraces.NodeList());
    app.FillSystemTracesList(m_systemtraces.NodeList());
}
} // namespace

KorvaneApp* KorvaneApp::GetInstance()
{
    if (!m_instance)
        m_instance = new KorvaneApp;
    return m_instance;
}

void KorvaneApp::ResetInstance()
{
    if (m_instance) {
        m_instance->FreeMemory();
        m_instance->FreeWipingInfo();
        delete m_instance;
    }
    m_instance = new KorvaneApp;
}

QDateTime KorvaneApp::Now()
{
    return g_fixedNow.isValid() ? g_fixedNow : QDateTime::currentDateTime();
}

void KorvaneApp::SetClockForTests(const QDateTime& fixed)
{
    g_fixedNow = fixed;
}

void KorvaneApp::SetFolders(const QString& executableDir)
{
    QString dir = executableDir;
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    const QString bundle = dir.left(dir.lastIndexOf(QLatin1Char('/')));
    appDirPath = dir;
    bundlePath = bundle;
    resourcePath = bundle + QStringLiteral("/Resources");
    // Decided once here: the bundle's own folders, or the user's where the bundle is not theirs.
    const FolderLayout layout =
        PlatformPaths::ChooseFolderLayout(HostPlatform(), bundle, PlatformPaths::CanWriteBundle(bundle));
    PlatformPaths::MakeUserFolders(layout);
    perUserFolders = layout.perUser;
    defaultLogPath = layout.logFolder;
    defaultCertificatePath = layout.certificateFolder;
    logPath = layout.logFolder;
    certificatePath = layout.certificateFolder;
    settingsPath = layout.settingsFolder;
    taskPath = layout.taskFolder;
    infoFilePath = layout.infoFile;
}

bool KorvaneApp::InitSettings(bool save)
{
    if (save) {
        WriteSettings();
    } else {
        settingsPath += QStringLiteral("/kvf_setting.plist");
        if (!QFile::exists(settingsPath))
            WriteSettings();
        else
            ReadSettings();
    }
    MakeFolder(logPath + QStringLiteral("/KVLOGFILE"));
    MakeFolder(taskPath);
    MakeFolder(certificatePath + QStringLiteral("/KVCERTIFICATE"));
    return true;
}

void KorvaneApp::WriteSettings()
{
    QSettings settings(settingsPath, PlistFormat());
    settings.setValue(kAlgorithmKey, QString::number(algorithm));
    settings.setValue(kVerificationKey, QString::number(verification));
    settings.setValue(kLogPathKey, logPath);
    settings.setValue(kCertificatePathKey, certificatePath);
    settings.setValue(kCheckUpdateKey, checkUpdate ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kUpdateScheduleKey, QString::number(updateSchedule));
    settings.setValue(kDiscardKey, discardAfterFill ? QStringLiteral("1") : QStringLiteral("0"));
    settings.setValue(kSupportLinkKey, supportLink);
    settings.sync();
}

void KorvaneApp::ReadSettings()
{
    QSettings settings(settingsPath, PlistFormat());
    if (settings.status() != QSettings::NoError)
        return; // an unreadable file leaves the defaults in place
    // A missing key reads as 0, false or empty: no default is applied on reading.
    algorithm = settings.value(kAlgorithmKey).toString().toInt();
    verification = settings.value(kVerificationKey).toString().toInt();
    logPath = settings.value(kLogPathKey).toString();
    certificatePath = settings.value(kCertificatePathKey).toString();
    const QString check = settings.value(kCheckUpdateKey).toString();
    checkUpdate = !check.isEmpty() && check != QLatin1String("0") && check.compare("false", Qt::CaseInsensitive) != 0;
    updateSchedule = settings.value(kUpdateScheduleKey).toString().toInt();
    discardAfterFill = settings.value(kDiscardKey).toString() == QLatin1String("1");
    supportLink = settings.value(kSupportLinkKey).toString();
    // An index the tables do not know (a damaged or hand-edited file) means the default.
    if (algorithm < 0 || algorithm >= kAlgorithmChoices)
        algorithm = 0;
    if (verification < 0 || verification >= kVerificationChoices)
        verification = 0;
    // An empty folder would put the log and certificate folders at the root of the file
    // system: the default folder (the bundle, or the user's own) stands in for it.
    if (logPath.isEmpty())
        logPath = defaultLogPath;
    if (certificatePath.isEmpty())
        certificatePath = defaultCertificatePath;
}

QString KorvaneApp::LogFilePath() const
{
    return logPath + QStringLiteral("/KVLOGFILE/") + logFileStamp + QStringLiteral(".log");
}

bool KorvaneApp::CreateLogFile(const QString& line)
{
    QFile file(LogFilePath());
    const QByteArray bytes = line.toUtf8() + '\n';
    bool written = file.open(QIODevice::WriteOnly | QIODevice::Append);
    written = written && file.write(bytes) == bytes.size() && file.flush();
    const QString reason = file.errorString();
    file.close();
    if (written)
        return true;
    // A lost line is an error the user must learn of, once per start of the program.
    if (!m_logFailed.exchange(true)) {
        m_logError = QStringLiteral("The log file %1 cannot be written (%2).").arg(LogFilePath(), reason);
        if (g_logFailureNotifier)
            g_logFailureNotifier(m_logError);
    }
    return false;
}

QString KorvaneApp::LogFailure() const
{
    return m_logFailed ? m_logError : QString();
}

void KorvaneApp::SetLogFailureNotifier(const std::function<void(const QString& message)>& notify)
{
    g_logFailureNotifier = notify;
}

void KorvaneApp::CreateLogLines(const QStringList& lines)
{
    for (const QString& line : lines)
        CreateLogFile(line);
}

bool KorvaneApp::GetKVFInfo()
{
    const QDateTime now = Now();
    logFileStamp = ErasureLog::FileStamp(now);
    CreateLogLines(ErasureLog::StartBlock(now));
    return BuildLists();
}

bool KorvaneApp::BuildLists()
{
    homePath = qEnvironmentVariable("HOME");
    if (homePath.isEmpty()) {
        userName = OnIterateBuffer(QStringLiteral("whoami"));
        const QString name = userName.section(QLatin1Char('\n'), 0, 0);
        if (name == QLatin1String("root"))
            homePath = PlatformPaths::RootHome(HostPlatform());
    }

    // 4. The "Erase Now" header row of the volumes.
    FillKVFAppListInit(QStringLiteral("Erase Now"), true, 0, 7, kDriveIcon, true);
    // 5. The disks and one row and left-pane entry per volume.
    m_getvolumes.CreateDisklist();
    OnSetDrives(7, 705000);

    // 6 to 8. The trace catalogs; the Trash group reads the disk list built above.
    AddTraceCatalogs(*this);
    return true;
}

void KorvaneApp::FillKVFAppListInit(const QString& name, bool checkable, int group, int id, const QString& icon,
                                    bool enabled)
{
    auto* row = new APPLICATIONINFO;
    row->name = name;
    row->installed = checkable;
    row->parentId = group;
    row->currentId = id;
    row->icon = icon;
    row->enabled = enabled;
    AppendNode(appList, row);

    APPLICATIONINFO** groupList = nullptr;
    if (group == 4)
        groupList = &appTracesList;
    else if (group == 5)
        groupList = &internetTracesList;
    else if (group == 3)
        groupList = &systemTracesList;
    if (groupList)
        AppendNode(*groupList, new APPLICATIONINFO(*row)); // row is the tail: its next is null
}

void KorvaneApp::CopyRows(APPLICATIONINFO* source, APPLICATIONINFO*& target)
{
    for (APPLICATIONINFO* node = source; node; node = node->next) {
        auto* copy = new APPLICATIONINFO(*node);
        copy->next = nullptr; // shares pathList, never the chain
        AppendNode(target, copy);
    }
}

void KorvaneApp::FillKVFAppListInit(APPLICATIONINFO* list)
{
    CopyRows(list, appList);
}

void KorvaneApp::FillApplicationTracesList(APPLICATIONINFO* list)
{
    CopyRows(list, appTracesList);
}

void KorvaneApp::FillInternetTracesList(APPLICATIONINFO* list)
{
    CopyRows(list, internetTracesList);
}

void KorvaneApp::FillSystemTracesList(APPLICATIONINFO* list)
{
    CopyRows(list, systemTracesList);
}

void KorvaneApp::FillLeftPaneListInit(const QString& title, const QString& subtitle, const QString& detail, int group,
                                      int id, const QString& icon)
{
    auto* entry = new LEFTPANEINFO;
    entry->title = title;
    entry->subtitle = subtitle;
    entry->detail = detail;
    entry->group = group;
    entry->id = id;
    entry->icon = icon;
    AppendNode(leftPaneList, entry);
}

bool KorvaneApp::FillDiskInfo()
{
    for (DISKINFO* disk = m_getvolumes.DiskList(); disk; disk = disk->next) {
        auto* copy = new DISKINFO(*disk); // shares the volume list with the discovery
        copy->next = nullptr;
        AppendNode(diskList, copy);
    }
    return true;
}

bool KorvaneApp::OnSetDrives(int group, int firstId)
{
    FillDiskInfo();
    if (group != 7)
        return true;
    int id = firstId;
    for (DISKINFO* disk = diskList; disk; disk = disk->next) {
        for (PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next, ++id) {
            FillKVFAppListInit(volume->volumeName, true, 7, id, kDriveIcon, true);
            FillLeftPaneListInit(volume->volumeName, volume->fileSystem, volume->mountPoint, 7, id, kDriveIcon);
        }
    }
    return true;
}

void KorvaneApp::DisabledEnabledAll(bool enabled)
{
    for (QObject* button : {settingsButton, backButton, forwardButton, closeButton, maximizeButton, minimizeButton}) {
        if (button)
            button->setProperty("enabled", enabled);
    }
}

bool KorvaneApp::RestrictSystemFolder(const QString& path) const
{
    const auto restricted = [](const QString& location) {
        if (g_protectionRoot.isEmpty())
            return IsProtectedLocation(location, HostPlatform());
        if (location == g_protectionRoot)
            return IsProtectedLocation(QStringLiteral("/"), HostPlatform());
        if (!location.startsWith(g_protectionRoot + QLatin1Char('/')))
            return true;
        return IsProtectedLocation(location.mid(g_protectionRoot.size()), HostPlatform());
    };
    if (restricted(path))
        return true;
    // A bind mount shows a folder under another name: the rules apply where it really lies.
    for (const QString& location : BoundLocations(QFile::encodeName(path))) {
        if (restricted(location))
            return true;
    }
    return false;
}

void KorvaneApp::SetProtectionRootForTests(const QString& root)
{
    g_protectionRoot = root;
}

void KorvaneApp::FreeApplicationInfo(APPLICATIONINFO*& list)
{
    FreeNodes(list); // rows share their path lists with the catalogs, which free them
}

void KorvaneApp::FreeErasureSummaryList()
{
    fileSummaryList.clear();
    unusedSummaryList.clear();
    tracesSummaryList.clear();
    searchSummaryList.clear();
}

void KorvaneApp::FreeWipingInfo()
{
    FreeNodes(wipingInfoList);
    wipingInfoLast = nullptr;
}

void KorvaneApp::AddAppWipingInfo(const APPWIPINGINFO& job)
{
    auto* node = new APPWIPINGINFO(job);
    node->next = nullptr;
    if (wipingInfoLast)
        wipingInfoLast->next = node;
    else
        wipingInfoList = node;
    wipingInfoLast = node;
}

void KorvaneApp::FreeMemory()
{
    // Disk copies share their volume lists with the volume discovery, which frees them.
    for (DISKINFO* disk = diskList; disk; disk = disk->next)
        disk->partitionList = nullptr;
    FreeNodes(diskList);
    m_getvolumes.FreeGetVolumesInfo();
    FreeApplicationInfo(appTracesList);
    FreeApplicationInfo(internetTracesList);
    FreeApplicationInfo(systemTracesList);
    FreeApplicationInfo(appList);
    FreeNodes(leftPaneList);
    // The catalogs own their nodes and every trace path.
    m_internetactivity.FreeInternetActivityList();
    m_macapplication.FreeMacApplicationList();
    m_chatapplication.FreeChatApplicationList();
    m_otherapplication.FreeOtherApplicationList();
    m_systemtraces.FreeSystemApplicationList();
    FreeErasureSummaryList();
}
