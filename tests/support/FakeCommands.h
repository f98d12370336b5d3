// Puts fake commands first on PATH for the life of the object. Each fake records its
// arguments (one line per call, arguments separated by a tab) and prints a canned output.
#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class FakeCommands
{
public:
    FakeCommands();
    ~FakeCommands();
    FakeCommands(const FakeCommands&) = delete;
    FakeCommands& operator=(const FakeCommands&) = delete;

    // A fake `name` that prints `output` and exits with `exitCode`.
    void Add(const QString& name, const QByteArray& output = QByteArray(), int exitCode = 0);
    // A fake `name` whose body is the given shell script (after the recording line).
    void AddScript(const QString& name, const QByteArray& body);
    // The calls recorded so far, one entry per call, arguments joined by tabs.
    QStringList Calls(const QString& name) const;
    QString Dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldPath;
};
