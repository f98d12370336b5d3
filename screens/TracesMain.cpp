#include "TracesMain.h"

#include "AnimationWindow.h"
#include "ErasureSummary.h"
#include "KorvaneApp.h"
#include "MessageBox.h"
#include "MyFileSystemModel.h"
#include "Platform.h"
#include "ShellRunner.h"
#include "SizeString.h"
#include "SystemVersion.h"
#include "TraceTree.h"
#include "TracesThread.h"
#include "VolumeDiscovery.h"
#include "WipingWizard.h"
#include "ui_TracesMain.h"

#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QListWidget>
#include <QMouseEvent>
#include <QMovie>
#include <QQueue>
#include <QSet>
#include <QTreeView>
#include <QTreeWidget>

namespace {

const char* const kRightArrow = ":/images/images/Scroll_Bar/img_Right_arrow.png";
const char* const kDownArrow = ":/images/images/Scroll_Bar/img_down_arrow.png";
const QString kFilesTitle = QStringLiteral(" Files && Folders");
const QString kTracesTitle = QStringLiteral(" Traces");
const QString kUnusedTitle = QStringLiteral(" Unused Space");

TracesMain::Rules& CurrentRules()
{
    static TracesMain::Rules rules;
    return rules;
}

bool IsProtected(const QString& path)
{
    return KorvaneApp::GetInstance()->RestrictSystemFolder(path);
}

bool IsMounted(const QString& folder)
{
    if (CurrentRules().isMounted)
        return CurrentRules().isMounted(folder);
    return IsVolumeMounted(folder);
}

// The macOS product version; the short-name rule below is one of that system's.
QString ProductVersion()
{
    if (CurrentRules().productVersion)
        return CurrentRules().productVersion();
    if (HostPlatform() != PlatformKind::MacOS)
        return QString();
    return ReadSystemVersion(PlatformKind::MacOS).productVersion;
}

// A press on a collapsed row that has children opens it and selects nothing: opening a
// category to look inside must not choose the whole category for erasure.
class ExpandWithoutSelecting : public QObject
{
public:
    explicit ExpandWithoutSelecting(QTreeWidget* tree) : QObject(tree), m_tree(tree)
    {
        tree->setExpandsOnDoubleClick(false);
        tree->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        QTreeWidgetItem* item = m_tree->itemAt(mouse->pos());
        if (mouse->button() != Qt::LeftButton || mouse->modifiers() != Qt::NoModifier || !item ||
            item->childCount() == 0)
            return false;
        if (event->type() == QEvent::MouseButtonDblClick)
            return true; // the first press already opened it or selected it
        if (item->isExpanded())
            return false;
        item->setExpanded(true);
        return true;
    }

private:
    QTreeWidget* m_tree;
};

APPWIPINGINFO NewJob(int type, const QString& category, const QString& path, qint64 size)
{
    const KorvaneApp* app = KorvaneApp::GetInstance();
    APPWIPINGINFO job;
    job.wipeType = type;
    job.algorithm = app->algorithm;
    job.verification = app->verification;
    job.category = category;
    job.itemPath = path;
    job.itemSize = size;
    return job;
}

// Names the running applications among the selected traces; false when the user cancels.
template <typename Rows> bool ConfirmRunningApplications(const Rows& rows, QWidget* parent)
{
    QList<int> ids;
    for (const auto& row : rows) {
        for (const QTreeWidgetItem* item : row.view->selectedItems())
            ids << item->text(2).toInt();
    }
    const QString warning =
        ::TraceTree::RunningWarning(::TraceTree::RunningApplications(*KorvaneApp::GetInstance(), ids));
    if (warning.isEmpty())
        return true;
    MessageBox box(QStringLiteral("Erase"), warning, MessageBox::Warning, MessageBox::OkCancel, parent);
    return box.exec() == MessageBox::Ok;
}

} // namespace

void TracesMain::SetRulesForTests(const Rules& rules)
{
    CurrentRules() = rules;
}

TracesMain::TracesMain(bool fileFolder, bool traces, bool unusedSpace, QWidget* parent)
    : QWidget(parent), ui(new Ui::TracesMain), m_fileFolder(fileFolder), m_traces(traces), m_unusedSpace(unusedSpace)
{
    ui->setupUi(this);
    KorvaneApp::GetInstance()->helpPage = 1;
    m_pageCount = int(fileFolder) + int(traces) + int(unusedSpace);

    m_thread = new TracesThread;
    m_busy = new AnimationWindow(false, nullptr);
    m_busy->setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    connect(m_thread, &TracesThread::TracesCreated, this, &TracesMain::OnInitLeftPanel, Qt::QueuedConnection);
    m_thread->start(QThread::InheritPriority);
    m_busy->show();
}

TracesMain::~TracesMain()
{
    disconnect(ui->LeftToolBox, nullptr, this, nullptr);
    disconnect(ui->next_btn, nullptr, this, nullptr);
    for (QListWidget* list : {m_volumeList, m_categoryList, m_driveList}) {
        if (list)
            disconnect(list, nullptr, this, nullptr);
    }
    if (m_thread)
        disconnect(m_thread, nullptr, this, nullptr);

    // 1. the list items, the left lists and the views with their models
    for (VolumeRow& row : m_volumes) {
        delete row.item;
        delete row.view;
        delete row.model;
    }
    for (CategoryRow& row : m_categories) {
        delete row.item;
        delete row.view;
    }
    for (DriveRow& row : m_drives) {
        delete row.item;
        delete row.view;
    }
    delete m_volumeList;
    delete m_categoryList;
    delete m_driveList;
    // 2. the private catalog copies
    for (CategoryRow& row : m_categories)
        FreeNodes(row.head);
    // 3. the page widgets
    qDeleteAll(m_pages);
    // 4. the loader thread, the busy window and the progress window
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
    delete m_busy;
    delete m_wizard.data();
    // 5. the ui
    delete ui;
}

QString TracesMain::GetSizeString(qint64 bytes)
{
    return ::GetSizeString(bytes);
}

QString TracesMain::HomeFolder()
{
    QString home = KorvaneApp::GetInstance()->homePath;
    if (home.isEmpty())
        home = QDir::homePath();
    if (home.isEmpty()) {
        home = OnIterateBuffer(QStringLiteral("whoami")).section(QLatin1Char('\n'), 0, 0);
        if (home == QLatin1String("root"))
            home = PlatformPaths::RootHome(HostPlatform());
    }
    return home;
}

QListWidget* TracesMain::NewLeftList()
{
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setFocusPolicy(Qt::NoFocus);
    list->setFrameShape(QFrame::NoFrame);
    list->setIconSize(QSize(18, 18));
    list->setUniformItemSizes(true);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return list;
}

void TracesMain::AddPage(PageKind kind, QListWidget* list, const QString& title)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);
    ui->LeftToolBox->addItem(page, QIcon(QString::fromLatin1(kRightArrow)), title);
    m_pages.append(page);
    m_pageKinds.append(kind);
}

void TracesMain::PrepareView(QWidget* widget)
{
    auto* view = static_cast<QTreeView*>(widget);
    view->setParent(ui->RightPaneBody);
    ui->RightPaneBody->layout()->addWidget(view);
    view->setAlternatingRowColors(true);
    view->setIconSize(QSize(16, 16));
    view->setUniformRowHeights(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setFocusPolicy(Qt::StrongFocus);
    view->setAttribute(Qt::WA_MacShowFocusRect, false);
}

void TracesMain::OnInitLeftPanel()
{
    if (m_built)
        return;
    m_built = true;
    if (m_fileFolder)
        BuildFilesPage();
    if (m_traces)
        BuildTracesPage();
    if (m_unusedSpace)
        BuildUnusedPage();

    QWidget* placeholder = ui->LeftToolBox->widget(0);
    ui->LeftToolBox->removeItem(0);
    placeholder->hide();

    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    m_busy->Movie()->stop();
    m_busy->close();
    delete m_busy;
    m_busy = nullptr;

    connect(ui->LeftToolBox, &QToolBox::currentChanged, this, &TracesMain::on_LeftToolBox_currentItemChanged);
    if (m_volumeList)
        connect(m_volumeList, &QListWidget::itemSelectionChanged, this, &TracesMain::selectionChangedfilefolder);
    if (m_categoryList)
        connect(m_categoryList, &QListWidget::itemSelectionChanged, this, &TracesMain::selectionChangedtraces);
    if (m_driveList)
        connect(m_driveList, &QListWidget::itemSelectionChanged, this, &TracesMain::selectionChangedUnused);
    connect(ui->next_btn, &QPushButton::clicked, this, &TracesMain::OnClickedNextBtn);
    on_toolBox_currentChanged(0);
}

void TracesMain::BuildFilesPage()
{
    m_volumeList = NewLeftList();
    AddPage(FilesPage, m_volumeList, kFilesTitle);
    const QString home = HomeFolder();
    const bool shortNames = ProductVersion().contains(QLatin1String("10.12"));

    for (LEFTPANEINFO* entry = KorvaneApp::GetInstance()->leftPaneList; entry; entry = entry->next) {
        if (entry->group != 7)
            continue;
        VolumeRow row;
        QString title = entry->title;
        if (shortNames && title.size() > 20)
            title = title.left(20) + QStringLiteral("...");
        row.item = new QListWidgetItem(QIcon(entry->icon), title, m_volumeList);
        row.view = new QTreeView;
        row.model = new MyFileSystemModel;
        row.view->setModel(row.model);
        PrepareView(row.view);

        QString folder = entry->detail;
        if (folder == home)
            folder = QStringLiteral("/");
        if (IsMounted(folder)) {
            row.model->setRootPath(folder);
            row.view->setRootIndex(row.model->index(folder));
        }
        row.view->hide();
        row.view->header()->setDefaultAlignment(Qt::AlignLeft);
        const int widths[] = {275, 100, 150, 150};
        for (int c = 0; c < 4; ++c)
            row.view->setColumnWidth(c, widths[c]);
        m_volumes.append(row);
    }
}

void TracesMain::BuildTracesPage()
{
    m_categoryList = NewLeftList();
    AddPage(TracesPage, m_categoryList, kTracesTitle);
    const KorvaneApp* app = KorvaneApp::GetInstance();
    for (LEFTPANEINFO* entry = app->leftPaneList; entry; entry = entry->next) {
        if (entry->id != 4 && entry->id != 5 && entry->id != 3)
            continue;
        QString icon;
        if (entry->id == 4)
            icon = QStringLiteral(":/images/images/Traces/Application_Traces_B.png");
        else if (entry->id == 5)
            icon = QStringLiteral(":/images/images/Traces/InternetActivity_B.png");
        else
            icon = QStringLiteral(":/images/images/Traces/System_Traces_B.png");
        CategoryRow row;
        row.item = new QListWidgetItem(QIcon(entry->icon), entry->title, m_categoryList);
        row.categoryId = entry->id;
        m_categories.append(row);
        FillTracesTree(m_categories.size() - 1, entry->id, entry->group, entry->title, icon, CatalogOf(entry->id));
    }
}

APPLICATIONINFO* TracesMain::CatalogOf(int categoryId)
{
    const KorvaneApp* app = KorvaneApp::GetInstance();
    if (categoryId == 4)
        return app->appTracesList;
    if (categoryId == 5)
        return app->internetTracesList;
    return app->systemTracesList;
}

void TracesMain::FillTracesTree(int row, int currentId, int parentId, const QString& name, const QString& icon,
                                APPLICATIONINFO* list)
{
    CategoryRow& category = m_categories[row];
    auto* tree = new QTreeWidget;
    category.view = tree;
    tree->setColumnCount(3);
    tree->setHeaderLabels({QStringLiteral("     Name"), QStringLiteral("ParentID"), QStringLiteral("CurrentId")});
    tree->header()->setStyleSheet(QStringLiteral(
        "QHeaderView::section:first{background-color:#ffffff;color:#000000;border: none;Height:22px;font: 14pt "
        "Helvetica Neue;padding-left:5px;}"));
    PrepareView(tree);
    tree->hide();

    auto* root = new APPLICATIONINFO;
    root->name = name;
    root->currentId = currentId;
    root->parentId = parentId;
    root->installed = true;
    root->icon = icon;
    root->treeItem = new QTreeWidgetItem(tree, {name, QString::number(parentId), QString::number(currentId)});
    root->treeItem->setIcon(0, QIcon(icon));
    category.head = category.last = root;

    for (const APPLICATIONINFO* node = list; node; node = node->next) {
        auto* copy = new APPLICATIONINFO;
        copy->name = node->name;
        copy->icon = node->icon;
        copy->parentId = node->parentId;
        copy->currentId = node->currentId;
        copy->installed = node->installed;
        category.last->next = copy;
        category.last = copy;
        for (APPLICATIONINFO* parent = category.head; parent; parent = parent->next) {
            if (parent->currentId != copy->parentId || !parent->treeItem)
                continue;
            auto* child = new QTreeWidgetItem(
                parent->treeItem, {copy->name, QString::number(copy->parentId), QString::number(copy->currentId)});
            child->setIcon(0, QIcon(copy->icon));
            if (!copy->installed) {
                child->setForeground(0, QColor(QStringLiteral("#9f9fb1")));
                child->setFlags(child->flags() & ~Qt::ItemIsEnabled);
            }
            copy->treeItem = child;
        }
    }
    root->treeItem->setExpanded(true);
    new ExpandWithoutSelecting(tree);
    tree->hideColumn(1);
    tree->hideColumn(2);
}

void TracesMain::BuildUnusedPage()
{
    m_driveList = NewLeftList();
    AddPage(UnusedPage, m_driveList, kUnusedTitle);
    for (DISKINFO* disk = KorvaneApp::GetInstance()->diskList; disk; disk = disk->next) {
        if (!disk->listed)
            continue;
        DriveRow row;
        row.item = new QListWidgetItem(QIcon(QStringLiteral(":/images/images/Traces/Drive.png")), disk->mediaName,
                                       m_driveList);
        auto* tree = new QTreeWidget;
        row.view = tree;
        tree->setColumnCount(5);
        tree->setHeaderLabels({QStringLiteral("     Physical Drive"), QStringLiteral("Type"),
                               QStringLiteral("Selected Size "), QStringLiteral("Mount Point"),
                               QStringLiteral("Free Size  ")});
        PrepareView(tree);
        tree->hideColumn(3);
        const int widths[] = {250, 150, 150, 100};
        for (int c = 0; c < 4; ++c)
            tree->setColumnWidth(c, widths[c]);
        tree->headerItem()->setTextAlignment(2, 0x86);
        tree->headerItem()->setTextAlignment(4, 0x86);
        for (PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next) {
            auto* item =
                new QTreeWidgetItem(tree, {volume->volumeName, volume->fileSystem, GetSizeString(volume->totalSize),
                                           volume->mountPoint, GetSizeString(volume->freeSpace)});
            item->setIcon(0, QIcon(QStringLiteral(":/images/images/Traces/Volume_Partition_B.png")));
            item->setTextAlignment(2, 0x86);
            item->setTextAlignment(4, 0x86);
        }
        tree->hide();
        m_drives.append(row);
    }
}

void TracesMain::on_LeftToolBox_currentItemChanged(int index)
{
    on_toolBox_currentChanged(index);
}

void TracesMain::on_toolBox_currentChanged(int index)
{
    HideAllItems();
    for (int i = 0; i < ui->LeftToolBox->count(); ++i)
        ui->LeftToolBox->setItemIcon(i, QIcon(QString::fromLatin1(i == index ? kDownArrow : kRightArrow)));
    SetHeader(ui->LeftToolBox->itemText(index));
    if (index < 0 || index >= m_pageKinds.size())
        return;
    QListWidget* list = m_pageKinds[index] == FilesPage    ? m_volumeList
                        : m_pageKinds[index] == TracesPage ? m_categoryList
                                                           : m_driveList;
    list->clearSelection();
    if (list->count() > 0)
        list->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
}

void TracesMain::HideAllItems()
{
    for (const VolumeRow& row : qAsConst(m_volumes))
        row.view->hide();
    for (const CategoryRow& row : qAsConst(m_categories))
        row.view->hide();
    for (const DriveRow& row : qAsConst(m_drives))
        row.view->hide();
}

void TracesMain::ShowRowView(QListWidget* list)
{
    HideAllItems();
    const int row = list->currentRow();
    if (row < 0)
        return;
    if (list == m_volumeList && row < m_volumes.size())
        m_volumes[row].view->show();
    else if (list == m_categoryList && row < m_categories.size())
        m_categories[row].view->show();
    else if (list == m_driveList && row < m_drives.size())
        m_drives[row].view->show();
}

void TracesMain::selectionChangedfilefolder()
{
    ShowRowView(m_volumeList);
}

void TracesMain::selectionChangedtraces()
{
    ShowRowView(m_categoryList);
}

void TracesMain::selectionChangedUnused()
{
    ShowRowView(m_driveList);
}

void TracesMain::SetHeader(const QString& text)
{
    QString title;
    QString subtitle;
    if (text == kFilesTitle) {
        title = QStringLiteral("Files & Folders");
        subtitle = QStringLiteral("Select the files and folders to erase");
    } else if (text == kTracesTitle) {
        title = QStringLiteral("Traces");
        subtitle = QStringLiteral("Select the items to erase traces");
    } else if (text == kUnusedTitle) {
        title = QStringLiteral("Unused Space");
        subtitle = QStringLiteral("Select the volume to erase unused space");
    }
    ui->label->setText(title);
    ui->label_2->setText(subtitle);
}

void TracesMain::AddAppWipingInfo(APPWIPINGINFO& job)
{
    KorvaneApp::GetInstance()->AddAppWipingInfo(job);
}

void TracesMain::CollectFileJobs()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    for (const VolumeRow& row : qAsConst(m_volumes)) {
        // Each selected row once: two rows with the same number in different folders are
        // different rows, so the whole index is compared.
        QSet<QModelIndex> taken;
        const QModelIndexList selected = row.view->selectionModel()->selectedIndexes();
        for (const QModelIndex& index : selected) {
            if (index.column() != 0 || taken.contains(index))
                continue;
            taken.insert(index);
            const QString path = row.model->filePath(index);
            if (IsProtected(path)) {
                m_protectedChosen.append(path);
                continue;
            }
            app->fileSummaryList.append(path);
            const QFileInfo info(path);
            APPWIPINGINFO job = info.isDir()
                                    ? NewJob(APPWIPINGINFO::Folder, QStringLiteral("Folder & Files"), path, 0)
                                    : NewJob(APPWIPINGINFO::File, QStringLiteral("Folder & Files"), path, info.size());
            AddAppWipingInfo(job);
        }
    }
}

void TracesMain::AddTraceGroupJobs(int id, APPLICATIONINFO* catalog)
{
    const KorvaneApp* app = KorvaneApp::GetInstance();
    const QString category = QStringLiteral("Traces Wiped");
    QQueue<int> worklist;
    QSet<int> seen; // a node that names itself (or an ancestor) as parent must not loop
    worklist.enqueue(id);
    seen.insert(id);
    while (!worklist.isEmpty()) {
        const int current = worklist.head();
        for (const APPLICATIONINFO* node = catalog; node; node = node->next) {
            if (node->currentId == current) {
                const APPLICATIONINFO* record = app->appList;
                while (record && (record->currentId != node->currentId || record->parentId != node->parentId))
                    record = record->next;
                for (const PATHINFO* path = record ? record->pathList : nullptr; path; path = path->next) {
                    if (!path->path.isEmpty()) {
                        APPWIPINGINFO job =
                            path->path.contains(QLatin1Char('*'))
                                ? NewJob(APPWIPINGINFO::Folder, category, path->path.left(path->path.size() - 2), 0)
                                : NewJob(APPWIPINGINFO::File, category, path->path, QFileInfo(path->path).size());
                        AddAppWipingInfo(job);
                    }
                    if (!path->plistPath.isEmpty()) {
                        APPWIPINGINFO job = NewJob(APPWIPINGINFO::Plist, category, QString(), 0);
                        job.plistPath = path->plistPath;
                        AddAppWipingInfo(job);
                    }
                }
            }
            if (node->parentId == current && !seen.contains(node->currentId)) {
                seen.insert(node->currentId);
                worklist.enqueue(node->currentId);
            }
        }
        worklist.dequeue();
    }
}

void TracesMain::CollectTraceJobs()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    for (const CategoryRow& row : qAsConst(m_categories)) {
        const QList<QTreeWidgetItem*> selected = row.view->selectedItems();
        for (const QTreeWidgetItem* item : selected) {
            AddTraceGroupJobs(item->text(2).toInt(), CatalogOf(row.categoryId));
            QStringList names;
            for (const QTreeWidgetItem* up = item; up; up = up->parent())
                names.prepend(up->text(0));
            app->tracesSummaryList.append(names.join(QLatin1Char('/')));
        }
    }
}

void TracesMain::CollectUnusedJobs()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    for (const DriveRow& row : qAsConst(m_drives)) {
        const QList<QTreeWidgetItem*> selected = row.view->selectedItems();
        for (const QTreeWidgetItem* item : selected) {
            APPWIPINGINFO job = NewJob(APPWIPINGINFO::UnusedSpace, QStringLiteral("Unused Space"), item->text(3), 0);
            bool found = false;
            for (const DISKINFO* disk = app->diskList; disk && !found; disk = disk->next) {
                for (const PARTITIONINFO* volume = disk->partitionList; volume; volume = volume->next) {
                    if (volume->mountPoint == item->text(3)) {
                        app->unusedSummaryList.append(disk->mediaName + QLatin1Char('/') + item->text(0));
                        job.itemSize = volume->freeSpace;
                        found = true;
                        break;
                    }
                }
            }
            AddAppWipingInfo(job);
        }
    }
}

void TracesMain::OnClickedNextBtn()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    // The running erasure reads the job list that a new one would rebuild.
    if (app->erasureRunning) {
        MessageBox box(QStringLiteral("Erase"),
                       QStringLiteral("An erasure is running.\nPlease wait until it has completed."),
                       MessageBox::Information, MessageBox::OkOnly, this);
        box.exec();
        return;
    }
    app->FreeErasureSummaryList();
    if (app->wipingInfoList)
        app->FreeWipingInfo();
    m_protectedChosen.clear();
    CollectFileJobs();
    CollectTraceJobs();
    CollectUnusedJobs();

    const bool nothingLeft =
        app->fileSummaryList.isEmpty() && app->unusedSummaryList.isEmpty() && app->tracesSummaryList.isEmpty();
    if (!m_protectedChosen.isEmpty()) {
        // Say which chosen items stay, before anything is confirmed.
        constexpr int kNamed = 5;
        QString text = QStringLiteral("These items lie in protected system locations and will not be erased:");
        for (int i = 0; i < m_protectedChosen.size() && i < kNamed; ++i)
            text += QLatin1Char('\n') + m_protectedChosen.at(i);
        if (m_protectedChosen.size() > kNamed)
            text += QStringLiteral("\nand ") + QString::number(m_protectedChosen.size() - kNamed) +
                    QStringLiteral(" more.");
        MessageBox box(QStringLiteral("Erase"), text, MessageBox::Warning, MessageBox::OkOnly, this);
        box.exec();
        if (nothingLeft)
            return;
    }
    if (nothingLeft) {
        MessageBox box(QStringLiteral("Erase"), QStringLiteral("Select an item to erase."), MessageBox::Information,
                       MessageBox::OkOnly, this);
        box.exec();
        return;
    }

    if (!ConfirmRunningApplications(m_categories, this))
        return;

    auto* summary = new ErasureSummary(this);
    const int result = summary->exec();
    delete summary;
    if (result != 1)
        return;

    delete m_wizard.data();
    m_wizard = new WipingWizard(app->centralArea ? app->centralArea : this);
    connect(m_wizard, &WipingWizard::ErasureFinished, this, &TracesMain::ClearSelections);
    m_wizard->show();
}

void TracesMain::ClearSelections()
{
    for (const VolumeRow& row : qAsConst(m_volumes))
        row.view->clearSelection();
    for (const CategoryRow& row : qAsConst(m_categories))
        row.view->clearSelection();
    for (const DriveRow& row : qAsConst(m_drives))
        row.view->clearSelection();
}

QTreeView* TracesMain::VolumeView(int row) const
{
    return row >= 0 && row < m_volumes.size() ? m_volumes[row].view : nullptr;
}

MyFileSystemModel* TracesMain::VolumeModel(int row) const
{
    return row >= 0 && row < m_volumes.size() ? m_volumes[row].model : nullptr;
}

QTreeWidget* TracesMain::TraceTree(int row) const
{
    return row >= 0 && row < m_categories.size() ? m_categories[row].view : nullptr;
}

QTreeWidget* TracesMain::DriveTree(int row) const
{
    return row >= 0 && row < m_drives.size() ? m_drives[row].view : nullptr;
}
