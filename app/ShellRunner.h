// Runs shell command lines for their status or their captured standard output.
// Safe to call from several threads at once; the application's own standard output is
// never redirected, each capture reads only the child it started.
#pragma once

#include <QString>

// The wait status of `/bin/sh -c line`, as system() reports it (0 when it exited with 0).
int SystemCmd(const QString& command);

// Runs the line with its standard output captured into `buffer` (65,536 bytes, owned by the
// caller). True when the status is 0; the buffer then holds at most 65,535 bytes of output
// followed by a zero byte. Standard error is not captured.
bool OnCreateBuffer(const QString& command, char* buffer);

// The standard output of the line, or the empty string when it failed.
QString OnIterateBuffer(const QString& command);

// A path as shell text that the shell takes as one literal word: single-quoted, with each
// "'" written as '\''. Nothing inside is expanded.
QString ShellQuote(const QString& path);

constexpr int kRunnerBufferSize = 0x10000;
