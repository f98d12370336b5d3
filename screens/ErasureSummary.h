// The confirmation before an erasure: what is about to be destroyed, grouped by kind, from
// the summary lists of the application state. exec() returns 1 only on "Confirm Erase".
#pragma once

#include <QDialog>
#include <QStringList>

namespace Ui {
class ErasureSummary;
}

class ErasureSummary : public QDialog
{
    Q_OBJECT

public:
    explicit ErasureSummary(QWidget* parent);
    // Empties the four summary lists, whatever the answer.
    ~ErasureSummary() override;

    // Runs the dialog modally; a queued test answer (DialogAnswers, "ErasureSummary") is
    // returned at once instead, after the shown lines were recorded in ShownForTests().
    int exec() override;

    // The tree as lines: a group's title, its children indented by two blanks, "" for a spacer.
    QStringList TreeLines() const;
    // The lines of every dialog answered through the test hook, oldest first.
    static QList<QStringList>& ShownForTests();

private slots:
    void on_pushButton_close_clicked();
    void on_next_btn_clicked();

private:
    void AddGroup(const QString& title, const QStringList& entries, bool spacer);

    Ui::ErasureSummary* ui;
};
