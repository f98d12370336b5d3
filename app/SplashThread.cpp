#include "SplashThread.h"

#include "KorvaneApp.h"
#include "ShellRunner.h"

namespace {
SplashThread::InstalledListWriter& Writer()
{
    static SplashThread::InstalledListWriter writer;
    return writer;
}

// The macOS list: one "Location: /path/App.app" line per bundle, appended to the file.
void WriteWithSystemProfiler(const QString& infoFilePath)
{
    SystemCmd(QStringLiteral("system_profiler SPApplicationsDataType |grep -Ei \"Location:\" >> ") +
              ShellQuote(infoFilePath));
}
} // namespace

void SplashThread::SetInstalledListWriter(InstalledListWriter writer)
{
    Writer() = std::move(writer);
}

void SplashThread::WriteInstalledList(const QString& infoFilePath)
{
    if (Writer())
        Writer()(infoFilePath);
    else
        WriteWithSystemProfiler(infoFilePath);
}

SplashThread::SplashThread(QObject* parent) : QThread(parent) {}

void SplashThread::run()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    // The catalogs built by GetKVFInfo read this file, so it is complete before they start.
    WriteInstalledList(app->infoFilePath);
    app->InitSettings(false);
    app->GetKVFInfo();
    emit EndSplashScreen();
}
