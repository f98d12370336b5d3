#include "ErasureSummary.h"

#include "DialogAnswers.h"
#include "FramelessBehaviour.h"
#include "KorvaneApp.h"
#include "MainWipeThread.h"
#include "VolumeReach.h"
#include "WindowPlacement.h"
#include "ui_ErasureSummary.h"

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QTreeWidgetItem>
#include <QVBoxLayout>

namespace {
// Height the dialog grows by when it has something to say about what overwriting cannot reach.
constexpr int kReachNotesHeight = 200;
constexpr int kItemsShown = 5;
} // namespace

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
    AddReachNotes();
}

void ErasureSummary::AddReachNotes()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    const auto probe = CreateVolumeReachProbe(HostPlatform());
    ReachClassifier classifier(*probe);
    classifier.AddJobs(app->wipingInfoList);
    if (classifier.Notices().isEmpty())
        return;
    // Volumes whose unused space is already chosen need no offer.
    QStringList chosenVolumes;
    for (const APPWIPINGINFO* job = app->wipingInfoList; job; job = job->next) {
        if (job->wipeType == APPWIPINGINFO::UnusedSpace)
            chosenVolumes << probe->VolumeKey(job->itemPath);
    }

    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("reach_notes"));
    panel->setStyleSheet(QStringLiteral("QLabel{color: white; font: 11pt \"Helvetica Neue\";}"
                                        "QLabel#reach_items{color: #d6d6e6;}"
                                        "QCheckBox{color: white; font: 11pt \"Helvetica Neue\";}"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 4, 0);
    layout->setSpacing(4);
    for (const ReachNotice& notice : classifier.Notices()) {
        auto* text = new QLabel(ReachNoticeText(notice));
        text->setWordWrap(true);
        layout->addWidget(text);
        m_reachLines << text->text();
        QStringList shown;
        for (int i = 0; i < notice.items.size() && i < kItemsShown; ++i)
            shown << notice.items.at(i);
        if (notice.items.size() > kItemsShown)
            shown << QStringLiteral("... and %1 more").arg(notice.items.size() - kItemsShown);
        for (const QString& item : shown)
            m_reachLines << QStringLiteral("  ") + item;
        auto* items = new QLabel(shown.join(QLatin1Char('\n')));
        items->setObjectName(QStringLiteral("reach_items"));
        items->setTextFormat(Qt::PlainText);
        items->setContentsMargins(16, 0, 0, 4);
        layout->addWidget(items);
        if (notice.concern == ReachConcern::CopyOnWrite &&
            !chosenVolumes.contains(probe->VolumeKey(notice.mountPoint))) {
            // The notice names the volume; the offer sits right under it.
            auto* offer = new QCheckBox(QStringLiteral("Erase this volume's unused space right after the files"));
            offer->setObjectName(QStringLiteral("then_free_space"));
            offer->setProperty("folder", classifier.FillerFolder(notice.mountPoint));
            layout->addWidget(offer);
            m_followUps << offer;
        }
    }
    layout->addStretch();

    auto* area = new QScrollArea;
    area->setObjectName(QStringLiteral("reach_area"));
    area->setWidget(panel);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setFixedHeight(kReachNotesHeight - 10);
    area->setStyleSheet(QStringLiteral("QScrollArea, #reach_notes{background: transparent;}"));
    ui->widget_2->layout()->addWidget(area);
    setFixedSize(width(), height() + kReachNotesHeight);
    CentreOnDesktop(this, 50);
}

void ErasureSummary::AppendChosenFollowUps()
{
    KorvaneApp* app = KorvaneApp::GetInstance();
    for (const QCheckBox* offer : m_followUps) {
        if (!offer->isChecked())
            continue;
        APPWIPINGINFO job;
        job.wipeType = APPWIPINGINFO::UnusedSpace;
        job.algorithm = app->algorithm;
        job.verification = app->verification;
        job.category = QStringLiteral("Unused Space");
        job.itemPath = offer->property("folder").toString();
        job.itemSize = MainWipeThread::SetDriveSpace(job.itemPath);
        app->AddAppWipingInfo(job);
    }
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
    if (answer == 1)
        AppendChosenFollowUps();
    setResult(answer);
    return answer;
}

void ErasureSummary::on_pushButton_close_clicked()
{
    done(0);
}

void ErasureSummary::on_next_btn_clicked()
{
    AppendChosenFollowUps();
    done(1);
}
