#include "SplashScreenDlg.h"

#include "FramelessBehaviour.h"
#include "SplashThread.h"
#include "WindowPlacement.h"
#include "ui_SplashScreenDlg.h"

#include <QMovie>

namespace {
SplashScreenDlg::MainWindowFactory& Factory()
{
    static SplashScreenDlg::MainWindowFactory factory;
    return factory;
}
} // namespace

void SplashScreenDlg::SetMainWindowFactory(MainWindowFactory factory)
{
    Factory() = std::move(factory);
}

SplashScreenDlg::SplashScreenDlg(QWidget* parent) : QDialog(parent), ui(new Ui::SplashScreenDlg)
{
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint);
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    setWindowOpacity(0.85);
    CentreOnDesktop(this);

    m_thread = new SplashThread(this);
    m_movie = new QMovie(QStringLiteral(":/images/images/ProcessImage/img_InitProgress.gif"), QByteArray(), this);
    ui->movie_lbl->setMovie(m_movie);
    connect(m_thread, &SplashThread::EndSplashScreen, this, &SplashScreenDlg::SplashThreadComplete);
}

SplashScreenDlg::~SplashScreenDlg()
{
    m_thread->wait();
    delete ui;
}

void SplashScreenDlg::SplashInit()
{
    m_movie->start();
    m_thread->start(QThread::InheritPriority);
}

void SplashScreenDlg::SplashThreadComplete()
{
    m_movie->stop();
    // The signal is the thread's last act: wait for it to end rather than cut it short.
    m_thread->wait();
    hide();
    if (Factory()) {
        QWidget* mainWindow = Factory()();
        if (mainWindow) {
            mainWindow->raise();
            mainWindow->show();
        }
    }
}
