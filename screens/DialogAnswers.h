// Test hook of the confirmation and restart dialogs: a queued answer is returned by exec()
// at once instead of running the dialog, so widget tests never block on a modal window.
#pragma once

#include <QHash>
#include <QQueue>
#include <QString>

class DialogAnswers
{
public:
    // Queues the result of the next run of the dialog class `dialog`.
    static void Queue(const QString& dialog, int answer) { Answers()[dialog].enqueue(answer); }
    // Takes the next queued answer of `dialog`; false when none is queued.
    static bool Take(const QString& dialog, int* answer)
    {
        QQueue<int>& queue = Answers()[dialog];
        if (queue.isEmpty())
            return false;
        *answer = queue.dequeue();
        return true;
    }
    static void Clear() { Answers().clear(); }

private:
    static QHash<QString, QQueue<int>>& Answers()
    {
        static QHash<QString, QQueue<int>> answers;
        return answers;
    }
};
