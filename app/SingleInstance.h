// Lets one copy of the application run at a time for each user. On Linux the guard is a
// listening socket in the abstract namespace named after the user id: binding it is atomic,
// it needs no file (so TMPDIR plays no part), and it vanishes with the process, even a
// killed one. On macOS a system semaphore serialises the check-and-create of a one-byte
// shared-memory segment that lives as long as the process; both keys carry the user id.
#pragma once

#include <QSharedMemory>
#include <QString>

class SingleInstance
{
public:
    SingleInstance();
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this process now holds the guard; false when another instance of this user does.
    bool Acquire();

    // "korvane-file-eraser.<uid>"; tests add a suffix (KORVANE_INSTANCE_KEY) to stay apart
    // from other runs of the same user.
    static QString Key();

private:
    int m_socket = -1;
    QSharedMemory m_segment;
};
