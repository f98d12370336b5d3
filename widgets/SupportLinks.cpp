#include "SupportLinks.h"

#include "KorvaneApp.h"
#include "PlistFormat.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QSettings>

namespace {
std::function<bool(const QUrl&)>& Opener()
{
    static std::function<bool(const QUrl&)> opener;
    return opener;
}

QUrl ResourceFile(const QString& relative)
{
    return QUrl(QStringLiteral("file://") + KorvaneApp::GetInstance()->resourcePath + relative);
}
} // namespace

namespace SupportLinks {

QString BundleInfoValue(const QString& key)
{
    const QString path = KorvaneApp::GetInstance()->bundlePath + QStringLiteral("/Info.plist");
    if (!QFileInfo(path).isFile())
        return QString();
    QSettings info(path, PlistFormat());
    return info.value(key).toString();
}

QUrl HelpPage(int helpPage)
{
    QString page = QStringLiteral("User_Interface.htm");
    if (helpPage == 1)
        page = QStringLiteral("Working_with_Korvane_for_File.htm");
    else if (helpPage == 2)
        page = QStringLiteral("Search___Erase.htm");
    return ResourceFile(QStringLiteral("/Help_Manual/") + page);
}

QUrl HelpTopics()
{
    return ResourceFile(QStringLiteral("/Help_Manual/index.htm"));
}

QUrl SupportMail()
{
    // A space after "mailto:" would become part of the address; the address is trimmed.
    return QUrl(QStringLiteral("mailto:") + BundleInfoValue(QStringLiteral("EmailToSupport")).trimmed());
}

QUrl SupportView()
{
    return QUrl(BundleInfoValue(QStringLiteral("SupportLink")));
}

QUrl SubmitEnquiry()
{
    return QUrl(BundleInfoValue(QStringLiteral("SubmitEnquiryLink")));
}

QUrl KnowledgeBase()
{
    return QUrl(BundleInfoValue(QStringLiteral("KBLink")));
}

QUrl EulaPdf()
{
    return ResourceFile(QStringLiteral("/Eula.pdf"));
}

bool Open(const QUrl& url)
{
    if (Opener())
        return Opener()(url);
    return QDesktopServices::openUrl(url);
}

void SetOpenerForTests(std::function<bool(const QUrl&)> opener)
{
    Opener() = std::move(opener);
}

} // namespace SupportLinks
