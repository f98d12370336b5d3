// Times SearchThread over a folder: from start until the last match has been delivered to
// the main thread through its queued signal, and the longest gap between the ticks of a
// 5 ms timer on the main thread meanwhile. Prints "matches=N ms=T stall_ms=S".
#include "SearchPatterns.h"
#include "SearchThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: " << argv[0] << " FOLDER PATTERNS\n";
        return 2;
    }
    SearchThread thread;
    thread.location = QString::fromLocal8Bit(argv[1]);
    thread.patterns = SplitSearchPatterns(QString::fromLocal8Bit(argv[2]));

    qint64 matches = 0;
    QObject::connect(&thread, &SearchThread::SearchingString, &app, [&](const QString&) { ++matches; });

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.elapsed();
        longestStall = qMax(longestStall, now - lastTick);
        lastTick = now;
    });
    QObject::connect(&thread, &SearchThread::SearchingComplete, &app, [&] {
        const qint64 elapsed = clock.elapsed();
        longestStall = qMax(longestStall, elapsed - lastTick);
        thread.wait();
        QTextStream(stdout) << "matches=" << matches << " ms=" << elapsed << " stall_ms=" << longestStall << "\n";
        app.quit();
    });

    clock.start();
    ticker.start(5);
    thread.start();
    return app.exec();
}
