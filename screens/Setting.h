// The settings window: overwrite algorithm, verification mode and the folders for erasure
// logs and certificates. OK and the close button both store the values and save them.
#pragma once

#include <QStringList>
#include <QWidget>

namespace Ui {
class Setting;
}

class Setting : public QWidget
{
    Q_OBJECT

public:
    explicit Setting(QWidget* parent = nullptr);
    ~Setting() override;

    // The combo boxes' texts; the index is the stored value.
    static QStringList AlgorithmTexts();
    static QStringList VerificationTexts();

private slots:
    void on_ok_btn_clicked();
    void on_Log_Browse_Btn_clicked();
    void on_Certificate_Browse_Btn_clicked();
    void on_pushButton_close_clicked();

private:
    void Save();
    void WidenToContents();
    void Browse(QWidget* button, class QTextEdit* target);

    Ui::Setting* ui;
};
