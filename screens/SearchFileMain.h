// The search screen: the criteria page (name patterns and a folder) and, once Find is
// pressed, the result page that lists the matches in its place.
#pragma once

#include <QPointer>
#include <QWidget>

namespace Ui {
class SearchFileMain;
}
class SearchResult;

class SearchFileMain : public QWidget
{
    Q_OBJECT

public:
    explicit SearchFileMain(QWidget* parent = nullptr);
    ~SearchFileMain() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    // True when every pattern of `text` is acceptable; otherwise says "Invalid search criteria.".
    bool CheckSeprator(const QString& text);
    // The Find button and the main window's Forward on the criteria page.
    void FileSearchNext();
    void HideAllItem();
    void ShowAllItem();

    SearchResult* ResultPage() const { return m_result; }
    bool IsResultShown() const { return m_resultShown; }
    // Back on the result page: deletes it and shows the criteria again. False when the
    // criteria page is showing already.
    bool CloseResultPage();

private slots:
    void on_Browse_btn_clicked();
    void on_FN_Edit_TextEdit_textChanged();
    void on_SF_Location_TextEdit_textChanged();
    void on_Find_Btn_clicked();

private:
    void EnableFind();

    Ui::SearchFileMain* ui;
    QPointer<SearchResult> m_result;
    bool m_resultShown = false;
};
