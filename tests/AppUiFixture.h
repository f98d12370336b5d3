// A temporary bundle for the window tests: <tmp>/Korvane File Eraser/{bin,Resources} with an
// Info.plist, a fresh application state that points into it, no browser ever opened, and
// message boxes that answer 99 instead of blocking when a test did not expect them.
#pragma once

#include "KorvaneApp.h"
#include "MessageBox.h"
#include "PlistFormat.h"
#include "SupportLinks.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

struct AppUiFixture
{
    AppUiFixture()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("KORVANE_MESSAGEBOX_ANSWER", "99");
        qputenv("KORVANE_AGREEMENT_FILE", QFile::encodeName(root.path() + "/shared/KVLicense.plist"));
        bundle = root.path() + "/Korvane File Eraser";
        QDir().mkpath(bundle + "/bin");
        QDir().mkpath(bundle + "/Resources/Help_Manual");
        QSettings info(bundle + "/Info.plist", PlistFormat());
        info.setValue("EmailToSupport", "help@korvane.example");
        info.setValue("SupportLink", "https://support.korvane.example/eraser");
        info.setValue("SubmitEnquiryLink", "https://support.korvane.example/ask");
        info.setValue("KBLink", "https://support.korvane.example/kb");
        info.sync();
        KorvaneApp::ResetInstance();
        app = KorvaneApp::GetInstance();
        app->SetFolders(bundle + "/bin");
        MessageBox::ShownForTests().clear();
        SupportLinks::SetOpenerForTests([this](const QUrl& url) {
            opened << url;
            return true;
        });
    }
    ~AppUiFixture()
    {
        SupportLinks::SetOpenerForTests(nullptr);
        KorvaneApp::ResetInstance();
    }

    QTemporaryDir root;
    QString bundle;
    KorvaneApp* app = nullptr;
    QList<QUrl> opened;
};
