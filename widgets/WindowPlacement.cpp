#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

QRect DesktopGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

void CentreOnDesktop(QWidget* window, int lessHeight)
{
    const QRect desktop = DesktopGeometry();
    window->move((desktop.width() - window->width()) / 2, (desktop.height() - lessHeight - window->height()) / 2);
}
