// The addresses the Help menu, the help button and the About window open: help pages in the
// bundle's resources and the support addresses kept in the bundle's Info.plist. Opening goes
// through one function that tests replace, so no test starts a browser.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace SupportLinks {
// The value of `key` in <bundle>/Info.plist, or empty.
QString BundleInfoValue(const QString& key);
// The help page for a helpPage number: 0 home, 1 selection, 2 search.
QUrl HelpPage(int helpPage);
QUrl HelpTopics();
QUrl SupportMail();
QUrl SupportView();
QUrl SubmitEnquiry();
QUrl KnowledgeBase();
QUrl EulaPdf();

bool Open(const QUrl& url);
void SetOpenerForTests(std::function<bool(const QUrl&)> opener);
} // namespace SupportLinks
