// The selection screen: one page per top tile that was on (files and folders, traces,
// unused space), each with a list on the left and one view per row on the right. Erase turns
// the selection into the job list and summary lists, asks for confirmation and opens the
// progress window.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>

#include "Records.h"
#include "WipingWizard.h"

namespace Ui {
class TracesMain;
}
class AnimationWindow;
class MyFileSystemModel;
class QListWidget;
class QListWidgetItem;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class TracesThread;

class TracesMain : public QWidget
{
    Q_OBJECT

public:
    // What the screen asks of the platform. Tests replace members; an empty member means the
    // real rule (the volume's mount check, the macOS product version). Protected locations
    // come from KorvaneApp::RestrictSystemFolder, which has its own test setting.
    struct Rules
    {
        std::function<bool(const QString& folder)> isMounted;
        std::function<QString()> productVersion;
    };
    static void SetRulesForTests(const Rules& rules);

    TracesMain(bool fileFolder, bool traces, bool unusedSpace, QWidget* parent);
    ~TracesMain() override;

    void FillTracesTree(int row, int currentId, int parentId, const QString& name, const QString& icon,
                        APPLICATIONINFO* list);
    static QString GetSizeString(qint64 bytes);
    void on_toolBox_currentChanged(int index);
    void HideAllItems();
    void SetHeader(const QString& text);
    void AddAppWipingInfo(APPWIPINGINFO& job);
    // Forwarded from the tool box's currentChanged(int); connected by hand, since the tool
    // box has no signal of that name for the form to connect.
    void on_LeftToolBox_currentItemChanged(int index);

    // For tests and the main window: the views and lists as built (null until then).
    QTreeView* VolumeView(int row) const;
    MyFileSystemModel* VolumeModel(int row) const;
    QTreeWidget* TraceTree(int row) const;
    QTreeWidget* DriveTree(int row) const;
    QListWidget* VolumeList() const { return m_volumeList; }
    QListWidget* CategoryList() const { return m_categoryList; }
    QListWidget* DriveList() const { return m_driveList; }
    WipingWizard* ProgressWindow() const { return m_wizard; }
    bool PagesBuilt() const { return m_built; }

public slots:
    void selectionChangedfilefolder();
    void selectionChangedtraces();
    void selectionChangedUnused();
    void OnClickedNextBtn();
    void OnInitLeftPanel();

private:
    enum PageKind
    {
        FilesPage,
        TracesPage,
        UnusedPage
    };
    struct VolumeRow
    {
        QListWidgetItem* item = nullptr;
        QTreeView* view = nullptr;
        MyFileSystemModel* model = nullptr;
    };
    struct CategoryRow
    {
        QListWidgetItem* item = nullptr;
        QTreeWidget* view = nullptr;
        int categoryId = 0;
        APPLICATIONINFO* head = nullptr; // the screen's own copies of the catalog nodes
        APPLICATIONINFO* last = nullptr;
    };
    struct DriveRow
    {
        QListWidgetItem* item = nullptr;
        QTreeWidget* view = nullptr;
    };

    QListWidget* NewLeftList();
    void AddPage(PageKind kind, QListWidget* list, const QString& title);
    void PrepareView(QWidget* view);
    void BuildFilesPage();
    void BuildTracesPage();
    void BuildUnusedPage();
    void ShowRowView(QListWidget* list);
    void CollectFileJobs();
    void CollectTraceJobs();
    void CollectUnusedJobs();
    void AddTraceGroupJobs(int id, APPLICATIONINFO* catalog);
    // Empties the selection of every view, shown or hidden: an erasure is over.
    void ClearSelections();
    static APPLICATIONINFO* CatalogOf(int categoryId);
    static QString HomeFolder();

    Ui::TracesMain* ui;
    bool m_fileFolder;
    bool m_traces;
    bool m_unusedSpace;
    int m_pageCount = 0;
    bool m_built = false;
    QVector<QWidget*> m_pages;
    QVector<PageKind> m_pageKinds;
    QListWidget* m_volumeList = nullptr;
    QListWidget* m_categoryList = nullptr;
    QListWidget* m_driveList = nullptr;
    QVector<VolumeRow> m_volumes;
    QVector<CategoryRow> m_categories;
    QVector<DriveRow> m_drives;
    TracesThread* m_thread = nullptr;
    AnimationWindow* m_busy = nullptr;
    QPointer<WipingWizard> m_wizard;
    QStringList m_protectedChosen; // chosen files and folders in protected locations
};
