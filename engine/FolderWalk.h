// The one way the engine reaches files below a folder: through directory descriptors, one
// per level (openat with O_NOFOLLOW | O_DIRECTORY), so that no name is ever looked up again
// by its full path. A folder renamed or swapped for a symbolic link while the walk runs
// cannot send it elsewhere, and paths of any length are reached. The walk stays on the
// mount of the folder it starts from.
#pragma once

#include <QByteArray>

#include <functional>
#include <sys/types.h>

// What a name is, looked up without following a link.
struct NodeStat
{
    dev_t dev = 0;
    ino_t ino = 0;
    mode_t mode = 0;
    nlink_t nlink = 0;
    long long size = 0;
    unsigned long long mountId = 0; // 0 when the system does not say

    bool SameNode(const NodeStat& other) const { return dev == other.dev && ino == other.ino; }
    // True when `other` lies on another mount (or another file system) than this node.
    bool OtherMount(const NodeStat& other) const;
};

// `name` in the folder `dirfd` (an empty name: what `dirfd` itself refers to).
bool StatAt(int dirfd, const QByteArray& name, NodeStat* out);

// Closes its descriptor when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }
    bool IsOpen() const { return m_fd >= 0; }
    void Reset(int fd);

private:
    int m_fd;
};

// Splits "a/b/c" into "a/b" and "c" ("/c" into "/" and "c", "c" into "." and "c").
void SplitPath(const QByteArray& path, QByteArray* parent, QByteArray* name);

// Opens the folder `path` one component at a time, so its length is not limited. Links
// among the path's own components are followed, as any open by path would. -1 on failure.
int OpenFolderPath(const QByteArray& path);

// Opens the folder `name` in `dirfd` without following a link, provided it still is the
// node `expected` on the same mount. -1 otherwise.
int OpenSubfolder(int dirfd, const QByteArray& name, const NodeStat& expected);

// Removes `name` from `dirfd` (a folder when `folder`) provided it still is the node
// `expected`. Every name the erasure takes away goes through here. `written`: a folder's
// directory blocks are on the medium already (see UnlinkScrubbedAt).
bool RemoveErasedName(int dirfd, const QByteArray& name, const NodeStat& expected, bool folder = false,
                      bool written = false);

class FolderWalk
{
public:
    struct Entry
    {
        int folder;             // descriptor of the folder that holds the entry
        const QByteArray& name; // its name there
        const QByteArray& path; // the full path, for showing only
        const NodeStat& stat;
        // Where a Deferred entry reports later that it stays: set to true then. Valid until the
        // walk leaves the entry's folder, which it does only after onSettle.
        bool* kept = nullptr;
    };
    enum class Visit
    {
        Done, // the entry is gone
        Kept, // the entry stays: its folders stay too
        Stop, // end the walk
        // Taken over by the caller, who finishes it in onSettle (and sets *kept when it stays);
        // the entry's folder stays open until then.
        Deferred
    };

    // Every entry that is not a folder: files, links, devices, pipes, sockets.
    std::function<Visit(const Entry&)> onEntry;
    // A folder or file on another mount (a mount point below the start): never entered.
    std::function<void(const Entry&)> onMountPoint;
    // A folder whose entries are all Done; true when it was removed. Without it folders are
    // kept. The emptied subfolders of a folder are handed over together when the walk has
    // been through all of its entries, after onFoldersEmptying with that folder.
    std::function<bool(const Entry&)> onFolderEmptied;
    std::function<void(int folder)> onFoldersEmptying;
    // Finishes every Deferred entry so far; called before the walk leaves a folder or ends.
    std::function<void()> onSettle;

    // Walks the folder open at `rootFd`, whose path is `rootPath`. True when every entry
    // below it is gone (each Done, each folder removed); false when anything stays, could
    // not be read, or the walk was stopped (then Stopped() says so).
    bool Walk(int rootFd, const QByteArray& rootPath);
    bool Stopped() const { return m_stopped; }

private:
    bool WalkLevel(int fd, const QByteArray& path, const NodeStat& root);
    bool m_stopped = false;
};
