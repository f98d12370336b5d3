// Which chunks are read back, and how a failed flush or a mismatch is handled.
#include "PassEngine.h"
#include "Verification.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestVerification : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { PassEngineTesting::ClearIoHooks(); }
    void chunksReadBack_data();
    void chunksReadBack();
    void flushAndCompare_data();
    void flushAndCompare();
    void shortReadIsAMismatch();
};

void TestVerification::chunksReadBack_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("mode");
    QTest::addColumn<qint64>("interval");
    QTest::addColumn<int>("checkedChunks");
    QTest::addColumn<QList<qint64>>("someChecked"); // chunk indexes that must be read back
    const qint64 MiB = 1LL << 20, GiB = 1LL << 30;
    QTest::newRow("1 MiB, mode 0: its one chunk") << MiB << 0 << 0 << 1LL << 1 << QList<qint64>{0};
    QTest::newRow("3 GiB, mode 2: N = 1, all 12") << 3 * GiB << 0 << 2 << 1LL << 12 << QList<qint64>{0, 5, 11};
    QTest::newRow("30 GiB, mode 1: N = 61") << 30 * GiB << 0 << 1 << 61LL << 3 << QList<qint64>{0, 61, 119};
    QTest::newRow("30 GiB, mode 0: about one per percent")
        << 30 * GiB << 0 << 0 << 614LL << 100 << QList<qint64>{0, 2, 3, 119};
    QTest::newRow("1 MiB, mode 1: N = 100") << MiB << 0 << 1 << 100LL << 1 << QList<qint64>{0};
    QTest::newRow("self-verifying 16, 30 GiB: first and last")
        << 30 * GiB << 16 << 0 << 614LL << 2 << QList<qint64>{0, 119};
    QTest::newRow("self-verifying 4, 30 GiB, mode 1") << 30 * GiB << 4 << 1 << 61LL << 3 << QList<qint64>{0, 61, 119};
}

void TestVerification::chunksReadBack()
{
    QFETCH(qint64, size);
    QFETCH(int, algorithm);
    QFETCH(int, mode);
    QFETCH(qint64, interval);
    QFETCH(int, checkedChunks);
    QFETCH(QList<qint64>, someChecked);
    ChunkPolicy policy(size, algorithm, mode, kChunkSize);
    QCOMPARE(policy.Interval(), interval);
    const ChunkPolicy::Check compare =
        algorithm == 16 || algorithm == 4 ? ChunkPolicy::Check::ReadBack : ChunkPolicy::Check::FlushCompare;
    const ChunkPolicy::Check other =
        algorithm == 16 || algorithm == 4 ? ChunkPolicy::Check::None : ChunkPolicy::Check::Flush;
    QList<qint64> checked;
    qint64 index = 0;
    for (qint64 offset = 0; offset < size; offset += kChunkSize, ++index) {
        const ChunkPolicy::Check check = policy.Next(index, offset, size - offset <= kChunkSize);
        QVERIFY(check == compare || check == other);
        if (check == compare)
            checked << index;
    }
    QCOMPARE(checked.size(), checkedChunks);
    for (qint64 k : someChecked)
        QVERIFY2(checked.contains(k), qPrintable(QString::number(k)));
}

void TestVerification::flushAndCompare_data()
{
    QTest::addColumn<bool>("readFirst");
    QTest::addColumn<bool>("final");
    QTest::addColumn<int>("failingFlushes");
    QTest::addColumn<int>("corruptReads");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("rewrites");
    QTest::addColumn<int>("flushes");
    QTest::addColumn<int>("reads");
    QTest::newRow("flush only") << false << false << 0 << 0 << true << 0 << 1 << 0;
    QTest::newRow("flush, then compare") << false << true << 0 << 0 << true << 0 << 1 << 1;
    QTest::newRow("failed flush: one rewrite") << false << false << 1 << 0 << true << 1 << 2 << 1;
    QTest::newRow("flush fails twice") << false << true << 2 << 0 << false << 1 << 2 << 0;
    QTest::newRow("mismatch after a good flush") << false << true << 0 << 1 << false << 0 << 1 << 1;
    QTest::newRow("read first matches") << true << false << 0 << 0 << true << 0 << 0 << 1;
    QTest::newRow("read first mismatch: one rewrite") << true << false << 0 << 1 << true << 1 << 1 << 2;
    QTest::newRow("mismatch after the rewrite fails") << true << false << 0 << 2 << false << 1 << 1 << 2;
    QTest::newRow("read first, final flush") << true << true << 0 << 0 << true << 0 << 1 << 1;
    QTest::newRow("read first, final flush fails") << true << true << 1 << 0 << true << 1 << 2 << 2;
}

void TestVerification::flushAndCompare()
{
    QFETCH(bool, readFirst);
    QFETCH(bool, final);
    QFETCH(int, failingFlushes);
    QFETCH(int, corruptReads);
    QFETCH(bool, result);
    QFETCH(int, rewrites);
    QFETCH(int, flushes);
    QFETCH(int, reads);

    QTemporaryDir dir;
    QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("f")));
    QByteArray data(1000, '\x5A');
    QFile file(QFile::decodeName(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(data);
    file.close();

    int writeCount = 0, flushCount = 0, readCount = 0;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&](long long, const unsigned char*, long long) { return ++writeCount > 0; };
    hooks.onFlush = [&] { return ++flushCount > failingFlushes; };
    hooks.onRead = [&](long long, unsigned char* d, long long) {
        if (++readCount <= corruptReads)
            d[999] ^= 1;
    };
    PassEngineTesting::SetIoHooks(hooks);
    const int fd = OnOpenDisk(path.constData());
    long geometry[2] = {static_cast<long>(kChunkSize), 1};
    PassContent written; // 0x5A throughout
    written.value = 0x5A;
    const bool ok = Verification(0, written, reinterpret_cast<unsigned char*>(data.data()), data.size(), path.data(),
                                 fd, geometry, readFirst, final);
    OnCloseDisk(fd);
    QCOMPARE(ok, result);
    QCOMPARE(writeCount, rewrites);
    QCOMPARE(flushCount, flushes);
    QCOMPARE(readCount, reads);
}

void TestVerification::shortReadIsAMismatch()
{
    QTemporaryDir dir;
    QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("short")));
    QFile file(QFile::decodeName(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(10, '\0'));
    file.close();
    // The range reaches past the end of the file and writes fail: the read-back is short,
    // the rewrite fails, and so does the verification.
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [](long long, const unsigned char*, long long) { return false; };
    PassEngineTesting::SetIoHooks(hooks);
    QByteArray window(20, '\0');
    long geometry[2] = {static_cast<long>(kChunkSize), 1};
    QVERIFY(!Verification(0, PassContent(), reinterpret_cast<unsigned char*>(window.data()), 20, path.data(), -1,
                          geometry, true, false)); // PassContent(): zeroes
}

QTEST_GUILESS_MAIN(TestVerification)
#include "tst_verification.moc"
