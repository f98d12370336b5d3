#include "ShellRunner.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// Starts `/bin/sh -c line` with its standard output on `stdoutFd` (or inherited when -1)
// and returns the child's pid, or -1.
pid_t SpawnShell(const QByteArray& line, int stdoutFd, int closeFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, stdoutFd);
    }
    if (closeFd >= 0)
        posix_spawn_file_actions_addclose(&actions, closeFd);

    char sh[] = "/bin/sh";
    char dashC[] = "-c";
    QByteArray copy = line;
    char* argv[] = {sh, dashC, copy.data(), nullptr};
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, sh, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int WaitForChild(pid_t pid)
{
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return status;
}

} // namespace

int SystemCmd(const QString& command)
{
    const pid_t pid = SpawnShell(QFile::encodeName(command), -1, -1);
    if (pid < 0)
        return 127 << 8;
    return WaitForChild(pid);
}

bool OnCreateBuffer(const QString& command, char* buffer)
{
    int fds[2];
    // Close-on-exec keeps children started by other threads from holding our pipe open.
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;

    const pid_t pid = SpawnShell(QFile::encodeName(command), fds[1], fds[0]);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }

    // Drain the pipe while the child runs so that a large output never stalls it; what
    // does not fit is read and dropped.
    const size_t keep = kRunnerBufferSize - 1;
    size_t used = 0;
    char scratch[8192];
    for (;;) {
        char* target = used < keep ? buffer + used : scratch;
        const size_t room = used < keep ? keep - used : sizeof scratch;
        const ssize_t n = read(fds[0], target, room);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (used < keep)
            used += static_cast<size_t>(n);
    }
    close(fds[0]);

    const int status = WaitForChild(pid);
    if (status != 0) {
        std::memset(buffer, 0, used);
        return false;
    }
    buffer[used] = '\0';
    return true;
}

QString OnIterateBuffer(const QString& command)
{
    QByteArray buffer(kRunnerBufferSize, '\0');
    if (!OnCreateBuffer(command, buffer.data()))
        return QString();
    return QString::fromUtf8(buffer.constData(), static_cast<int>(qstrlen(buffer.constData())));
}

QString ShellQuote(const QString& path)
{
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
