#include "KorvaneforFileMain.h"

#include "AboutWizard.h"
#include "ErasureLog.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "MessageBox.h"
#include "ScreenHooks.h"
#include "Setting.h"
#include "ShellRunner.h"
#include "SupportLinks.h"
#include "WindowPlacement.h"
#include "ui_KorvaneforFileMain.h"

#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QShortcut>

namespace {
#ifdef Q_OS_MACOS
constexpr bool kGlobalMenuBar = true;
#else
constexpr bool kGlobalMenuBar = false;
#endif
const int kNormalWidth = 960;
const int kNormalHeight = 650;

// min-width rather than width: the Linux menu also holds the longer help and support items.
const char kSettingsMenuStyle[] = "QMenu {background-color:#4E4E60;color:#B6B6B6;min-width:120px;}"
                                  "QMenu::item {background-color:#4E4E60;color:#B6B6B6;}"
                                  "QMenu::item:selected {background-color:#4E4E60;color:#FFFFFF;}"
                                  "QMenu::item:disabled{background-color:#4E4E60;color:#7D7D84;}";
} // namespace

QRect KorvaneforFileMain::KnobRect(bool searchTile, bool on)
{
    return QRect(on ? 112 : 54, searchTile ? 86 : 115, 63, 63);
}

KorvaneforFileMain::KorvaneforFileMain(QWidget* parent) : QMainWindow(parent), ui(new Ui::KorvaneforFileMain)
{
    // Frameless, dragged from anywhere in the normal-size caption; no key acts.
    m_frameless =
        FramelessBehaviour::Install(this, FramelessBehaviour::DragArea, QRect(0, 0, kNormalWidth, kNormalHeight));
    ui->setupUi(this);
    ui->pushButton_back->hide();
    ui->pushButton_frwrd->hide();
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->helpPage = 0;
    app->mainWindow = this;
    app->centralArea = ui->central_window_widget;

    // On a screen smaller than the window's normal size (a laptop at 200 %), the content
    // scrolls below the title bar instead of being cut off.
    auto* scroll = new QScrollArea(ui->centralwidget);
    scroll->setObjectName(QStringLiteral("central_scroll_area"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setStyleSheet(QStringLiteral("QScrollArea{background-color: rgb(96, 96, 109);}"));
    delete ui->centralwidget->layout()->replaceWidget(ui->central_window_widget, scroll); // the old item is ours
    scroll->setWidget(ui->central_window_widget);

    // Keyboard: Tab goes through the tiles to Next, Space toggles the tile with the focus,
    // Return presses Next on the home screen; Ctrl+Q quits and F1 opens the help.
    QWidget::setTabOrder(ui->file_folder_slider_btn, ui->unused_space_slider_btn);
    QWidget::setTabOrder(ui->unused_space_slider_btn, ui->system_traces_slider_btn);
    QWidget::setTabOrder(ui->system_traces_slider_btn, ui->search_file_slider_btn);
    QWidget::setTabOrder(ui->search_file_slider_btn, ui->next_btn);
    for (QKeySequence key : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto* next = new QShortcut(key, this);
        connect(next, &QShortcut::activated, this, [this] {
            if (ui->footer_widget->isVisible() && ui->next_btn->isEnabled())
                ui->next_btn->click();
        });
        m_homeShortcuts.append(next);
    }
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this), &QShortcut::activated, this,
            &KorvaneforFileMain::close);
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &KorvaneforFileMain::OnBtnClickedHelpWizard);
    ui->file_folder_slider_btn->setFocus();

    CreateMenuBar();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    m_normalSize = false;
    resizemax();

    if (app->checkUpdate && Screens().startUpdateCheck)
        Screens().startUpdateCheck(this);

    app->settingsButton = ui->pushButton_setting;
    app->backButton = ui->pushButton_back;
    app->forwardButton = ui->pushButton_frwrd;
    app->closeButton = ui->pushButton_close;
    app->maximizeButton = ui->pushButton_max;
    app->minimizeButton = ui->pushButton_min;

    connect(ui->pushButton_max, &QPushButton::clicked, this, &KorvaneforFileMain::resizemax);
    connect(ui->pushButton_min, &QPushButton::clicked, this, &KorvaneforFileMain::OnBtnClickedMin);
    connect(ui->pushButton_close, &QPushButton::clicked, this, &KorvaneforFileMain::OnBtnClickedClose);
    connect(ui->file_folder_slider_btn, &QPushButton::clicked, this, &KorvaneforFileMain::filefolderslider);
    connect(ui->on_off_btn_1, &QPushButton::clicked, this, &KorvaneforFileMain::filefolderslider);
    connect(ui->system_traces_slider_btn, &QPushButton::clicked, this, &KorvaneforFileMain::systemtracesslider);
    connect(ui->on_off_btn_2, &QPushButton::clicked, this, &KorvaneforFileMain::systemtracesslider);
    connect(ui->unused_space_slider_btn, &QPushButton::clicked, this, &KorvaneforFileMain::unusedspaceslider);
    connect(ui->on_off_btn_3, &QPushButton::clicked, this, &KorvaneforFileMain::unusedspaceslider);
    connect(ui->search_file_slider_btn, &QPushButton::clicked, this, &KorvaneforFileMain::searchfileslider);
    connect(ui->on_off_btn_4, &QPushButton::clicked, this, &KorvaneforFileMain::searchfileslider);
    connect(ui->next_btn, &QPushButton::clicked, this, &KorvaneforFileMain::openerasingchildwidget);
    connect(ui->pushButton_setting, &QPushButton::clicked, this, &KorvaneforFileMain::openSettingmenu);
    connect(ui->pushButton_back, &QPushButton::clicked, this, &KorvaneforFileMain::OnBtnClickedBack);
    connect(ui->pushButton_frwrd, &QPushButton::clicked, this, &KorvaneforFileMain::OnBtnClickedFrwd);
    connect(ui->pushButton_help, &QPushButton::clicked, this, &KorvaneforFileMain::OnBtnClickedHelpWizard);
}

KorvaneforFileMain::~KorvaneforFileMain()
{
    delete m_tracesMain;
    delete m_searchFileMain;
    delete m_aboutWizard;
    delete m_menuBar;
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->mainWindow == this) {
        app->mainWindow = nullptr;
        app->centralArea = nullptr;
        app->settingsButton = app->backButton = app->forwardButton = nullptr;
        app->closeButton = app->maximizeButton = app->minimizeButton = nullptr;
    }
    delete ui;
}

void KorvaneforFileMain::CreateMenuBar()
{
    // Without a parent this is the application's global menu bar on macOS.
    m_menuBar = new QMenuBar(nullptr);
    QMenu* appMenu = m_menuBar->addMenu(QStringLiteral("Korvane File Eraser"));
    QMenu* helpMenu = m_menuBar->addMenu(QStringLiteral("Help"));
    auto addItem = [this](QMenu* menu, const QString& text, void (KorvaneforFileMain::*slot)()) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, slot);
        menu->addAction(action);
    };
    addItem(appMenu, QStringLiteral("About Korvane File Eraser"), &KorvaneforFileMain::OnBtnClickedAboutWizard);
    addItem(helpMenu, QStringLiteral("Help Topics"), &KorvaneforFileMain::OnOpenMenuHelp);
    addItem(helpMenu, QStringLiteral("Email to Quillon Support"), &KorvaneforFileMain::OpenEmailSupport);
    addItem(helpMenu, QStringLiteral("View Support Section"), &KorvaneforFileMain::OpenViewSupport);
    addItem(helpMenu, QStringLiteral("Submit Enquiry"), &KorvaneforFileMain::OpenSubmitEnquiry);
    addItem(helpMenu, QStringLiteral("View Knowledgebase Articles"), &KorvaneforFileMain::OpenKnowledgeBase);
}

KorvaneforFileMain::TileButtons KorvaneforFileMain::Buttons(Tile tile) const
{
    switch (tile) {
    case FileFolders:
        return {ui->file_folder_slider_btn, ui->on_off_btn_1};
    case Traces:
        return {ui->system_traces_slider_btn, ui->on_off_btn_2};
    case UnusedSpace:
        return {ui->unused_space_slider_btn, ui->on_off_btn_3};
    default:
        return {ui->search_file_slider_btn, ui->on_off_btn_4};
    }
}

void KorvaneforFileMain::SetTile(Tile tile, bool on)
{
    const TileButtons buttons = Buttons(tile);
    auto* animation = new QPropertyAnimation(buttons.knob, "geometry", this);
    animation->setDuration(300);
    animation->setStartValue(KnobRect(tile == Search, !on));
    animation->setEndValue(KnobRect(tile == Search, on));
    animation->start(QAbstractAnimation::DeleteWhenStopped);
    buttons.knob->setChecked(on);
    buttons.track->setChecked(on);
}

void KorvaneforFileMain::OnSlider(Tile tile, bool checked)
{
    SetTile(tile, checked);
    slidermove(tile == FileFolders, tile == Traces, tile == UnusedSpace, tile == Search);
    EnableDisableNextScreen();
}

void KorvaneforFileMain::filefolderslider(bool checked)
{
    OnSlider(FileFolders, checked);
}

void KorvaneforFileMain::systemtracesslider(bool checked)
{
    OnSlider(Traces, checked);
}

void KorvaneforFileMain::unusedspaceslider(bool checked)
{
    OnSlider(UnusedSpace, checked);
}

void KorvaneforFileMain::searchfileslider(bool checked)
{
    OnSlider(Search, checked);
}

void KorvaneforFileMain::slidermove(bool fileFolders, bool traces, bool unusedSpace, bool search)
{
    const bool topOn[] = {ui->file_folder_slider_btn->isChecked(), ui->system_traces_slider_btn->isChecked(),
                          ui->unused_space_slider_btn->isChecked()};
    const Tile topTiles[] = {FileFolders, Traces, UnusedSpace};
    const bool anyTopOn = topOn[0] || topOn[1] || topOn[2];
    const bool searchOn = ui->search_file_slider_btn->isChecked();

    // The search tile is never on with a top tile, and the four are never all off.
    if (fileFolders || traces || unusedSpace) {
        if (anyTopOn && searchOn)
            SetTile(Search, false);
        else if (!anyTopOn && !searchOn)
            SetTile(Search, true);
    }
    if (search) {
        for (int i = 0; i < 3; ++i) {
            if (topOn[i] == searchOn)
                SetTile(topTiles[i], !searchOn);
        }
    }
}

void KorvaneforFileMain::EnableDisableNextScreen()
{
    ui->next_btn->setEnabled(ui->file_folder_slider_btn->isChecked() || ui->system_traces_slider_btn->isChecked() ||
                             ui->unused_space_slider_btn->isChecked() || ui->search_file_slider_btn->isChecked());
}

void KorvaneforFileMain::HideAllItem()
{
    for (QShortcut* shortcut : qAsConst(m_homeShortcuts))
        shortcut->setEnabled(false);
    ui->header_widget->hide();
    ui->traces_widget->hide();
    ui->line_lbl->hide();
    ui->search_file_widget->hide();
    ui->footer_widget->hide();
}

void KorvaneforFileMain::ShowAllItem()
{
    for (QShortcut* shortcut : qAsConst(m_homeShortcuts))
        shortcut->setEnabled(true);
    ui->header_widget->show();
    ui->traces_widget->show();
    ui->line_lbl->show();
    ui->search_file_widget->show();
    ui->footer_widget->show();
}

void KorvaneforFileMain::AddScreen(QWidget* screen)
{
    ui->central_window_widget->layout()->addWidget(screen);
    screen->show();
}

void KorvaneforFileMain::openerasingchildwidget()
{
    HideAllItem();
    ui->pushButton_back->show();
    ui->pushButton_frwrd->show();

    const bool files = ui->file_folder_slider_btn->isChecked();
    const bool traces = ui->system_traces_slider_btn->isChecked();
    const bool unusedSpace = ui->unused_space_slider_btn->isChecked();
    const bool search = ui->search_file_slider_btn->isChecked();
    KorvaneApp* app = KorvaneApp::GetInstance();

    if (!search && (files || traces || unusedSpace)) {
        if (m_tracesMain)
            return;
        if (Screens().createSelectionScreen)
            m_tracesMain = Screens().createSelectionScreen(files, traces, unusedSpace, ui->central_window_widget);
        if (m_tracesMain) {
            AddScreen(m_tracesMain);
            app->searchMode = false;
            return;
        }
    } else {
        if (m_searchFileMain)
            return;
        if (Screens().createSearchScreen)
            m_searchFileMain = Screens().createSearchScreen(ui->central_window_widget);
        if (m_searchFileMain) {
            AddScreen(m_searchFileMain);
            app->searchMode = true;
            return;
        }
    }
    // No screen to open: stay on the home screen.
    ui->pushButton_back->hide();
    ui->pushButton_frwrd->hide();
    ShowAllItem();
}

void KorvaneforFileMain::OnBtnClickedBack()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->searchRunning)
        return;
    if (RefusedWhileErasing())
        return; // the screen holds the running erasure's window
    delete m_tracesMain;
    if (m_searchFileMain && Screens().searchBack && Screens().searchBack(m_searchFileMain))
        return; // from the result page back to the search criteria
    delete m_searchFileMain;
    app->helpPage = 0;
    ui->pushButton_back->hide();
    ui->pushButton_frwrd->hide();
    ShowAllItem();
}

void KorvaneforFileMain::OnBtnClickedFrwd()
{
    if (KorvaneApp::GetInstance()->searchRunning)
        return;
    if (m_tracesMain && Screens().selectionForward)
        Screens().selectionForward(m_tracesMain);
    else if (m_searchFileMain && Screens().searchForward)
        Screens().searchForward(m_searchFileMain);
}

void KorvaneforFileMain::resizemax()
{
    showNormal();
    // Both sizes stay within the screen's available area (the whole desktop less panels), so
    // the title bar and Next are never off screen, whatever the scale.
    const QRect desktop = DesktopGeometry();
    const QRect area = AvailableArea(this);
    const QSize normal = QSize(kNormalWidth, kNormalHeight).boundedTo(area.size());
    setMinimumSize(normal);
    if (m_normalSize) {
        resize(QSize(desktop.width(), desktop.height() - 90).boundedTo(area.size()));
        move(area.topLeft());
        m_normalSize = false;
    } else {
        resize(normal);
        move(area.left() + (area.width() - normal.width()) / 2, area.top() + (area.height() - normal.height()) / 2);
        m_normalSize = true;
    }
}

bool KorvaneforFileMain::RefusedWhileErasing()
{
    if (!KorvaneApp::GetInstance()->erasureRunning)
        return false;
    MessageBox box(QStringLiteral("Erase"),
                   QStringLiteral("An erasure is running.\nPlease wait until it has completed."),
                   MessageBox::Information, MessageBox::OkOnly, this);
    box.exec();
    return true;
}

void KorvaneforFileMain::OpenLink(const QUrl& url, const QString& what)
{
    const bool mail = url.scheme() == QLatin1String("mailto");
    QString problem;
    if (url.isEmpty() || (mail && url.path().isEmpty()))
        problem = QStringLiteral("The address of ") + what + QStringLiteral(" is not set in this installation.");
    else if (!SupportLinks::Open(url))
        problem =
            (mail ? QStringLiteral("No mail program could be started.\nWrite to: ") + url.path()
                  : QStringLiteral("No web browser could be started.\nOpen this address yourself:\n") + url.toString());
    if (problem.isEmpty())
        return;
    MessageBox box(QStringLiteral("Help"), problem, MessageBox::Information, MessageBox::OkOnly, this);
    box.exec();
}

bool KorvaneforFileMain::IsPointInCaption(const QPoint& point) const
{
    return m_frameless->InDragArea(point);
}

void KorvaneforFileMain::openSettingmenu()
{
    if (KorvaneApp::GetInstance()->searchRunning)
        return;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("settings_menu"));
    menu.setFont(QFont(QStringLiteral("Helvetica Neue"), 12));
    menu.setStyleSheet(QLatin1String(kSettingsMenuStyle));
    menu.addAction(QStringLiteral("Settings"), this, &KorvaneforFileMain::OnBtnClickedSetting);
    menu.addSeparator();
    menu.addAction(QStringLiteral("Update"), this, &KorvaneforFileMain::OnBtnClickedUpdateWizard);
    menu.addSeparator();
    // After an unused-space erasure, let the device drop the freed blocks (flash, thin storage).
    menu.setStyleSheet(menu.styleSheet() + QStringLiteral("QMenu{width:220px;}")); // room for this longer item
    QAction* discard = menu.addAction(QStringLiteral("Discard unused space"));
    discard->setObjectName(QStringLiteral("discard_action"));
    discard->setCheckable(true);
    discard->setChecked(KorvaneApp::GetInstance()->discardAfterFill);
    connect(discard, &QAction::toggled, this, [](bool on) {
        KorvaneApp::GetInstance()->discardAfterFill = on;
        KorvaneApp::GetInstance()->InitSettings(true);
    });
    if (!kGlobalMenuBar) {
        // Without a global menu bar, every item of its Help menu and the About window are
        // reached from here.
        menu.addSeparator();
        for (QAction* action : m_menuBar->actions()) {
            if (action->menu() && action->text() == QLatin1String("Help"))
                menu.addActions(action->menu()->actions());
        }
        menu.addAction(QStringLiteral("About"), this, &KorvaneforFileMain::OnBtnClickedAboutWizard);
    }
    menu.exec(ui->pushButton_setting->mapToGlobal(QPoint(0, 0)) + QPoint(0, 30));
}

void KorvaneforFileMain::OnBtnClickedSetting()
{
    if (KorvaneApp::GetInstance()->searchRunning)
        return;
    // The running erasure writes to the log folder it started with.
    if (RefusedWhileErasing())
        return;
    auto* setting = new Setting(this);
    setting->show();
}

void KorvaneforFileMain::OnBtnClickedUpdateWizard()
{
    if (KorvaneApp::GetInstance()->searchRunning)
        return;
    if (Screens().openUpdateWizard)
        Screens().openUpdateWizard(this);
}

void KorvaneforFileMain::OnBtnClickedAboutWizard()
{
    m_aboutWizard = new AboutWizard(this);
    m_aboutWizard->setAttribute(Qt::WA_DeleteOnClose);
    m_aboutWizard->show();
}

void KorvaneforFileMain::OnBtnClickedClose()
{
    close();
}

void KorvaneforFileMain::OnBtnClickedMin()
{
    setWindowState(Qt::WindowMinimized);
}

void KorvaneforFileMain::OnBtnClickedHelpWizard()
{
    OpenLink(SupportLinks::HelpPage(KorvaneApp::GetInstance()->helpPage), QStringLiteral("the help"));
}

void KorvaneforFileMain::OnOpenMenuHelp()
{
    OpenLink(SupportLinks::HelpTopics(), QStringLiteral("the help"));
}

void KorvaneforFileMain::OpenEmailSupport()
{
    OpenLink(SupportLinks::SupportMail(), QStringLiteral("the support mail"));
}

void KorvaneforFileMain::OpenViewSupport()
{
    OpenLink(SupportLinks::SupportView(), QStringLiteral("the support section"));
}

void KorvaneforFileMain::OpenSubmitEnquiry()
{
    OpenLink(SupportLinks::SubmitEnquiry(), QStringLiteral("the enquiry form"));
}

void KorvaneforFileMain::OpenKnowledgeBase()
{
    OpenLink(SupportLinks::KnowledgeBase(), QStringLiteral("the knowledgebase"));
}

void KorvaneforFileMain::closeEvent(QCloseEvent* event)
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->searchRunning || app->erasureRunning) {
        MessageBox box(QStringLiteral("Exit"),
                       QStringLiteral("Application running !!\nPlease halt the current process to exit. "),
                       MessageBox::Information, MessageBox::OkOnly, this);
        box.exec();
        event->ignore();
        return;
    }
    if (app->exitCount != 0) {
        event->accept();
        return;
    }
    MessageBox box(QStringLiteral("Exit"), QStringLiteral("Are you sure you want to exit application? "),
                   MessageBox::Information, MessageBox::YesNo, this);
    if (box.exec() != MessageBox::Yes) {
        event->ignore();
        return;
    }
    app->CreateLogLines(ErasureLog::EndBlock(KorvaneApp::Now()));
    app->FreeMemory();
    SystemCmd(QStringLiteral("rm -r -f ") + ShellQuote(app->infoFilePath));
    event->accept();
    ++app->exitCount;
}
