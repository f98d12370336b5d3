#include "FreeSpace.h"

#include "ShellRunner.h"

#include <QFile>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {
std::function<long long(const QString&)> g_source;

#ifdef __APPLE__
long long DiskutilFreeSpace(const QString& folder)
{
    const QString query = QStringLiteral("diskutil info ") + ShellQuote(folder) + QStringLiteral(" | grep -Ei ");
    QString answer = OnIterateBuffer(query + QStringLiteral("\"Volume Free Space:\""));
    if (answer.isEmpty())
        answer = OnIterateBuffer(query + QStringLiteral("\"Volume Available Space:\""));
    return ParseDiskutilFreeSpace(answer);
}
#else
long long StatvfsFreeSpace(const QString& folder)
{
    struct statvfs st;
    if (statvfs(QFile::encodeName(folder).constData(), &st) != 0)
        return 0;
    const unsigned long long blocks = geteuid() == 0 ? st.f_bfree : st.f_bavail;
    return static_cast<long long>(blocks * st.f_frsize);
}
#endif
} // namespace

namespace FreeSpaceTesting {
void SetSource(const std::function<long long(const QString&)>& source)
{
    g_source = source;
}
} // namespace FreeSpaceTesting

long long ParseDiskutilFreeSpace(const QString& answer)
{
    const int open = answer.indexOf(QLatin1Char('('));
    if (open < 0)
        return 0;
    const QString rest = answer.mid(open + 1);
    const int bytes = rest.indexOf(QLatin1String("Bytes"));
    if (bytes < 1)
        return 0;
    bool ok = false;
    const long long value = rest.left(bytes - 1).toLongLong(&ok, 10);
    return ok ? value : 0;
}

long long VolumeFreeSpace(const QString& folder)
{
    if (g_source)
        return g_source(folder);
#ifdef __APPLE__
    return DiskutilFreeSpace(folder);
#else
    return StatvfsFreeSpace(folder);
#endif
}
