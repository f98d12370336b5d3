// The application state that every screen, thread and catalog reaches: folders, settings,
// the selection screen's row lists, the erasure job list, summary lists and screen flags.
#pragma once

#include "Records.h"

#include <QDateTime>
#include <QStringList>
#include <QVector>

#include <atomic>
#include <functional>

class QObject;
class QWidget;

class KorvaneApp
{
public:
    static KorvaneApp* GetInstance();
    // Frees every list and restores the defaults; tests start from a fresh state with it.
    static void ResetInstance();

    // Sets the folder layout from the executable's folder (<bundle>/bin or <bundle>/MacOS).
    // On Linux, when the user cannot write the bundle, the settings, logs, certificates, the
    // working folder and the installed-applications list go to the user's XDG folders.
    void SetFolders(const QString& executableDir);

    bool InitSettings(bool save);
    bool GetKVFInfo();
    // GetKVFInfo without the log: the home folder, the volume rows and the trace catalogs.
    bool BuildLists();
    // Appends one line to this start's log; false when it could not be written. The first
    // failure of a start is kept (LogFailure) and passed to the notifier.
    bool CreateLogFile(const QString& line);
    QString LogFilePath() const;
    // Why a log line was lost since this state was made; empty while every line was written.
    QString LogFailure() const;
    // Called on the writing thread at the first lost line of a start.
    static void SetLogFailureNotifier(const std::function<void(const QString& message)>& notify);
    void CreateLogLines(const QStringList& lines);

    void FillKVFAppListInit(const QString& name, bool checkable, int group, int id, const QString& icon, bool enabled);
    void FillKVFAppListInit(APPLICATIONINFO* list);
    void FillApplicationTracesList(APPLICATIONINFO* list);
    void FillInternetTracesList(APPLICATIONINFO* list);
    void FillSystemTracesList(APPLICATIONINFO* list);
    void FillLeftPaneListInit(const QString& title, const QString& subtitle, const QString& detail, int group, int id,
                              const QString& icon);
    bool FillDiskInfo();
    bool OnSetDrives(int group, int firstId);

    void DisabledEnabledAll(bool enabled);
    bool RestrictSystemFolder(const QString& path) const;
    // Tests only: the folder `root` plays the file system's root for RestrictSystemFolder
    // (the host's rules apply to the path below it) and everything outside it is protected,
    // so tests may erase in their temporary folders wherever those lie. Empty: the real rules.
    static void SetProtectionRootForTests(const QString& root);

    void FreeMemory();
    void FreeErasureSummaryList();
    void FreeWipingInfo();
    static void FreeApplicationInfo(APPLICATIONINFO*& list);
    void AddAppWipingInfo(const APPWIPINGINFO& job);

    // The clock behind every stamp; tests may fix it.
    static QDateTime Now();
    static void SetClockForTests(const QDateTime& fixed);

    int helpPage = 0;
    int exitCount = 0;
    QString infoFilePath;
    QString homePath;
    QString userName;
    QString settingsPath;
    QString logPath;
    QString certificatePath;
    QString appDirPath;
    QString taskPath;
    QString logFileStamp;
    QString supportLink;
    QString resourcePath;
    QString bundlePath;
    // The folders SetFolders chose for the log and certificate folders (an empty setting means these).
    QString defaultLogPath;
    QString defaultCertificatePath;
    bool perUserFolders = false;
    QWidget* mainWindow = nullptr;
    QWidget* centralArea = nullptr;
    QObject* settingsButton = nullptr;
    QObject* backButton = nullptr;
    QObject* forwardButton = nullptr;
    QObject* closeButton = nullptr;
    QObject* maximizeButton = nullptr;
    QObject* minimizeButton = nullptr;
    int algorithm = 0;
    int verification = 0;
    int updateSchedule = 1;
    bool checkUpdate = true;
    bool discardAfterFill = false; // "KVF_Discard": trim a volume's free space after filling it
    bool searchRunning = false;
    std::atomic<bool> erasureRunning{false};
    bool searchMode = false;
    DISKINFO* diskList = nullptr;
    APPLICATIONINFO* appList = nullptr;
    LEFTPANEINFO* leftPaneList = nullptr;
    APPLICATIONINFO* appTracesList = nullptr;
    APPLICATIONINFO* internetTracesList = nullptr;
    APPLICATIONINFO* systemTracesList = nullptr;
    QStringList fileSummaryList;
    QStringList unusedSummaryList;
    QStringList tracesSummaryList;
    QStringList searchSummaryList;
    APPWIPINGINFO* wipingInfoList = nullptr;
    APPWIPINGINFO* wipingInfoLast = nullptr;
    QVector<CERTIFICATEDATA> certificateList;

private:
    KorvaneApp() = default;
    void ReadSettings();
    void WriteSettings();
    static void CopyRows(APPLICATIONINFO* source, APPLICATIONINFO*& target);

    static KorvaneApp* m_instance;
    std::atomic<bool> m_logFailed{false};
    QString m_logError;
};
