#include "SingleInstance.h"

#include <QSystemSemaphore>

SingleInstance::SingleInstance() : m_segment(QString::fromLatin1(SegmentKey())) {}

bool SingleInstance::Acquire()
{
    QSystemSemaphore guard(QString::fromLatin1(SemaphoreKey()), 1, QSystemSemaphore::Open);
    guard.acquire();
    {
        // A segment left behind by a crashed instance is removed when its last user detaches.
        QSharedMemory stale(QString::fromLatin1(SegmentKey()));
        if (stale.attach(QSharedMemory::ReadWrite))
            stale.detach();
    }
    bool running = false;
    if (m_segment.attach(QSharedMemory::ReadWrite)) {
        m_segment.detach();
        running = true;
    } else {
        running = !m_segment.create(1, QSharedMemory::ReadWrite) && m_segment.error() == QSharedMemory::AlreadyExists;
    }
    guard.release();
    return !running;
}
