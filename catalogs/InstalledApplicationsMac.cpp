// macOS: the bundle locations that system_profiler reports, one "Location:" line each.
#include "InstalledApplications.h"

#include "ShellRunner.h"

namespace {
class MacInstalledApplications : public InstalledApplicationsWriter
{
public:
    bool Write(const QString& listPath) override { return SystemCmd(SystemProfilerCommand(listPath)) == 0; }
};
} // namespace

QString SystemProfilerCommand(const QString& listPath)
{
    return QStringLiteral("system_profiler SPApplicationsDataType |grep -Ei \"Location:\" >> ") + ShellQuote(listPath);
}

std::unique_ptr<InstalledApplicationsWriter> CreateMacInstalledApplicationsWriter()
{
    return std::make_unique<MacInstalledApplications>();
}
