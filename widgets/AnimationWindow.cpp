#include "AnimationWindow.h"

#include "FramelessBehaviour.h"
#include "WindowPlacement.h"
#include "ui_AnimationWindow.h"

#include <QMovie>

AnimationWindow::AnimationWindow(bool showText, QWidget* parent) : QWidget(parent), ui(new Ui::AnimationWindow)
{
    FramelessBehaviour::Install(this, FramelessBehaviour::NoDragging);
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->label->setVisible(showText);
    CentreOnDesktop(this);

    m_movie = new QMovie(QStringLiteral(":/images/images/ProcessImage/SearchScan.gif"), QByteArray(), this);
    ui->image_lbl->setMovie(m_movie);
    m_movie->start();
}

AnimationWindow::~AnimationWindow()
{
    delete ui;
}
