// The About window: product version, the operating system and a link to support.
#pragma once

#include <QWidget>

namespace Ui {
class AboutWizard;
}

class AboutWizard : public QWidget
{
    Q_OBJECT

public:
    explicit AboutWizard(QWidget* parent = nullptr);
    ~AboutWizard() override;

private slots:
    void on_m_eula_btn_clicked();
    void on_m_close_btn_clicked();

private:
    Ui::AboutWizard* ui;
};
