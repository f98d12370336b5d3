// Defers the selection screen's page building to the event loop: its run only signals.
#pragma once

#include <QThread>

class TracesThread : public QThread
{
    Q_OBJECT

public:
    using QThread::QThread;

signals:
    void TracesCreated();

protected:
    void run() override { emit TracesCreated(); }
};
