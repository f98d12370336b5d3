// Korvane File Eraser: one instance per user, the licence agreement once, the splash
// while the start-up task builds the state, then the main window.
#include "FreeSpace.h"
#include "KorvaneApp.h"
#include "KorvaneforFileMain.h"
#include "KvResources.h"
#include "LicenseAgreement.h"
#include "MessageBox.h"
#include "Platform.h"
#include "SingleInstance.h"
#include "SplashScreenDlg.h"

#include <QApplication>

#include <memory>

int main(int argc, char* argv[])
{
    // Before the application object exists: it would load plugins named by the environment.
    if (RefuseSetIdExecution("korvane-file-eraser"))
        return 1;
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("korvane-file-eraser"));
    QApplication::setApplicationDisplayName(QStringLiteral("Korvane File Eraser"));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvane-file-eraser"));
    KvEnsureResources();
    QApplication::setWindowIcon(KvApplicationIcon());

    KorvaneApp* app = KorvaneApp::GetInstance();
    app->SetFolders(QCoreApplication::applicationDirPath());

    SingleInstance instance;
    if (!instance.Acquire()) {
        MessageBox box(QStringLiteral("Warning"), QStringLiteral("Another instance is already running."),
                       MessageBox::Warning, MessageBox::OkOnly);
        box.exec();
        return 1;
    }

    if (!LicenseAgreement::EnsureAccepted())
        return 0;

    // Filler that an earlier run could not remove (it was killed) gives its space back.
    Filler::RemoveStaleEverywhere();
    // A log line that cannot be written is told once per start, on the GUI thread, whichever
    // thread wrote it.
    KorvaneApp::SetLogFailureNotifier([](const QString& message) {
        QMetaObject::invokeMethod(
            qApp,
            [message]() {
                MessageBox box(QStringLiteral("Warning"),
                               message + QStringLiteral(" Erasures go on, but they are not recorded; choose a log "
                                                        "folder that can be written in the settings."),
                               MessageBox::Warning, MessageBox::OkOnly);
                box.exec();
            },
            Qt::QueuedConnection);
    });

    std::unique_ptr<KorvaneforFileMain> mainWindow;
    SplashScreenDlg::SetMainWindowFactory([&mainWindow]() -> QWidget* {
        mainWindow.reset(new KorvaneforFileMain);
        return mainWindow.get();
    });
    SplashScreenDlg splash;
    splash.raise();
    splash.show();
    splash.SplashInit();
    const int code = application.exec();
    mainWindow.reset();
    return code;
}
