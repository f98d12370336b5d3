#include "WindowPlacement.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLayout>
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
    FitToScreen(window);
}

QRect AvailableArea(const QWidget* window)
{
    const QScreen* screen = window && window->isVisible() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

void FitToScreen(QWidget* window)
{
    const QRect area = AvailableArea(window);
    if (window->width() > area.width() || window->height() > area.height()) {
        window->setMinimumSize(window->minimumSize().boundedTo(area.size()));
        window->resize(window->size().boundedTo(area.size()));
    }
    QRect frame = window->frameGeometry();
    frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width() + 1)));
    frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height() + 1)));
    window->move(frame.topLeft());
}

void GrowToMessage(QWidget* window, QLabel* message)
{
    window->ensurePolished();
    message->ensurePolished();
    const QRect area = AvailableArea(window);
    const QFontMetrics metrics(message->font());
    int widest = 0;
    for (const QString& line : message->text().split(QLatin1Char('\n'))) {
        for (const QString& word : line.split(QLatin1Char(' ')))
            widest = qMax(widest, metrics.horizontalAdvance(word) + 8);
    }
    const QSize designed = window->minimumSize();
    window->resize(designed);
    if (window->layout())
        window->layout()->activate();
    // Wider only by what the longest word lacks, then as high as the wrapped lines need.
    const int lacking = qMax(0, widest - message->width());
    const int width = qMin(designed.width() + lacking, area.width());
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    window->setMinimumSize(0, 0);
    const int height = window->layout() && window->layout()->hasHeightForWidth()
                           ? window->layout()->totalHeightForWidth(width)
                           : designed.height();
    window->setFixedSize(width, qBound(designed.height(), height, area.height()));
}
