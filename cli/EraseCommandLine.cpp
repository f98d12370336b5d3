#include "EraseCommandLine.h"

#include "AlgorithmTable.h"
#include "CertificatePainter.h"
#include "ErasureLog.h"
#include "FolderWalk.h"
#include "InstalledApplications.h"
#include "KorvaneApp.h"
#include "MainWipeThread.h"
#include "ProtectedLocations.h"
#include "TraceTree.h"
#include "VolumeListing.h"
#include "VolumeReach.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<MainWipeThread*> g_runningWorker{nullptr};

void OnInterrupt(int)
{
    if (MainWipeThread* worker = g_runningWorker.load())
        worker->RequestStop();
}

// Ctrl-C and termination stop the run at the next chunk, so that a file in progress is
// still removed and a filler folder does not stay behind.
class StopOnSignals
{
public:
    explicit StopOnSignals(MainWipeThread* worker)
    {
        g_runningWorker.store(worker);
        struct sigaction action = {};
        action.sa_handler = OnInterrupt;
        action.sa_flags = SA_RESETHAND; // a second Ctrl-C ends the program at once
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &m_oldInt);
        sigaction(SIGTERM, &action, &m_oldTerm);
    }
    ~StopOnSignals()
    {
        sigaction(SIGINT, &m_oldInt, nullptr);
        sigaction(SIGTERM, &m_oldTerm, nullptr);
        g_runningWorker.store(nullptr);
    }

private:
    struct sigaction m_oldInt = {};
    struct sigaction m_oldTerm = {};
};

QString ParseIndex(const QString& value, int count, int& target, const char* what)
{
    bool ok = false;
    const int index = value.toInt(&ok);
    if (!ok || index < 0 || index >= count)
        return QStringLiteral("%1 must be a number from 0 to %2, not '%3'")
            .arg(QLatin1String(what))
            .arg(count - 1)
            .arg(value);
    target = index;
    return QString();
}

QString AbsolutePath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The absolute, cleaned form of a path given as bytes; the bytes of its names stay as given.
QByteArray AbsolutePath(const QByteArray& path)
{
    const QByteArray full = path.startsWith('/') ? path : QFile::encodeName(QDir::currentPath()) + '/' + path;
    QList<QByteArray> parts;
    for (const QByteArray& part : full.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        if (part == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts << part;
    }
    QByteArray clean;
    for (const QByteArray& part : parts)
        clean += '/' + part;
    return clean.isEmpty() ? QByteArray("/") : clean;
}

// Why a path given cannot be erased at all, decided without opening it; empty if it can be.
QString RefusedKind(const QByteArray& path)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0)
        return QString(); // missing: the job says so
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode) && !S_ISLNK(st.st_mode))
        return QStringLiteral("refusing to erase a device, pipe or socket");
    QByteArray parent;
    QByteArray name;
    SplitPath(path, &parent, &name);
#ifdef O_PATH
    const int access = O_PATH; // the file system is asked; a folder that cannot be read is not virtual
#else
    const int access = O_RDONLY;
#endif
    const int fd =
        ::open(S_ISDIR(st.st_mode) ? path.constData() : parent.constData(), access | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return QString(); // the job says why it cannot be reached
    const bool isVirtual = IsVirtualFileSystem(fd);
    ::close(fd);
    return isVirtual ? QStringLiteral("refusing to erase on a virtual file system") : QString();
}

long long TreeSize(const QByteArray& folder)
{
    long long total = 0;
    Descriptor root(OpenFolderPath(folder));
    if (!root.IsOpen())
        return 0;
    FolderWalk walk;
    walk.onEntry = [&total](const FolderWalk::Entry& entry) {
        if (S_ISREG(entry.stat.mode))
            total += entry.stat.size;
        return FolderWalk::Visit::Kept;
    };
    walk.Walk(root.Get(), folder);
    return total;
}

const QString kHelpText =
    QStringLiteral("Usage: korvane-erase [options] PATH...\n"
                   "Overwrites each file, and every file below each folder, with the chosen algorithm,\n"
                   "verifies it as the chosen mode says, then truncates and removes it. Files become file\n"
                   "jobs and folders folder jobs, in the order given. Symbolic links are removed, never\n"
                   "written through; a file with several hard links only loses the name given.\n"
                   "\n"
                   "Options:\n"
                   "%1"
                   "\n"
                   "A protected location (the system's own folders, a home folder itself and its standard\n"
                   "folders, also when bound elsewhere), a device, pipe or socket, and anything on a virtual\n"
                   "file system (proc, sysfs, ...) are refused before anything is erased. A folder is erased\n"
                   "on its own file system: what is mounted inside it is left alone (and said so), and the\n"
                   "folder stays with whatever could not be erased. Paths are taken byte for byte.\n"
                   "Progress goes to standard error when it is a terminal. Each run appends the start block,\n"
                   "the run block and the end block to a log file under the log folder's KVLOGFILE/, and\n"
                   "ends with one summary line.\n"
                   "Ctrl-C stops within the piece being written; the file in progress is still removed.\n"
                   "\n"
                   "Exit status:\n"
                   "  0  every item was erased\n"
                   "  1  an item failed or was missing, or the log could not be written\n"
                   "  2  bad usage or a refused path (then nothing was erased)\n");

} // namespace

const QVector<EraseCommandLine::Option>& EraseCommandLine::Options()
{
    static const QVector<Option> options = {
        {"-a", "--algorithm", "N", "overwrite algorithm 0..16 (default: the settings file's)",
         [](Request& r, const QString& v) { return ParseIndex(v, kAlgorithmCount, r.algorithm, "the algorithm"); }},
        {"-m", "--verification", "M", "0 none, 1 random, 2 total (default: the settings file's)",
         [](Request& r, const QString& v) {
             return ParseIndex(v, kVerificationCount, r.verification, "the verification");
         }},
        {"", "--free-space", "DIR",
         "also erase the unused space of the volume that holds DIR\n(the filler folder is made inside DIR)",
         [](Request& r, const QString& v) {
             r.freeSpaceFolders << v;
             return QString();
         }},
        {"", "--then-free-space", "",
         "after the files, erase the unused space of each copy-on-write\nvolume that holds them (their old data stays "
         "there)",
         [](Request& r, const QString&) {
             r.thenFreeSpace = true;
             return QString();
         }},
        {"", "--discard", "",
         "after erasing a volume's unused space, let the device discard\nit (FITRIM; needs root and a device that "
         "supports it)",
         [](Request& r, const QString&) {
             r.discard = true;
             return QString();
         }},
        {"", "--log-dir", "DIR", "write the log under DIR/KVLOGFILE/ (default: the settings')",
         [](Request& r, const QString& v) {
             r.logDir = v;
             return QString();
         }},
        {"", "--dry-run", "", "print the jobs that would run, erase nothing",
         [](Request& r, const QString&) {
             r.dryRun = true;
             return QString();
         }},
        {"", "--trace", "ID",
         "also erase the trace group ID and everything below it, as the\nselection screen does (see --list-traces)",
         [](Request& r, const QString& v) {
             bool ok = false;
             const int id = v.toInt(&ok);
             if (!ok || id <= 0)
                 return QStringLiteral("--trace needs a node id, not '%1'").arg(v);
             r.traceIds << id;
             return QString();
         }},
        {"", "--certificate", "DIR", "write an erasure certificate of the files erased into DIR/KVCERTIFICATE/",
         [](Request& r, const QString& v) {
             r.certificateDir = v;
             return QString();
         }},
        {"", "--list-volumes", "", "print the disks and their volumes with total and free space, then exit",
         [](Request& r, const QString&) {
             r.command = [](EraseCommandLine& cli) { return cli.ListVolumes(); };
             return QString();
         }},
        {"", "--list-traces", "", "print the traces tree (id, name, installed, paths), then exit",
         [](Request& r, const QString&) {
             r.command = [](EraseCommandLine& cli) { return cli.ListTraces(cli.m_executableDir); };
             return QString();
         }},
        {"", "--list-algorithms", "", "print each index with its name and passes, then exit",
         [](Request& r, const QString&) {
             r.command = [](EraseCommandLine& cli) { return cli.ListAlgorithms(); };
             return QString();
         }},
        {"-q", "--quiet", "", "no progress display",
         [](Request& r, const QString&) {
             r.quiet = true;
             return QString();
         }},
        {"-h", "--help", "", "show this help, then exit",
         [](Request& r, const QString&) {
             r.command = [](EraseCommandLine& cli) { return cli.PrintHelp(); };
             return QString();
         }},
    };
    return options;
}

EraseCommandLine::EraseCommandLine()
    : m_stdout(stdout), m_stderr(stderr), m_out(&m_stdout), m_err(&m_stderr), m_errIsTerminal(isatty(2) == 1)
{
}

EraseCommandLine::EraseCommandLine(QTextStream* out, QTextStream* err, bool errIsTerminal)
    : m_out(out), m_err(err), m_errIsTerminal(errIsTerminal)
{
}

int EraseCommandLine::Usage(const QString& message)
{
    *m_err << "korvane-erase: " << message << "\nTry 'korvane-erase --help'.\n";
    m_err->flush();
    return BadUsage;
}

int EraseCommandLine::PrintHelp()
{
    QString rows;
    for (const Option& option : Options()) {
        QString names = option.shortName.isEmpty() ? QStringLiteral("    ") : option.shortName + QStringLiteral(", ");
        names += option.longName;
        if (!option.valueName.isEmpty())
            names += QLatin1Char(' ') + option.valueName;
        const QStringList lines = option.help.split(QLatin1Char('\n'));
        rows += QStringLiteral("  %1 %2\n").arg(names, -24).arg(lines.first());
        for (int i = 1; i < lines.size(); ++i)
            rows += QString(27, QLatin1Char(' ')) + lines.at(i) + QLatin1Char('\n');
    }
    *m_out << kHelpText.arg(rows);
    m_out->flush();
    return AllErased;
}

int EraseCommandLine::ListAlgorithms()
{
    for (int i = 0; i < kAlgorithmCount; ++i)
        *m_out << QStringLiteral("%1  %2\t%3 write pass%4\n")
                      .arg(i, 2)
                      .arg(AlgorithmMenuName(i))
                      .arg(AlgorithmPassCount(i))
                      .arg(AlgorithmPassCount(i) == 1 ? "" : "es");
    m_out->flush();
    return AllErased;
}

int EraseCommandLine::ListVolumes()
{
    *m_out << ::ListVolumes();
    m_out->flush();
    return AllErased;
}

void EraseCommandLine::BuildTraceState(const QString& executableDir)
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->appList)
        return;
    if (app->settingsPath.isEmpty()) {
        app->SetFolders(executableDir);
        app->InitSettings(false);
    }
    // The catalogs look applications up in the installed-applications list, made afresh.
    QFile::remove(app->infoFilePath);
    WriteInstalledApplicationsList(app->infoFilePath);
    app->BuildLists();
    QFile::remove(app->infoFilePath);
}

int EraseCommandLine::ListTraces(const QString& executableDir)
{
    BuildTraceState(executableDir);
    for (const QString& line : TraceTree::Format(*KorvaneApp::GetInstance()))
        *m_out << line << "\n";
    m_out->flush();
    return AllErased;
}

bool EraseCommandLine::WriteCertificate(long long selectedFileCount)
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    CertificateInput input;
    input.certificatePath = app->certificatePath;
    input.algorithm = app->algorithm;
    input.records = app->certificateList;
    input.selectedFileCount = selectedFileCount;
    input.algorithmName = [](int index) { return MainWipeThread::GetAlgorithmName(index); };
    QString written;
    if (!GenerateCertificate(input, &written)) {
        *m_err << "korvane-erase: the certificate could not be written under " << app->certificatePath
               << "/KVCERTIFICATE/\n";
        m_err->flush();
        return false;
    }
    *m_out << "korvane-erase: certificate: " << written << "\n";
    m_out->flush();
    return true;
}

int EraseCommandLine::Run(const QStringList& arguments, const QString& executableDir)
{
    QList<QByteArray> native;
    for (const QString& argument : arguments)
        native << QFile::encodeName(argument);
    return Run(native, executableDir);
}

int EraseCommandLine::Run(const QList<QByteArray>& nativeArguments, const QString& executableDir)
{
    m_executableDir = executableDir;
    QStringList arguments;
    for (const QByteArray& argument : nativeArguments)
        arguments << QFile::decodeName(argument);
    Request request;
    bool optionsEnded = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            request.paths << nativeArguments.at(i);
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        QString name = argument;
        QString value;
        bool inlineValue = false;
        if (argument.startsWith(QLatin1String("--")) && argument.contains(QLatin1Char('='))) {
            name = argument.section(QLatin1Char('='), 0, 0);
            value = argument.section(QLatin1Char('='), 1);
            inlineValue = true;
        }
        const Option* match = nullptr;
        for (const Option& option : Options()) {
            if (name == option.longName || (!option.shortName.isEmpty() && name == option.shortName))
                match = &option;
        }
        if (!match)
            return Usage(QStringLiteral("unknown option '%1'").arg(argument));
        if (!match->valueName.isEmpty() && !inlineValue) {
            if (i + 1 >= arguments.size())
                return Usage(QStringLiteral("%1 needs a value").arg(name));
            value = arguments.at(++i);
        } else if (match->valueName.isEmpty() && inlineValue) {
            return Usage(QStringLiteral("%1 takes no value").arg(name));
        }
        const QString error = match->apply(request, value);
        if (!error.isEmpty())
            return Usage(error);
    }
    if (request.command)
        return request.command(*this);
    if (request.paths.isEmpty() && request.freeSpaceFolders.isEmpty() && request.traceIds.isEmpty())
        return Usage(QStringLiteral("no PATH given"));

    KorvaneApp* app = KorvaneApp::GetInstance();
    app->SetFolders(executableDir);
    app->InitSettings(false);
    if (request.algorithm < 0)
        request.algorithm = app->algorithm;
    if (request.verification < 0)
        request.verification = app->verification;
    if (request.discard)
        app->discardAfterFill = true;
    if (request.algorithm < 0 || request.algorithm >= kAlgorithmCount || request.verification < 0 ||
        request.verification >= kVerificationCount)
        return Usage(QStringLiteral("the settings file holds an unknown algorithm or verification"));

    // Every path is checked before anything is erased.
    for (QByteArray& path : request.paths) {
        path = AbsolutePath(path);
        const QString shown = QFile::decodeName(path);
        if (app->RestrictSystemFolder(shown))
            return Usage(QStringLiteral("refusing to erase a protected location: %1").arg(shown));
        const QString refused = RefusedKind(path);
        if (!refused.isEmpty())
            return Usage(QStringLiteral("%1: %2").arg(refused, shown));
    }
    for (QString& folder : request.freeSpaceFolders) {
        folder = AbsolutePath(folder);
        if (!QFileInfo(folder).isDir())
            return Usage(QStringLiteral("--free-space needs an existing folder: %1").arg(folder));
    }
    if (!request.traceIds.isEmpty()) {
        BuildTraceState(executableDir);
        for (int id : request.traceIds) {
            if (!TraceTree::CategoryListFor(*app, id))
                return Usage(QStringLiteral("no trace group has the id %1 (see --list-traces)").arg(id));
        }
        // Named before anything is erased: a running application may rewrite what is erased.
        const QString running = TraceTree::RunningWarning(TraceTree::RunningApplications(*app, request.traceIds));
        if (!running.isEmpty()) {
            *m_err << "korvane-erase: warning: " << running << "\n";
            m_err->flush();
        }
    }
    if (!request.certificateDir.isEmpty()) {
        request.certificateDir = AbsolutePath(request.certificateDir);
        if (!QDir().mkpath(request.certificateDir + QStringLiteral("/KVCERTIFICATE")))
            return Usage(
                QStringLiteral("cannot make the certificate folder %1/KVCERTIFICATE").arg(request.certificateDir));
    }
    return Erase(request);
}

int EraseCommandLine::Erase(const Request& request)
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->algorithm = request.algorithm;
    app->verification = request.verification;
    app->FreeWipingInfo();

    long long totalBytes = 0;
    for (const QByteArray& path : request.paths) {
        APPWIPINGINFO job;
        job.algorithm = request.algorithm;
        job.verification = request.verification;
        job.category = QStringLiteral("Folder & Files");
        job.itemPath = QFile::decodeName(path);
        job.nativePath = path;
        struct stat st;
        const bool exists = ::lstat(path.constData(), &st) == 0;
        if (exists && S_ISDIR(st.st_mode)) {
            job.wipeType = APPWIPINGINFO::Folder;
            totalBytes += TreeSize(path);
        } else {
            job.wipeType = APPWIPINGINFO::File;
            job.itemSize = exists && S_ISREG(st.st_mode) ? st.st_size : 0;
            totalBytes += job.itemSize;
        }
        app->AddAppWipingInfo(job);
    }
    const auto addUnusedSpace = [&](const QString& folder) {
        APPWIPINGINFO job;
        job.wipeType = APPWIPINGINFO::UnusedSpace;
        job.algorithm = request.algorithm;
        job.verification = request.verification;
        job.category = QStringLiteral("Unused Space");
        job.itemPath = folder;
        job.itemSize = MainWipeThread::SetDriveSpace(folder);
        totalBytes += job.itemSize;
        app->AddAppWipingInfo(job);
    };
    for (const QString& folder : request.freeSpaceFolders)
        addUnusedSpace(folder);
    for (int id : request.traceIds) {
        for (APPWIPINGINFO job : TraceTree::CollectJobs(TraceTree::CategoryListFor(*app, id), app->appList, id,
                                                        request.algorithm, request.verification)) {
            if (job.wipeType == APPWIPINGINFO::Folder)
                totalBytes += TreeSize(QFile::encodeName(job.itemPath));
            totalBytes += job.itemSize;
            app->AddAppWipingInfo(job);
        }
    }
    // What overwriting cannot reach on these volumes; a copy-on-write volume's unused space
    // can follow the files.
    const auto probe = CreateVolumeReachProbe(HostPlatform());
    ReachClassifier reach(*probe);
    reach.AddJobs(app->wipingInfoList);
    QStringList reachLines = ReachNoticeLines(reach.Notices());
    for (const QString& volume : reach.CopyOnWriteVolumes()) {
        const QString key = probe->VolumeKey(volume);
        const bool asked = std::any_of(request.freeSpaceFolders.begin(), request.freeSpaceFolders.end(),
                                       [&](const QString& folder) { return probe->VolumeKey(folder) == key; });
        if (request.thenFreeSpace && !asked)
            addUnusedSpace(reach.FillerFolder(volume));
        else if (!asked)
            reachLines
                << QStringLiteral("hint: --then-free-space erases the unused space of %1 after the files").arg(volume);
    }

    long long jobs = 0;
    long long selectedFileCount = 0;
    for (APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
        ++jobs;
        if (job->wipeType == APPWIPINGINFO::File || job->wipeType == APPWIPINGINFO::UnusedSpace)
            ++selectedFileCount;
    }

    if (request.dryRun) {
        *m_out << "algorithm: " << MainWipeThread::GetAlgorithmName(request.algorithm).trimmed() << "\n"
               << "verification: " << MainWipeThread::GetVerificationName(request.verification) << "\n";
        for (APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
            const char* kind = job->wipeType == APPWIPINGINFO::Folder        ? "folder"
                               : job->wipeType == APPWIPINGINFO::UnusedSpace ? "free-space"
                               : job->wipeType == APPWIPINGINFO::Plist       ? "plist"
                                                                             : "file";
            *m_out << kind << "\t" << (job->wipeType == APPWIPINGINFO::Plist ? job->plistPath : job->itemPath);
            if (job->wipeType == APPWIPINGINFO::UnusedSpace)
                *m_out << "\t" << job->itemSize << " bytes free";
            *m_out << "\n";
        }
        for (const QString& line : reachLines)
            *m_out << "korvane-erase: " << line << "\n";
        *m_out << "korvane-erase: dry run, nothing erased\n";
        m_out->flush();
        app->FreeWipingInfo();
        return AllErased;
    }

    if (!request.logDir.isEmpty()) {
        app->logPath = AbsolutePath(request.logDir);
        QDir().mkpath(app->logPath + QStringLiteral("/KVLOGFILE"));
    }
    app->logFileStamp = ErasureLog::FileStamp(KorvaneApp::Now());
    app->CreateLogLines(ErasureLog::StartBlock(KorvaneApp::Now()));
    // The worker keeps a record per file for the certificate only in search mode.
    app->searchMode = !request.certificateDir.isEmpty();
    app->certificateList.clear();
    if (app->searchMode)
        app->certificatePath = request.certificateDir;

    for (const QString& line : reachLines)
        *m_err << "korvane-erase: " << line << "\n";
    m_err->flush();

    MainWipeThread worker;
    ShowProgress(worker, totalBytes, m_errIsTerminal && !request.quiet);
    QTextStream* err = m_err;
    const bool terminal = m_errIsTerminal && !request.quiet;
    QObject::connect(&worker, &MainWipeThread::ItemLeftAlone, [err, terminal](const QString& path) {
        *err << (terminal ? "\r\033[K" : "")
             << "korvane-erase: left alone, another file system is mounted there: " << path << "\n";
        err->flush();
    });
    {
        StopOnSignals stopOnSignals(&worker);
        worker.run();
    }
    app->erasureRunning = false;
    app->CreateLogLines(ErasureLog::EndBlock(KorvaneApp::Now()));
    app->FreeWipingInfo();

    const QVector<bool>& results = worker.JobResults();
    const int erased = static_cast<int>(std::count(results.begin(), results.end(), true));

    if (m_errIsTerminal && !request.quiet) {
        *m_err << "\r\033[K";
        m_err->flush();
    }
    // The summary names the log only where there is one; a lost line is an error.
    const QString logFailure = app->LogFailure();
    const QString logFile = app->LogFilePath();
    *m_out << QStringLiteral("korvane-erase: %1 of %2 items erased, %3 failed or missing%4; %5\n")
                  .arg(erased)
                  .arg(jobs)
                  .arg(jobs - erased)
                  .arg(worker.StopRequested() ? QStringLiteral(" (stopped)") : QString())
                  .arg(QFileInfo(logFile).isFile() ? QStringLiteral("log: ") + logFile : QStringLiteral("no log"));
    m_out->flush();
    if (!logFailure.isEmpty()) {
        *m_err << QStringLiteral("korvane-erase: ") << logFailure << "\n";
        m_err->flush();
    }
    const bool certified = !app->searchMode || WriteCertificate(selectedFileCount);
    return erased == jobs && certified && logFailure.isEmpty() ? AllErased : SomeFailed;
}

void EraseCommandLine::ShowProgress(MainWipeThread& worker, long long totalBytes, bool show)
{
    if (!show)
        return;
    QTextStream* err = m_err;
    auto print = [err, totalBytes](long long done, const QString& item) {
        const int percent = totalBytes > 0 ? static_cast<int>(qMin<long long>(100, done * 100 / totalBytes)) : 100;
        *err << QStringLiteral("\r\033[K%1% ").arg(percent, 3) << item;
        err->flush();
    };
    QObject::connect(&worker, &MainWipeThread::WipingStart,
                     [&worker, print](const QString& item) { print(worker.bytesDone, item); });
    QObject::connect(&worker, &MainWipeThread::WipingStatus, print);
}
