// The search result page: starts the walk over the folder, lists every match as it arrives,
// lets the user stop the walk, and turns the chosen rows into erasure jobs.
#pragma once

#include "Records.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

namespace Ui {
class SearchResult;
}
class MessageBox;
class QMovie;
class QTimer;
class QTreeWidget;
class SearchThread;

class SearchResult : public QWidget
{
    Q_OBJECT

public:
    SearchResult(const QString& location, const QString& patternText, QWidget* parent = nullptr);
    ~SearchResult() override;

    // Erase (and the main window's Forward) once the search has ended.
    void ErasingSearch();
    static QString GetSizeString(qint64 bytes);
    void AddAppWipingInfo(APPWIPINGINFO& job);

    QTreeWidget* ResultTree() const { return m_tree; }
    qint64 FoundCount() const { return m_foundCount; }
    QWidget* ProgressWindow() const { return m_progress; }

public slots:
    // One match from the walk. The row is added on the next tick of the page's timer, so
    // that a burst of matches costs one layout, one scroll and one repaint per tick.
    void SearchFile(QString path);
    void SearchComplete();
    void ProcessAbort();

private slots:
    void on_Confirm_Erase_Btn_clicked();
    void AddPendingRows();

private:
    void SetButton(bool stop);
    void FinishSearch();

    Ui::SearchResult* ui;
    QTreeWidget* m_tree = nullptr;
    SearchThread* m_worker = nullptr;
    QMovie* m_movie = nullptr;
    qint64 m_foundCount = 0;
    QPointer<MessageBox> m_stopBox;
    QPointer<QWidget> m_progress;

    QStringList m_pending;  // matches delivered but not listed yet
    int m_pendingFirst = 0; // the next of them to list
    QTimer* m_rowTimer = nullptr;
    bool m_walkEnded = false; // SearchingComplete arrived; finish once every row is listed
};
