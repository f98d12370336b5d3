// The busy animation shown while a screen fills its lists, with an optional "Please Wait".
#pragma once

#include <QWidget>

namespace Ui {
class AnimationWindow;
}
class QMovie;

class AnimationWindow : public QWidget
{
    Q_OBJECT

public:
    explicit AnimationWindow(bool showText, QWidget* parent = nullptr);
    ~AnimationWindow() override;

    QMovie* Movie() const { return m_movie; }

private:
    QMovie* m_movie;
    Ui::AnimationWindow* ui;
};
