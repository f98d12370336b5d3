// Plain records shared by the subsystems: singly linked through `next`, appended at the
// tail and freed by their owner's Free... operations.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

class QTreeWidgetItem;

// One absolute trace path. A path containing "*" ends in "/*" and stands for the
// contents of the folder before it.
struct PATHINFO
{
    QString path;
    QString plistPath;
    PATHINFO* next = nullptr;
};

// One node of the traces tree (category, application, content group, profile, volume).
struct APPLICATIONINFO
{
    QString name;
    PATHINFO* pathList = nullptr;
    QTreeWidgetItem* treeItem = nullptr;
    int parentId = 0;
    int currentId = 0;
    bool installed = false;
    QString icon;
    APPLICATIONINFO* next = nullptr;
    bool enabled = true; // stored beside the row; nothing reads it
};

// One entry of the selection screen's left pane.
struct LEFTPANEINFO
{
    QString title;
    QString subtitle;
    QString detail;
    int group = 0; // 0 trace group, 7 volume
    int id = 0;
    QString icon;
    LEFTPANEINFO* next = nullptr;
};

// One erasure job.
struct APPWIPINGINFO
{
    enum Type
    {
        File = 0,
        Folder = 1,
        Plist = 2,
        UnusedSpace = 3
    };
    QString plistPath;
    int wipeType = File;
    int algorithm = 0;
    int verification = 0;
    QString category;
    QString itemPath;
    qint64 itemSize = 0;
    APPWIPINGINFO* next = nullptr;
    // The path's own bytes, when it came as bytes (a command-line argument): a name that is
    // not valid UTF-8 does not survive the round trip through itemPath. Empty: itemPath.
    QByteArray nativePath;
};

// One erased file as the certificate lists it.
struct CERTIFICATEDATA
{
    enum Status
    {
        Erased = 0,
        Failed = 1,
        Stopped = 2
    };
    QString fileName;
    QDateTime erasedAt;
    int status = Erased;
};

// One mounted volume.
struct PARTITIONINFO
{
    QString deviceNode;
    QString volumeName;
    QString fileSystem;
    QString mountPoint;
    qint64 totalSize = 0;
    qint64 freeSpace = 0;
    PARTITIONINFO* next = nullptr;
};

// One physical disk with its volumes.
struct DISKINFO
{
    QString diskName;
    QString deviceNode;
    QString mediaName;
    QString protocol;
    qint64 totalSize = 0;
    bool listed = false;
    PARTITIONINFO* partitionList = nullptr;
    DISKINFO* next = nullptr;
};

// A CoreStorage group member or an APFS container (on Linux: a mapped device).
struct CONTAINERINFO
{
    QString wholeDisk;
    PARTITIONINFO* partitionList = nullptr;
    CONTAINERINFO* next = nullptr;
};

// Appends a node at the tail of a singly linked list.
template <typename T> void AppendNode(T*& head, T* node)
{
    if (!head) {
        head = node;
        return;
    }
    T* last = head;
    while (last->next)
        last = last->next;
    last->next = node;
}

// Deletes every node of a singly linked list and sets the head to null.
template <typename T> void FreeNodes(T*& head)
{
    while (head) {
        T* next = head->next;
        delete head;
        head = next;
    }
}

inline void FreePathList(PATHINFO*& head)
{
    FreeNodes(head);
}
