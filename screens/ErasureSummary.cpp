#include "ErasureSummary.h"

#include "DialogAnswers.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "WindowPlacement.h"
#include "ui_ErasureSummary.h"

#include <QTreeWidgetItem>

ErasureSummary::ErasureSummary(QWidget* parent) : QDialog(parent), ui(new Ui::ErasureSummary)
{
    FramelessBehaviour::Install(this);
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    CentreOnDesktop(this, 50);

    const KorvaneApp* app = KorvaneApp::GetInstance();
    if (app->helpPage != 2) {
        AddGroup(QStringLiteral("Files & Folders"), app->fileSummaryList, true);
        AddGroup(QStringLiteral("Traces"), app->tracesSummaryList, true);
        AddGroup(QStringLiteral("Unused space"), app->unusedSummaryList, true);
    }
    AddGroup(QStringLiteral("Search Result"), app->searchSummaryList, true);
    ui->treeWidget->expandAll();
}

ErasureSummary::~ErasureSummary()
{
    KorvaneApp::GetInstance()->FreeErasureSummaryList();
    delete ui;
}

void ErasureSummary::AddGroup(const QString& title, const QStringList& entries, bool spacer)
{
    if (entries.isEmpty())
        return;
    auto* group = new QTreeWidgetItem(ui->treeWidget, QStringList(title));
    for (const QString& entry : entries)
        new QTreeWidgetItem(group, QStringList(entry));
    if (spacer)
        new QTreeWidgetItem(ui->treeWidget, QStringList(QString()));
}

QStringList ErasureSummary::TreeLines() const
{
    QStringList lines;
    for (int i = 0; i < ui->treeWidget->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ui->treeWidget->topLevelItem(i);
        lines << item->text(0);
        for (int c = 0; c < item->childCount(); ++c)
            lines << QStringLiteral("  ") + item->child(c)->text(0);
    }
    return lines;
}

QList<QStringList>& ErasureSummary::ShownForTests()
{
    static QList<QStringList> shown;
    return shown;
}

int ErasureSummary::exec()
{
    int answer = 0;
    if (!DialogAnswers::Take(QStringLiteral("ErasureSummary"), &answer))
        return QDialog::exec();
    ShownForTests().append(TreeLines());
    setResult(answer);
    return answer;
}

void ErasureSummary::on_pushButton_close_clicked()
{
    done(0);
}

void ErasureSummary::on_next_btn_clicked()
{
    done(1);
}
