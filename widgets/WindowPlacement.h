// Where the application's windows open: centred on the primary desktop.
#pragma once

class QWidget;
class QRect;

// The primary desktop's rectangle.
QRect DesktopGeometry();
// Moves the window, at its current size, to the centre of the desktop; `lessHeight` is
// taken off the desktop's height first.
void CentreOnDesktop(QWidget* window, int lessHeight = 0);
