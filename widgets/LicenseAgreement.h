// The licence agreement, shown once per machine before the first use. exec() gives 1 when
// the user agrees and 0 when not; the answer is stored either way.
#pragma once

#include <QDialog>

namespace Ui {
class LicenseAgreement;
}

class LicenseAgreement : public QDialog
{
    Q_OBJECT

public:
    explicit LicenseAgreement(QWidget* parent = nullptr);
    ~LicenseAgreement() override;

    // True when the agreement was accepted before, or is accepted now in the dialog.
    static bool EnsureAccepted();

private slots:
    void on_Agree_Btn_clicked();
    void on_Disagree_Btn_clicked();

private:
    Ui::LicenseAgreement* ui;
};
