#include "FramelessBehaviour.h"

#include "KvResources.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <cmath>

namespace {
// Event positions are rounded half up to whole pixels.
QPoint RoundHalfUp(const QPointF& point)
{
    return QPoint(static_cast<int>(std::floor(point.x() + 0.5)), static_cast<int>(std::floor(point.y() + 0.5)));
}
} // namespace

FramelessBehaviour* FramelessBehaviour::Install(QWidget* window, DragMode mode, const QRect& dragArea, bool* sharedFlag)
{
    return new FramelessBehaviour(window, mode, dragArea, sharedFlag);
}

FramelessBehaviour::FramelessBehaviour(QWidget* window, DragMode mode, const QRect& dragArea, bool* sharedFlag)
    : QObject(window), m_window(window), m_mode(mode), m_area(dragArea),
      m_dragging(sharedFlag ? sharedFlag : &m_ownFlag)
{
    KvEnsureResources();
    window->setWindowFlags(window->windowFlags() | Qt::Window | Qt::FramelessWindowHint);
    window->installEventFilter(this);
}

bool FramelessBehaviour::InDragArea(const QPoint& point) const
{
    switch (m_mode) {
    case WholeWindow:
        return QRect(0, 0, m_window->width(), m_window->height()).contains(point);
    case DragArea:
        return m_area.contains(point);
    case NoDragging:
        break;
    }
    return false;
}

bool FramelessBehaviour::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_window)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        // Escape goes on to the parent as ignored; only the keys the window named act.
        auto* key = static_cast<QKeyEvent*>(event);
        const int pressed = key->key() == Qt::Key_Enter ? int(Qt::Key_Return) : key->key();
        const auto action = m_keys.constFind(pressed);
        if (action != m_keys.constEnd() && key->modifiers() == Qt::NoModifier) {
            key->accept();
            action.value()();
            return true;
        }
        key->setAccepted(key->key() != Qt::Key_Escape);
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            *m_dragging = false;
            if (InDragArea(RoundHalfUp(mouse->localPos()))) {
                *m_dragging = true;
                m_offset = RoundHalfUp(mouse->screenPos()) - m_window->frameGeometry().topLeft();
                m_window->update();
            }
        }
        return false; // the window's own handler still runs
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (*m_dragging && (mouse->buttons() & Qt::LeftButton)) {
            m_window->move(RoundHalfUp(mouse->screenPos()) - m_offset);
            mouse->accept();
            return true;
        }
        return false;
    }
    case QEvent::MouseButtonRelease:
        *m_dragging = false;
        return false;
    default:
        return false;
    }
}
