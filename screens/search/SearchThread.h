// Walks the search folder on its own thread and reports every file whose name matches one
// of the patterns: one SearchingString per match, then SearchingComplete.
#pragma once

#include <QStringList>
#include <QThread>

#include <atomic>

class SearchThread : public QThread
{
    Q_OBJECT

public:
    explicit SearchThread(QObject* parent = nullptr) : QThread(parent) {}

    // Set before start(); run() only reads them.
    QString location;
    QStringList patterns;
    // Written by the GUI thread, read by the walk before every entry.
    std::atomic<bool> stopRequested{false};

signals:
    void SearchingString(QString path);
    void SearchingComplete();

protected:
    void run() override;
};
