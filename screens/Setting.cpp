#include "Setting.h"

#include "AlgorithmTable.h"
#include "DirectoryDialog.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "WindowPlacement.h"
#include "ui_Setting.h"

#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

QStringList Setting::AlgorithmTexts()
{
    QStringList texts;
    for (int i = 0; i < kAlgorithmCount; ++i)
        texts << AlgorithmMenuName(i);
    return texts;
}

QStringList Setting::VerificationTexts()
{
    QStringList texts;
    for (int i = 0; i < kVerificationCount; ++i)
        texts << VerificationMenuName(i);
    return texts;
}

Setting::Setting(QWidget* parent) : QWidget(parent), ui(new Ui::Setting)
{
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);

    ui->m_Algo_comboBox->addItems(AlgorithmTexts());
    ui->m_Verification_comboBox->addItems(VerificationTexts());

    const KorvaneApp* app = KorvaneApp::GetInstance();
    ui->LogPath_textEdit->setPlainText(app->logPath);
    ui->CertificatePath_textEdit->setPlainText(app->certificatePath);
    ui->m_Algo_comboBox->setCurrentIndex(app->algorithm);
    ui->m_Verification_comboBox->setCurrentIndex(app->verification);
    WidenToContents();
    CentreOnDesktop(this, 200);
}

void Setting::WidenToContents()
{
    // The designed width cuts the longer algorithm names and most paths: the value column
    // grows until they show, as far as the screen allows. Paths still too long show their end.
    ensurePolished();
    for (QWidget* widget : findChildren<QWidget*>())
        widget->ensurePolished();
    const int designedColumn = ui->m_Algo_comboBox->width();
    const QFontMetrics comboMetrics(ui->m_Algo_comboBox->font());
    int column = designedColumn;
    for (int i = 0; i < ui->m_Algo_comboBox->count(); ++i)
        column = qMax(column, comboMetrics.horizontalAdvance(ui->m_Algo_comboBox->itemText(i)) + 48);
    const int pathSpare = designedColumn - ui->LogPath_textEdit->width(); // the Browse button's room
    for (QTextEdit* edit : {ui->LogPath_textEdit, ui->CertificatePath_textEdit}) {
        const QFontMetrics metrics(edit->font());
        column = qMax(column, metrics.horizontalAdvance(edit->toPlainText()) + 16 + pathSpare);
        edit->setToolTip(edit->toPlainText());
    }
    const int extra = qBound(0, column - designedColumn, AvailableArea(this).width() - width());
    if (extra > 0) {
        setFixedSize(width() + extra, height());
        for (QWidget* widget :
             {ui->header_widget, ui->central_widget, ui->footer_widget, static_cast<QWidget*>(ui->Setting_GroupBox),
              static_cast<QWidget*>(ui->m_Algo_comboBox), static_cast<QWidget*>(ui->m_Verification_comboBox),
              static_cast<QWidget*>(ui->LogPath_textEdit), static_cast<QWidget*>(ui->CertificatePath_textEdit)})
            widget->resize(widget->width() + extra, widget->height());
        for (QWidget* widget : {static_cast<QWidget*>(ui->Log_Browse_Btn),
                                static_cast<QWidget*>(ui->Certificate_Browse_Btn), static_cast<QWidget*>(ui->ok_btn)})
            widget->move(widget->x() + extra, widget->y());
        for (QWidget* widget :
             {static_cast<QWidget*>(ui->Application_logo), static_cast<QWidget*>(ui->Application_name_lbl)})
            widget->move(widget->x() + extra / 2, widget->y());
    }
    QTimer::singleShot(0, this, [this] {
        for (QTextEdit* edit : {ui->LogPath_textEdit, ui->CertificatePath_textEdit})
            edit->horizontalScrollBar()->setValue(edit->horizontalScrollBar()->maximum());
    });
}

Setting::~Setting()
{
    delete ui;
}

void Setting::Save()
{
    close();
    KorvaneApp* app = KorvaneApp::GetInstance();
    app->algorithm = ui->m_Algo_comboBox->currentIndex();
    app->verification = ui->m_Verification_comboBox->currentIndex();
    app->logPath = ui->LogPath_textEdit->toPlainText();
    app->certificatePath = ui->CertificatePath_textEdit->toPlainText();
    app->InitSettings(true);
}

void Setting::on_ok_btn_clicked()
{
    Save();
}

void Setting::on_pushButton_close_clicked()
{
    Save();
}

void Setting::Browse(QWidget* button, QTextEdit* target)
{
    button->setEnabled(false);
    const QString folder = GetExistingDirectory(this, tr("Open Directory"), QStringLiteral("/home"),
                                                QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (!folder.isEmpty())
        target->setPlainText(folder);
    button->setEnabled(true);
}

void Setting::on_Log_Browse_Btn_clicked()
{
    Browse(ui->Log_Browse_Btn, ui->LogPath_textEdit);
}

void Setting::on_Certificate_Browse_Btn_clicked()
{
    Browse(ui->Certificate_Browse_Btn, ui->CertificatePath_textEdit);
}
