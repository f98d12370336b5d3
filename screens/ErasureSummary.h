// The confirmation before an erasure: what is about to be destroyed, grouped by kind, from
// the summary lists of the application state. exec() returns 1 only on "Confirm Erase".
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

class QCheckBox;

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
    // What overwriting cannot reach for the chosen items, as shown below the tree: each
    // notice's text followed by its items indented by two blanks; empty when all is reachable.
    QStringList ReachLines() const { return m_reachLines; }

private slots:
    void on_pushButton_close_clicked();
    void on_next_btn_clicked();

private:
    void AddGroup(const QString& title, const QStringList& entries, bool spacer);
    // The notices about what overwriting cannot reach, and on a copy-on-write volume the
    // offer to erase its unused space right after the chosen files.
    void AddReachNotes();
    // Appends an unused-space job for each offered volume the user ticked.
    void AppendChosenFollowUps();

    QStringList m_reachLines;
    QList<QCheckBox*> m_followUps;

    Ui::ErasureSummary* ui;
};
