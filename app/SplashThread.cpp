#include "SplashThread.h"

#include "InstalledApplications.h"
#include "KorvaneApp.h"

namespace {
SplashThread::InstalledListWriter& Writer()
{
    static SplashThread::InstalledListWriter writer;
    return writer;
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
        WriteInstalledApplicationsList(infoFilePath);
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
