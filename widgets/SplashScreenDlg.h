// The splash window: shows the start-up animation while SplashThread builds the application
// state, then hides itself and opens the main window.
#pragma once

#include <QDialog>

#include <functional>

namespace Ui {
class SplashScreenDlg;
}
class QMovie;
class SplashThread;

class SplashScreenDlg : public QDialog
{
    Q_OBJECT

public:
    // Creates the main window once start-up is done (the screens library provides it).
    using MainWindowFactory = std::function<QWidget*()>;
    static void SetMainWindowFactory(MainWindowFactory factory);

    explicit SplashScreenDlg(QWidget* parent = nullptr);
    ~SplashScreenDlg() override;

    void SplashInit();
    SplashThread* Thread() const { return m_thread; }
    QMovie* Movie() const { return m_movie; }

public slots:
    void SplashThreadComplete();

private:
    SplashThread* m_thread;
    QMovie* m_movie;
    Ui::SplashScreenDlg* ui;
};
