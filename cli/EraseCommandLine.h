// korvane-erase: the erasure worker driven from a terminal. Options are rows of one table,
// so a new option or command is one entry with its handler.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

class MainWipeThread;

class EraseCommandLine
{
public:
    enum ExitStatus
    {
        AllErased = 0,
        SomeFailed = 1,
        BadUsage = 2
    };

    // What the options ask for, filled by the table's handlers.
    struct Request
    {
        int algorithm = -1;      // -1: the settings file's
        int verification = -1;   // -1: the settings file's
        QList<QByteArray> paths; // as given: a name need not be valid UTF-8
        QStringList freeSpaceFolders;
        QString logDir;
        QList<int> traceIds;    // --trace: subtrees of the traces tree
        QString certificateDir; // --certificate: the folder that gets KVCERTIFICATE/
        bool dryRun = false;
        bool thenFreeSpace = false; // --then-free-space: copy-on-write volumes' unused space after the files
        bool discard = false;       // --discard: trim a volume's free space after filling it
        bool quiet = false;
        // A command that replaces the erasure (--help, --list-algorithms, ...).
        std::function<int(EraseCommandLine&)> command;
    };

    // Handler of one option: applies `value` (empty for a flag), or returns an error text.
    using Handler = std::function<QString(Request& request, const QString& value)>;
    struct Option
    {
        QString shortName; // "-a", or empty
        QString longName;  // "--algorithm"
        QString valueName; // "N", or empty for a flag
        QString help;
        Handler apply;
    };

    // Output goes to the given streams (standard output and error by default).
    EraseCommandLine();
    EraseCommandLine(QTextStream* out, QTextStream* err, bool errIsTerminal);

    // Runs one invocation; `executableDir` locates the bundle and its settings file. The
    // arguments are taken as the bytes given (argv), so paths keep names that are not UTF-8.
    int Run(const QList<QByteArray>& arguments, const QString& executableDir);
    int Run(const QStringList& arguments, const QString& executableDir);

    static const QVector<Option>& Options();

private:
    int Usage(const QString& message);
    int Erase(const Request& request);
    int PrintHelp();
    int ListAlgorithms();
    int ListVolumes();
    int ListTraces(const QString& executableDir);
    // Builds the volume rows and the trace catalogs as the application does at start.
    void BuildTraceState(const QString& executableDir);
    bool WriteCertificate(long long selectedFileCount);
    void ShowProgress(MainWipeThread& worker, long long totalBytes, bool show);

    QTextStream m_stdout;
    QTextStream m_stderr;
    QTextStream* m_out;
    QTextStream* m_err;
    bool m_errIsTerminal;
    QString m_executableDir;
};
