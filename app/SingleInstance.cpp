#include "SingleInstance.h"

#include "TestOverride.h"

#include <QSystemSemaphore>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

SingleInstance::SingleInstance() : m_segment(Key() + QStringLiteral(" 2>")) {}

SingleInstance::~SingleInstance()
{
    if (m_socket >= 0)
        ::close(m_socket);
}

QString SingleInstance::Key()
{
    QString key = QStringLiteral("korvane-file-eraser.") + QString::number(getuid());
    const QString suffix = TestOverride("KORVANE_INSTANCE_KEY");
    if (!suffix.isEmpty())
        key += QLatin1Char('.') + suffix;
    return key;
}

#ifdef Q_OS_LINUX

namespace {

socklen_t AbstractAddress(const QByteArray& name, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    const size_t length = qMin<size_t>(name.size(), sizeof address.sun_path - 1);
    std::memcpy(address.sun_path + 1, name.constData(), length); // sun_path[0] == 0: abstract
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + length);
}

// The name is taken: by an instance of this user, or by someone else's process squatting it,
// which must not keep this user from working.
bool HeldByThisUser(const sockaddr_un& address, socklen_t length)
{
    // The holder never accepts: once its queue is full a blocking connect would wait for ever,
    // a non-blocking one says EAGAIN (taken as held).
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (probe < 0)
        return true;
    bool ours = true;
    if (::connect(probe, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
        ucred peer = {};
        socklen_t size = sizeof peer;
        if (getsockopt(probe, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0)
            ours = peer.uid == getuid();
    }
    ::close(probe);
    return ours;
}

} // namespace

bool SingleInstance::Acquire()
{
    sockaddr_un address;
    const socklen_t length = AbstractAddress(Key().toUtf8(), address);
    m_socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_socket < 0)
        return true; // no guard can be had: let the user work
    if (::bind(m_socket, reinterpret_cast<const sockaddr*>(&address), length) == 0 && ::listen(m_socket, 4) == 0)
        return true;
    ::close(m_socket);
    m_socket = -1;
    return !HeldByThisUser(address, length);
}

#else

bool SingleInstance::Acquire()
{
    QSystemSemaphore guard(Key(), 1, QSystemSemaphore::Open);
    guard.acquire();
    {
        // A segment left behind by a crashed instance is removed when its last user detaches.
        QSharedMemory stale(m_segment.key());
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

#endif
