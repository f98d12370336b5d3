// The application's only top-level window: a frameless window with its own title bar, the
// home screen's four task tiles and Next, and the selection or search screen that Next opens.
#pragma once

#include "AboutWizard.h"

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QVector>

namespace Ui {
class KorvaneforFileMain;
}
class FramelessBehaviour;
class QMenuBar;
class QPushButton;
class QShortcut;

class KorvaneforFileMain : public QMainWindow
{
    Q_OBJECT

public:
    explicit KorvaneforFileMain(QWidget* parent = nullptr);
    ~KorvaneforFileMain() override;

    // Knob rectangles in their tile: off and on, for the three top tiles and the search tile.
    static QRect KnobRect(bool searchTile, bool on);

    QWidget* SelectionScreen() const { return m_tracesMain; }
    QWidget* SearchScreen() const { return m_searchFileMain; }
    AboutWizard* LastAboutWindow() const { return m_aboutWizard; }
    bool IsNormalSize() const { return m_normalSize; }
    QMenuBar* MenuBar() const { return m_menuBar; }

    void CreateMenuBar();
    void ShowAllItem();
    void HideAllItem();
    void slidermove(bool fileFolders, bool traces, bool unusedSpace, bool search);
    void EnableDisableNextScreen();
    bool IsPointInCaption(const QPoint& point) const;

public slots:
    void filefolderslider(bool checked);
    void systemtracesslider(bool checked);
    void unusedspaceslider(bool checked);
    void searchfileslider(bool checked);
    void openerasingchildwidget();
    void resizemax();
    void openSettingmenu();
    void OnBtnClickedBack();
    void OnBtnClickedFrwd();
    void OnBtnClickedSetting();
    void OnBtnClickedUpdateWizard();
    void OnBtnClickedAboutWizard();
    void OnBtnClickedClose();
    void OnBtnClickedMin();
    void OnBtnClickedHelpWizard();
    void OnOpenMenuHelp();
    void OpenEmailSupport();
    void OpenViewSupport();
    void OpenSubmitEnquiry();
    void OpenKnowledgeBase();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum Tile
    {
        FileFolders,
        Traces,
        UnusedSpace,
        Search,
        TileCount
    };
    struct TileButtons
    {
        QPushButton* track;
        QPushButton* knob;
    };
    TileButtons Buttons(Tile tile) const;
    // Moves the knob (300 ms) and sets both buttons of the tile, without running its slot.
    void SetTile(Tile tile, bool on);
    void OnSlider(Tile tile, bool checked);
    void AddScreen(QWidget* screen);
    // Says that an erasure is running (the search screen's message) and returns true then.
    bool RefusedWhileErasing();
    // Opens a help page or support address; says so when nothing could open it.
    void OpenLink(const QUrl& url, const QString& what);

    Ui::KorvaneforFileMain* ui;
    QPointer<QWidget> m_tracesMain;     // the selection screen (TracesMain), when open
    QPointer<QWidget> m_searchFileMain; // the search screen (SearchFileMain), when open
    QPointer<AboutWizard> m_aboutWizard;
    QMenuBar* m_menuBar = nullptr;
    FramelessBehaviour* m_frameless = nullptr;
    bool m_normalSize = false;
    QVector<QShortcut*> m_homeShortcuts; // Return and Enter press Next on the home screen
};
