// Lets one copy of the application run at a time: a system semaphore serialises the
// check-and-create of a one-byte shared-memory segment that lives as long as the process.
#pragma once

#include <QSharedMemory>

class SingleInstance
{
public:
    SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the segment; false when another instance holds it.
    bool Acquire();

    static const char* SemaphoreKey() { return "KorvaneforFile"; }
    static const char* SegmentKey() { return "KorvaneforFile 2>"; }

private:
    QSharedMemory m_segment;
};
