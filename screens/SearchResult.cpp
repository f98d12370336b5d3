#include "SearchResult.h"

#include "WipingWizard.h"

#include "ErasureHandOver.h"
#include "KorvaneApp.h"
#include "MessageBox.h"
#include "SearchJobs.h"
#include "SearchPatterns.h"
#include "SearchThread.h"
#include "SizeString.h"
#include "ui_SearchResult.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMovie>
#include <QTimer>
#include <QTreeWidget>

namespace {
const char kStopStyle[] = "QPushButton{border-image: url(:/images/images/HomeScreen/img_Stop.png);}";
const char kEraseStyle[] = "QPushButton{border-image: url(:/images/images/HomeScreen/img_Next.png);}";

// Matches are listed in batches: the first batch kRowTickMs after a match arrives, each
// making rows for about kRowBudgetMs, then one insertion, one scroll and one repaint. A
// backlog goes on kRowTickMs after the previous batch (kEndGapMs once the walk has ended),
// so input and painting are handled between any two batches.
const int kRowTickMs = 40;
const int kRowBudgetMs = 8;
const int kEndGapMs = 2;

void ShowMessage(const QString& title, const QString& text)
{
    MessageBox box(title, text, MessageBox::Information, MessageBox::OkOnly, KorvaneApp::GetInstance()->centralArea);
    box.exec();
}

QTreeWidgetItem* MakeRow(const QString& path)
{
    const QFileInfo info(path);
    auto* item = new QTreeWidgetItem;
    item->setText(0, info.fileName());
    item->setText(1, SearchResult::GetSizeString(info.size()));
    item->setTextAlignment(1, 0x86);
    item->setText(2, info.absoluteFilePath());
    item->setText(3, info.lastModified().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")));
    item->setText(4, QStringLiteral("File"));
    return item;
}
} // namespace

SearchResult::SearchResult(const QString& location, const QString& patternText, QWidget* parent)
    : QWidget(parent), ui(new Ui::SearchResult)
{
    ui->setupUi(this);
    KorvaneApp* app = KorvaneApp::GetInstance();

    m_tree = new QTreeWidget(ui->Search_resultWidget);
    m_tree->setObjectName(QStringLiteral("Search_resultTree"));
    ui->Search_resultWidget->layout()->addWidget(m_tree);
    m_tree->setColumnCount(5);
    m_tree->setAlternatingRowColors(true);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->setUniformRowHeights(true);
    m_tree->setFocusPolicy(Qt::StrongFocus);
    m_tree->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_tree->setHeaderLabels({QStringLiteral("      Name"), QStringLiteral("Size"), QStringLiteral(" Path"),
                             QStringLiteral(" Date"), QStringLiteral(" Kind")});
    const int widths[] = {240, 100, 380, 150, 20};
    for (int column = 0; column < 5; ++column)
        m_tree->setColumnWidth(column, widths[column]);
    m_tree->setEnabled(false);

    SetButton(true);

    m_movie = new QMovie(QStringLiteral(":/images/images/ProcessImage/progress.gif"), QByteArray(), this);
    ui->label->setMovie(m_movie);
    m_movie->start();

    m_rowTimer = new QTimer(this);
    m_rowTimer->setSingleShot(true);
    connect(m_rowTimer, &QTimer::timeout, this, &SearchResult::AddPendingRows);

    m_worker = new SearchThread(this);
    m_worker->location = location;
    m_worker->patterns = SplitSearchPatterns(patternText);
    connect(m_worker, &SearchThread::SearchingString, this, &SearchResult::SearchFile);
    connect(m_worker, &SearchThread::SearchingComplete, this, &SearchResult::SearchComplete);

    app->searchRunning = true;
    m_foundCount = 0;
    app->DisabledEnabledAll(false);
    m_worker->start(QThread::InheritPriority);
}

SearchResult::~SearchResult()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (m_progress) {
        // A progress window whose erasure still runs is left to finish: deleting it would
        // delete its running worker. It closes itself at the end and goes then.
        if (app->erasureRunning || m_progress->isVisible())
            m_progress->setAttribute(Qt::WA_DeleteOnClose);
        else
            delete m_progress;
    }
    delete ui;
    delete m_stopBox;
    delete m_tree;
    if (m_worker->isRunning()) {
        // Only reached when the page goes while it searches, which the main window refuses.
        m_worker->stopRequested = true;
        m_worker->wait();
        app->searchRunning = false;
        app->DisabledEnabledAll(true);
    }
    delete m_worker;
}

QString SearchResult::GetSizeString(qint64 bytes)
{
    return ::GetSizeString(bytes);
}

void SearchResult::AddAppWipingInfo(APPWIPINGINFO& job)
{
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
}

void SearchResult::SetButton(bool stop)
{
    ui->Confirm_Erase_Btn->setStyleSheet(QLatin1String(stop ? kStopStyle : kEraseStyle));
    ui->Confirm_Erase_Btn->setText(stop ? QStringLiteral("Stop") : QStringLiteral("Erase"));
}

void SearchResult::SearchFile(QString path)
{
    m_pending.append(path);
    if (!m_rowTimer->isActive())
        m_rowTimer->start(kRowTickMs);
}

void SearchResult::AddPendingRows()
{
    QElapsedTimer budget;
    budget.start();
    QList<QTreeWidgetItem*> batch;
    while (m_pendingFirst < m_pending.size()) {
        batch.append(MakeRow(m_pending.at(m_pendingFirst++)));
        if (batch.size() % 64 == 0 && budget.elapsed() >= kRowBudgetMs)
            break;
    }
    if (m_pendingFirst == m_pending.size()) {
        m_pending.clear();
        m_pendingFirst = 0;
    } else {
        m_rowTimer->start(m_walkEnded ? kEndGapMs : kRowTickMs);
    }
    if (!batch.isEmpty()) {
        m_tree->addTopLevelItems(batch);
        m_foundCount += batch.size();
        m_tree->scrollToBottom();
        // Once more after the layout, which may have added a horizontal scroll bar.
        QMetaObject::invokeMethod(m_tree, &QTreeWidget::scrollToBottom, Qt::QueuedConnection);
        update();
    }
    if (m_walkEnded && m_pending.isEmpty())
        FinishSearch();
}

void SearchResult::SearchComplete()
{
    m_walkEnded = true;
    m_worker->wait();
    if (m_pending.isEmpty()) {
        FinishSearch();
        return;
    }
    // The walk has ended: list what is left with short gaps between batches.
    m_rowTimer->start(kEndGapMs);
}

void SearchResult::FinishSearch()
{
    if (!m_walkEnded)
        return;
    m_walkEnded = false;
    KorvaneApp* app = KorvaneApp::GetInstance();
    m_movie->stop();
    ui->label->hide();
    m_worker->wait();
    SetButton(false);
    app->searchRunning = false;
    m_tree->setEnabled(true);
    // A stop question still open has nothing left to stop. It is running its own event
    // loop further up the stack, so it is closed here and deleted there.
    if (m_stopBox)
        m_stopBox->done(MessageBox::No);
    ShowMessage(QStringLiteral("Find Files"), QStringLiteral("Search completed ! ") + QString::number(m_foundCount) +
                                                  QStringLiteral(" items found."));
    app->DisabledEnabledAll(true);
}

void SearchResult::ProcessAbort()
{
    auto* box =
        new MessageBox(QStringLiteral("Stop Process"), QStringLiteral("Do you want to stop the current process?"),
                       MessageBox::Information, MessageBox::YesNo, KorvaneApp::GetInstance()->centralArea);
    m_stopBox = box;
    const int answer = box->exec();
    delete box;
    if (answer == MessageBox::Yes)
        m_worker->stopRequested = true;
}

void SearchResult::on_Confirm_Erase_Btn_clicked()
{
    if (KorvaneApp::GetInstance()->searchRunning)
        ProcessAbort();
    else
        ErasingSearch();
}

void SearchResult::ErasingSearch()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->searchRunning)
        return;
    // The running erasure reads the job list that a new one would rebuild.
    if (app->erasureRunning || (m_progress && m_progress->isVisible())) {
        ShowMessage(QStringLiteral("Erase"),
                    QStringLiteral("An erasure is running.\nPlease wait until it has completed."));
        return;
    }
    QStringList paths;
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    for (const QTreeWidgetItem* item : selected)
        paths.append(item->text(2));
    if (!FillSearchJobs(app, paths)) {
        ShowMessage(QStringLiteral("Erase"), QStringLiteral("Select an item to erase."));
        return;
    }
    if (SearchErasureHandOver().confirm(app->centralArea) != 1)
        return;
    delete m_progress;
    m_progress = SearchErasureHandOver().startProgress(app->centralArea);
    if (auto* wizard = qobject_cast<WipingWizard*>(m_progress.data()))
        connect(wizard, &WipingWizard::ErasureFinished, m_tree, &QTreeWidget::clearSelection);
}
