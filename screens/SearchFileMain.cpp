#include "SearchFileMain.h"

#include "DirectoryDialog.h"
#include "KorvaneApp.h"
#include "MessageBox.h"
#include "Platform.h"
#include "SearchPatterns.h"
#include "SearchResult.h"
#include "ui_SearchFileMain.h"

#include <QDir>
#include <QKeyEvent>
#include <QTextCursor>

namespace {
// Where the folder dialog opens; Linux users expect their home folder there.
QString BrowseStart()
{
    return HostPlatform() == PlatformKind::MacOS ? QStringLiteral("/document") : QDir::homePath();
}

bool IsProtectedFolder(const QString& folder)
{
    return KorvaneApp::GetInstance()->RestrictSystemFolder(folder);
}

void ShowFindMessage(const QString& text)
{
    MessageBox box(QStringLiteral("Find Files"), text, MessageBox::Information, MessageBox::OkOnly,
                   KorvaneApp::GetInstance()->centralArea);
    box.exec();
}
} // namespace

SearchFileMain::SearchFileMain(QWidget* parent) : QWidget(parent), ui(new Ui::SearchFileMain)
{
    ui->setupUi(this);
    KorvaneApp::GetInstance()->helpPage = 2;
    ui->Find_Btn->setEnabled(false);
    m_result = nullptr;
    m_resultShown = false;
    ui->FN_Edit_TextEdit->installEventFilter(this);
}

SearchFileMain::~SearchFileMain()
{
    delete m_result;
    delete ui;
}

bool SearchFileMain::eventFilter(QObject* watched, QEvent* event)
{
    // The pattern box is one line: Return and Enter never insert a line break.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

void SearchFileMain::on_Browse_btn_clicked()
{
    ui->Browse_btn->setEnabled(false);
    const QString folder = GetExistingDirectory(this, tr("Open Directory"), BrowseStart(),
                                                QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!folder.isEmpty() && IsProtectedFolder(folder))
        ShowFindMessage(
            QStringLiteral("You have selected an operating system folder.\nSelected folder can't be erased."));
    else if (!folder.isEmpty())
        ui->SF_Location_TextEdit->setPlainText(folder);
    ui->Browse_btn->setEnabled(true);
}

void SearchFileMain::on_FN_Edit_TextEdit_textChanged()
{
    const QString text = ui->FN_Edit_TextEdit->toPlainText();
    if (text.length() > kSearchPatternLimit) {
        ShowFindMessage(QStringLiteral("File name can't be more than 64\ncharacters."));
        // Re-enters this slot once with the shortened text, which passes.
        ui->FN_Edit_TextEdit->setPlainText(text.left(kSearchPatternLimit));
        ui->FN_Edit_TextEdit->moveCursor(QTextCursor::End);
    }
    EnableFind();
}

void SearchFileMain::on_SF_Location_TextEdit_textChanged()
{
    EnableFind();
}

void SearchFileMain::on_Find_Btn_clicked()
{
    FileSearchNext();
}

void SearchFileMain::EnableFind()
{
    ui->Find_Btn->setEnabled(!ui->SF_Location_TextEdit->toPlainText().isEmpty() &&
                             !ui->FN_Edit_TextEdit->toPlainText().isEmpty());
}

bool SearchFileMain::CheckSeprator(const QString& text)
{
    if (SearchPatternsValid(SplitSearchPatterns(text)))
        return true;
    ShowFindMessage(QStringLiteral("Invalid search criteria."));
    return false;
}

void SearchFileMain::FileSearchNext()
{
    if (!ui->Find_Btn->isEnabled())
        return;
    const QString location = ui->SF_Location_TextEdit->toPlainText();
    const QString patternText = ui->FN_Edit_TextEdit->toPlainText();
    if (!CheckSeprator(patternText))
        return;
    HideAllItem();
    delete m_result;
    m_result = new SearchResult(location, patternText, this);
    layout()->addWidget(m_result);
    m_result->show();
    m_resultShown = true;
}

void SearchFileMain::HideAllItem()
{
    ui->Criteria_widget->hide();
}

void SearchFileMain::ShowAllItem()
{
    ui->Criteria_widget->show();
    m_resultShown = false;
}

bool SearchFileMain::CloseResultPage()
{
    if (!m_resultShown)
        return false;
    delete m_result;
    ShowAllItem();
    return true;
}
