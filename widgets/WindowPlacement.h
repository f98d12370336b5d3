// Where the application's windows open: centred on the primary desktop.
#pragma once

class QLabel;
class QWidget;
class QRect;

// The primary desktop's rectangle.
QRect DesktopGeometry();
// Moves the window, at its current size, to the centre of the desktop; `lessHeight` is
// taken off the desktop's height first.
void CentreOnDesktop(QWidget* window, int lessHeight = 0);

// The part of the window's screen (the primary one before it is shown) that windows may
// cover: the screen less panels and docks.
QRect AvailableArea(const QWidget* window);
// Shrinks the window to the available area where it is larger, and moves it inside.
void FitToScreen(QWidget* window);
// Lets a dialog with a word-wrapped message grow from its designed size until the message's
// longest word (a path, say) and all its lines show, within the available area.
void GrowToMessage(QWidget* window, QLabel* message);
