#include "EraseCommandLine.h"

#include <QCoreApplication>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    return EraseCommandLine().Run(arguments, QCoreApplication::applicationDirPath());
}
