// Helpers for the catalog tests: a fake home folder and bundle in a temporary folder,
// a stand-in for the application-bundle check, and a text dump of node lists.
#pragma once

#include "CatalogModel.h"
#include "KorvaneApp.h"

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
    // a temporary folder; `bundles` are the application bundles that count as present.
    explicit CatalogFixture(const QStringList& bundles = {}) : m_oldHome(qgetenv("HOME"))
    {
        KorvaneApp::ResetInstance();
        app = KorvaneApp::GetInstance();
        home = m_root.path() + "/home/tester";
        QDir().mkpath(home);
        QDir().mkpath(m_root.path() + "/bundle/bin");
        QDir().mkpath(m_root.path() + "/bundle/Resources");
        app->SetFolders(m_root.path() + "/bundle/bin");
        app->homePath = home;
        qputenv("HOME", QFile::encodeName(home));
        const QSet<QString> present(bundles.cbegin(), bundles.cend());
        TraceCatalog::SetInstallationCheckForTests([present](const QString& path) { return present.contains(path); });
    }
    ~CatalogFixture()
    {
        TraceCatalog::SetInstallationCheckForTests(nullptr);
        KorvaneApp::ResetInstance();
        qputenv("HOME", m_oldHome);
    }
    CatalogFixture(const CatalogFixture&) = delete;
    CatalogFixture& operator=(const CatalogFixture&) = delete;

    // Creates a file (and its folders) below the home folder; a name ending in "/" is a folder.
    void Plant(const QString& relative) const { PlantAt(home + "/" + relative); }
    static void PlantAt(const QString& path)
    {
        if (path.endsWith('/')) {
            QVERIFY(QDir().mkpath(path));
            return;
        }
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("trace");
    }
    void WriteText(const QString& path, const QByteArray& text) const
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    void WriteInstalledList(const QByteArray& text) const { WriteText(app->infoFilePath, text); }
    QString Root() const { return m_root.path(); }

    KorvaneApp* app = nullptr;
    QString home;

private:
    QTemporaryDir m_root;
    QByteArray m_oldHome;
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

// Compares two dumps line by line, so that a failure names the first differing line.
inline void CompareDumps(const QStringList& actual, const QStringList& expected)
{
    for (int i = 0; i < qMin(actual.size(), expected.size()); ++i)
        QCOMPARE(actual.at(i), expected.at(i));
    QCOMPARE(actual.size(), expected.size());
}
