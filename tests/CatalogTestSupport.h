// Helpers for the catalog tests: a fake home folder and bundle in a temporary folder,
// a stand-in for the application-bundle check, and a text dump of node lists.
#pragma once

#include "CatalogModel.h"
#include "KorvaneApp.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>

class CatalogFixture
{
public:
    // A fresh application state whose home folder and installed-applications list lie in
    // a temporary folder; `bundles` are the application bundles that count as present, and
    // the catalogs read the tables of `platform`.
    explicit CatalogFixture(const QStringList& bundles = {}, PlatformKind platform = PlatformKind::MacOS)
        : m_oldHome(qgetenv("HOME"))
    {
        Catalog::SetTablesPlatformForTests(platform);
        for (const char* variable : kXdgVariables) {
            m_oldXdg << qgetenv(variable);
            qunsetenv(variable);
        }
        KorvaneApp::ResetInstance();
        app = KorvaneApp::GetInstance();
        home = m_root.path() + "/home/tester";
        QDir().mkpath(home);
        QDir().mkpath(m_root.path() + "/bundle/bin");
        QDir().mkpath(m_root.path() + "/bundle/Resources");
        app->SetFolders(m_root.path() + "/bundle/bin");
        app->homePath = home;
        qputenv("HOME", QFile::encodeName(home));
        // Linux applications are found by their folders in the fake home.
        const QSet<QString> present(bundles.cbegin(), bundles.cend());
        if (platform == PlatformKind::MacOS)
            TraceCatalog::SetInstallationCheckForTests(
                [present](const QString& path) { return present.contains(path); });
    }
    ~CatalogFixture()
    {
        TraceCatalog::SetInstallationCheckForTests(nullptr);
        KorvaneApp::ResetInstance();
        Catalog::ResetTablesPlatformForTests();
        qputenv("HOME", m_oldHome);
        for (int i = 0; i < m_oldXdg.size(); ++i) {
            if (!m_oldXdg.at(i).isEmpty())
                qputenv(kXdgVariables[i], m_oldXdg.at(i));
        }
    }
    CatalogFixture(const CatalogFixture&) = delete;
    CatalogFixture& operator=(const CatalogFixture&) = delete;

    // Creates a file (and its folders) below the home folder; a name ending in "/" is a folder.
    void Plant(const QString& relative) const { PlantAt(home + "/" + relative); }
    static void PlantAt(const QString& path)
    {
        if (path.endsWith('/'))
            QVERIFY(QDir().mkpath(path));
        else
            WriteTestFile(path, "trace");
    }
    void WriteText(const QString& path, const QByteArray& text) const { WriteTestFile(path, text); }
    void WriteInstalledList(const QByteArray& text) const { WriteText(app->infoFilePath, text); }

    // A Linux home as the browsers and applications lay it out: Chrome with two profiles
    // (native and Flatpak), Chromium from its Snap, Brave from its Snap's "current" revision,
    // Opera's single profile, Firefox from profiles.ini with a relative, an absolute, an
    // outside and a Flatpak profile, chat and media applications, histories, the trash
    // and the cache folder; links that must not be followed lead outside the home.
    void PlantLinuxHome() const
    {
        const char* files[] = {
            ".config/google-chrome/Default/Cookies",
            ".config/google-chrome/Default/History",
            ".config/google-chrome/Default/History-journal",
            ".config/google-chrome/Default/Current Session",
            ".config/google-chrome/Default/Sessions/Session_13",
            ".config/google-chrome/Default/Local Storage/leveldb/LOG",
            ".config/google-chrome/Default/Preferences",
            ".config/google-chrome/Profile 1/Network/Cookies",
            ".config/google-chrome/Profile 1/Login Data",
            ".config/google-chrome/Profile 1/Bookmarks",
            ".config/google-chrome/System Profile/History",
            ".config/google-chrome/Local State",
            ".cache/google-chrome/Default/Cache/Cache_Data/data_0",
            ".cache/google-chrome/Default/Code Cache/js/index",
            ".var/app/com.google.Chrome/config/google-chrome/Default/Web Data",
            "snap/chromium/common/chromium/Default/History",
            "snap/chromium/common/.cache/chromium/Default/Cache/index",
            "snap/brave/412/.config/BraveSoftware/Brave-Browser/Default/Favicons",
            ".config/opera/Cookies",
            ".config/opera/Top Sites",
            ".mozilla/firefox/abc.default-release/cookies.sqlite",
            ".mozilla/firefox/abc.default-release/places.sqlite",
            ".mozilla/firefox/abc.default-release/places.sqlite-wal",
            ".mozilla/firefox/abc.default-release/bookmarkbackups/b.jsonlz4",
            ".mozilla/firefox/abc.default-release/prefs.js",
            ".cache/mozilla/firefox/abc.default-release/cache2/entries/A1",
            "Work/ff/formhistory.sqlite",
            "Work/ff/logins.json",
            "Work/ff/cache2/entries/B2",
            ".var/app/org.mozilla.firefox/.mozilla/firefox/fp.default/sessionstore.jsonlz4",
            ".purple/logs/jabber/me/friend/2026-12-01.txt",
            ".config/discord/Cookies",
            ".config/vlc/vlc-qt-interface.conf",
            ".local/share/Trash/files/secret.txt",
            ".local/share/Trash/files/.hidden",
            ".local/share/Trash/files/old/a.txt",
            ".local/share/Trash/info/secret.txt.trashinfo",
            ".local/share/recently-used.xbel",
            ".cache/thumbnails/normal/ab.png",
            ".bash_history",
            ".python_history",
            ".xsession-errors",
            ".xsession-errors.old",
            ".cache/pip/http/a",
            ".cache/fontconfig/cache-7",
            ".cache/dconf/user",
            ".cache/doc/",
            "Documents/keep.txt",
        };
        for (const char* file : files)
            Plant(QString::fromUtf8(file));
        PlantAt(Root() + "/outside/ff/cookies.sqlite");
        PlantAt(Root() + "/outside/Profile 2/History");
        PlantAt(Root() + "/outside/cache/blob");
        QFile::link("412", home + "/snap/brave/current");
        QFile::link(Root() + "/outside/Profile 2", home + "/.config/google-chrome/Profile 2");
        QFile::link(Root() + "/outside/cache", home + "/.cache/linked");
        QFile::link(Root() + "/outside/ff", home + "/.mozilla/firefox/linked.profile");
        WriteText(home + "/.mozilla/firefox/profiles.ini",
                  "[Install4F96D1932A9F858E]\nDefault=abc.default-release\n\n"
                  "[Profile3]\nName=linked\nIsRelative=1\nPath=linked.profile\n\n"
                  "[Profile2]\nName=outside\nIsRelative=0\nPath=" +
                      QFile::encodeName(Root()) +
                      "/outside/ff\n\n"
                      "[Profile1]\nName=work\nIsRelative=0\nPath=" +
                      QFile::encodeName(home) +
                      "/Work/ff\n\n"
                      "[Profile0]\nName=default-release\nIsRelative=1\nPath=abc.default-release\nDefault=1\n\n"
                      "[General]\nStartWithLastProfile=1\nVersion=2\n");
        WriteText(home + "/.var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini",
                  "[Profile0]\nName=default\nIsRelative=1\nPath=fp.default\n");
    }
    QString Root() const { return m_root.path(); }

    KorvaneApp* app = nullptr;
    QString home;

private:
    static constexpr const char* kXdgVariables[] = {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME",
                                                    "XDG_STATE_HOME"};
    QTemporaryDir m_root;
    QByteArray m_oldHome;
    QList<QByteArray> m_oldXdg;
};

// One line per node ("parent current name [installed|missing] icon") followed by its
// paths indented by four blanks, with the home folder written as "~".
inline QStringList DumpNodes(const APPLICATIONINFO* list, const QString& home)
{
    QStringList lines;
    for (const APPLICATIONINFO* node = list; node; node = node->next) {
        lines << QString("%1 %2 %3 [%4] %5")
                     .arg(node->parentId)
                     .arg(node->currentId)
                     .arg(node->name, node->installed ? "installed" : "missing", node->icon);
        for (const PATHINFO* path = node->pathList; path; path = path->next) {
            QString text = path->path;
            if (!home.isEmpty() && text.startsWith(home + "/"))
                text = "~" + text.mid(home.size());
            lines << "    " + text + (path->plistPath.isEmpty() ? QString() : " plist:" + path->plistPath);
        }
    }
    return lines;
}
