// The platform the program runs on, and the few facts that differ by platform. Logic that
// differs takes the platform as a parameter so that both variants are tested everywhere.
#pragma once

#include <QString>

enum class PlatformKind
{
    MacOS,
    Linux
};

PlatformKind HostPlatform();

// Where the application keeps its own files. In a bundle the user may write (a build tree, a
// user's own copy, every macOS bundle) they live in the bundle; on Linux, where the bundle
// belongs to someone else (a system-wide installation), they go to the user's XDG folders.
struct FolderLayout
{
    bool perUser = false;
    QString settingsFolder;    // holds kvf_setting.plist
    QString logFolder;         // holds KVLOGFILE/
    QString certificateFolder; // holds KVCERTIFICATE/
    QString taskFolder;        // the working folder KVFTASK itself
    QString infoFile;          // the installed-applications list KVFInfo.txt
};

namespace PlatformPaths {
// Machine-wide agreement flag; on Linux a per-user fallback is used when it cannot be written.
QString AgreementFlagFile(PlatformKind platform);
QString AgreementFlagFallback();
// The home folder given to root when the environment names none.
QString RootHome(PlatformKind platform);
// The folder that holds users' home folders.
QString UsersFolder(PlatformKind platform);

// The user's home: $HOME, else the password database's entry for the real user.
QString UserHome();
// An XDG base folder: the variable's value when it holds an absolute path, else the home
// folder + `fallbackBelowHome` (".config", ".local/state", ".local/share", ".cache").
QString XdgFolder(const char* variable, const char* fallbackBelowHome);
// True when the real user may create and replace the files the bundle keeps for itself.
bool CanWriteBundle(const QString& bundle);
// The layout for `bundle`; `bundleWritable` is CanWriteBundle's answer.
FolderLayout ChooseFolderLayout(PlatformKind platform, const QString& bundle, bool bundleWritable);
// Creates the per-user folders of a layout (private to the user, parents as needed).
void MakeUserFolders(const FolderLayout& layout);
// A folder of the user's own for the update download: $XDG_CACHE_HOME/korvane-file-eraser/update/.
QString UserDownloadFolder();
} // namespace PlatformPaths

// On Linux a program must not run with set-user-id or set-group-id privileges: the calling
// user would choose the plugins, commands and folders a privileged process uses. Prints why
// to standard error and returns true when `program` must end at once; call it first in main,
// before the application object exists. (On macOS set-user-id execution stays allowed.)
bool RefuseSetIdExecution(const char* program);
