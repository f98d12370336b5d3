#include "EraseCommandLine.h"
#include "FreeSpace.h"
#include "Platform.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <memory>

int main(int argc, char* argv[])
{
    if (RefuseSetIdExecution("korvane-erase"))
        return 2; // nothing was erased
    // A certificate is painted, which needs the GUI classes; without a display they draw
    // offscreen.
    bool certificate = false;
    for (int i = 1; i < argc; ++i)
        certificate = certificate || qstrncmp(argv[i], "--certificate", 13) == 0;
    if (certificate && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app(certificate ? new QGuiApplication(argc, argv)
                                                      : new QCoreApplication(argc, argv));
    // argv as the bytes given (the application object took out what it handles).
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    // Filler that an earlier run could not remove (it was killed) gives its space back.
    Filler::RemoveStaleEverywhere();
    return EraseCommandLine().Run(arguments, QCoreApplication::applicationDirPath());
}
