#include "InstalledApplications.h"

#include "ShellRunner.h"

#include <QFile>

std::unique_ptr<InstalledApplicationsWriter> CreateInstalledApplicationsWriter(PlatformKind platform)
{
    if (platform == PlatformKind::MacOS)
        return CreateMacInstalledApplicationsWriter();
    return CreateLinuxInstalledApplicationsWriter();
}

bool WriteInstalledApplicationsList(const QString& listPath)
{
    return CreateInstalledApplicationsWriter(HostPlatform())->Write(listPath);
}

QStringList ListedApplicationPaths(const QString& searchName, const QString& listPath)
{
    if (!QFile::exists(listPath))
        return {}; // grep would fail the same way, only louder
    const QString output =
        OnIterateBuffer(QStringLiteral("grep ") + ShellQuote(searchName) + QLatin1Char(' ') + ShellQuote(listPath));
    QStringList paths;
    int start = 0;
    while (start < output.size()) {
        int end = output.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = output.size();
        const QString line = output.mid(start, end - start);
        start = end + 1;
        const int slash = line.indexOf(QLatin1Char('/'));
        if (slash > 0)
            paths << line.mid(slash);
    }
    return paths;
}
