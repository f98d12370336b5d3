#include "FakeCommands.h"

#include <QFile>
#include <QStandardPaths>

FakeCommands::FakeCommands() : m_oldPath(qgetenv("PATH"))
{
    // Without its folder an empty PATH entry would stand first: the current folder, and then
    // the real commands.
    if (!m_dir.isValid())
        qFatal("no folder for fake commands: %s", qPrintable(m_dir.errorString()));
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_oldPath);
}

FakeCommands::~FakeCommands()
{
    qputenv("PATH", m_oldPath);
}

void FakeCommands::AddScript(const QString& name, const QByteArray& body)
{
    const QString path = m_dir.path() + '/' + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QByteArray log = QFile::encodeName(path + ".calls");
    file.write("#!/bin/sh\n"
               "first=1; for a in \"$@\"; do if [ $first = 1 ]; then first=0; else printf '\\t' >> '" +
               log + "'; fi; printf '%s' \"$a\" >> '" + log + "'; done; printf '\\n' >> '" + log + "'\n" + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    // A test must never reach the real command (shutdown, kill, killall).
    if (file.error() != QFileDevice::NoError || QStandardPaths::findExecutable(name) != path)
        qFatal("the fake %s is not the first on PATH", qPrintable(name));
}

void FakeCommands::Add(const QString& name, const QByteArray& output, int exitCode)
{
    const QString dataPath = m_dir.path() + '/' + name + ".out";
    QFile data(dataPath);
    data.open(QIODevice::WriteOnly | QIODevice::Truncate);
    data.write(output);
    data.close();
    AddScript(name, "cat '" + QFile::encodeName(dataPath) + "'\nexit " + QByteArray::number(exitCode));
}

QStringList FakeCommands::Calls(const QString& name) const
{
    QFile file(m_dir.path() + '/' + name + ".calls");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList calls = QString::fromUtf8(file.readAll()).split('\n');
    calls.removeLast(); // after the last line feed
    return calls;
}
