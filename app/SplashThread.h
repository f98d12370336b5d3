// The start-up task: writes the installed-applications list, loads the settings and builds
// the application state while the splash window shows, then reports that it is done.
#pragma once

#include <QThread>

#include <functional>

class SplashThread : public QThread
{
    Q_OBJECT

public:
    // Writes the installed-applications list file (the argument is its path). The catalogs
    // platform writer runs unless a test installs its own.
    using InstalledListWriter = std::function<void(const QString& infoFilePath)>;
    static void SetInstalledListWriter(InstalledListWriter writer);
    static void WriteInstalledList(const QString& infoFilePath);

    explicit SplashThread(QObject* parent = nullptr);

signals:
    void EndSplashScreen();

protected:
    void run() override;
};
