// The behaviour every frameless window of the application shares: dragging the window with
// the left mouse button inside its drag area, and key handling in which only the keys a
// window names act (OnKey); otherwise Escape is passed on as ignored, every other key is
// swallowed. Installed on a window as an event
// filter, so dialogs, plain widgets and the main window all get it the same way.
#pragma once

#include <QHash>
#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

class FramelessBehaviour : public QObject
{
    Q_OBJECT

public:
    enum DragMode
    {
        WholeWindow, // the window is dragged from any point
        DragArea,    // only from the given rectangle (window coordinates)
        NoDragging   // keys only
    };

    // `sharedFlag` lets several window classes share one dragging flag; by default each
    // window has its own.
    static FramelessBehaviour* Install(QWidget* window, DragMode mode = WholeWindow, const QRect& dragArea = QRect(),
                                       bool* sharedFlag = nullptr);

    bool IsDragging() const { return *m_dragging; }
    QPoint DragOffset() const { return m_offset; }
    void SetDragArea(const QRect& area) { m_area = area; }
    bool InDragArea(const QPoint& point) const;
    // Runs `action` when `key` is pressed in the window (Qt::Key_Return also for Enter).
    void OnKey(int key, std::function<void()> action) { m_keys.insert(key, std::move(action)); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FramelessBehaviour(QWidget* window, DragMode mode, const QRect& dragArea, bool* sharedFlag);

    QWidget* m_window;
    DragMode m_mode;
    QRect m_area;
    bool m_ownFlag = false;
    bool* m_dragging;
    QPoint m_offset;
    QHash<int, std::function<void()>> m_keys;
};
