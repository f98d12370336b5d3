// Walks a folder by its raw name bytes (opendir/readdir), so names that are not valid in the
// file-system encoding are reached too. Symbolic links are never followed.
#pragma once

#include <QByteArray>

#include <functional>

// Calls `visit` with the full path of every file below `folder`, in directory order,
// descending into a subfolder when it is met. Files are regular files and symbolic links
// that do not lead to a folder; folders, devices, pipes and sockets are not visited. The
// walk ends early when `visit` returns false. False when the walk was ended early.
bool WalkFiles(const QByteArray& folder, const std::function<bool(const QByteArray& path)>& visit);
