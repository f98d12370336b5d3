// Times the search result page over a folder: from the page's creation until every match is
// listed and the search has ended, and the longest gap between the ticks of a 5 ms timer on
// the main thread meanwhile (how long the window could not react). Prints
// "matches=N ms=T stall_ms=S".
#include "KorvaneApp.h"
#include "KvResources.h"
#include "SearchResult.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <QTimer>
#include <QTreeWidget>

int main(int argc, char** argv)
{
    // The completion message answers itself instead of waiting for a click.
    qputenv("KORVANE_MESSAGEBOX_ANSWER", "0");
    QApplication app(argc, argv);
    if (argc != 3) {
        QTextStream(stderr) << "usage: " << argv[0] << " FOLDER PATTERNS\n";
        return 2;
    }
    KvEnsureResources();
    KorvaneApp* state = KorvaneApp::GetInstance();

    QElapsedTimer clock;
    qint64 lastTick = 0;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);

    clock.start();
    SearchResult page(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    page.resize(960, 590);
    page.show();
    QObject::connect(&ticker, &QTimer::timeout, &app, [&] {
        const qint64 now = clock.elapsed();
        if (now - lastTick > 15 && qEnvironmentVariableIsSet("KV_BENCH_TRACE"))
            QTextStream(stderr) << "stall " << (now - lastTick) << " ms at " << now << " rows "
                                << page.ResultTree()->topLevelItemCount() << "\n";
        longestStall = qMax(longestStall, now - lastTick);
        lastTick = now;
        if (state->searchRunning)
            return;
        ticker.stop();
        QTextStream(stdout) << "matches=" << page.ResultTree()->topLevelItemCount() << " ms=" << now
                            << " stall_ms=" << longestStall << "\n";
        app.quit();
    });
    lastTick = clock.elapsed();
    ticker.start(5);
    return app.exec();
}
