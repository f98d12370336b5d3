// The bytes every pass of every algorithm leaves, captured through the engine's own write
// path, and how a failed pass ends the algorithm.
#include "AlgorithmTable.h"
#include "PassEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Checks one written pass against a token: "00".."FF" a fixed byte, "R" one random value,
// "H" one halved random value, "S43" a keyed sequence with divisor 43, "P42" the same with
// a halved draw, "T924924" a three-byte pattern.
QString CheckPass(const QString& token, const QByteArray& bytes)
{
    auto at = [&bytes](int i) { return static_cast<unsigned char>(bytes.at(i)); };
    const int n = bytes.size();
    if (token == QLatin1String("R") || token == QLatin1String("H")) {
        for (int i = 1; i < n; ++i) {
            if (at(i) != at(0))
                return QStringLiteral("random pass is not one repeated value");
        }
        if (token == QLatin1String("H") && at(0) < 128 && at(0) != 0)
            return QStringLiteral("halved value %1 below 128").arg(at(0)); // only r <= 255 stays small
        return QString();
    }
    if (token.startsWith(QLatin1Char('S')) || token.startsWith(QLatin1Char('P'))) {
        const int d = token.mid(1).toInt();
        const int key = at(0);
        if (key < 48 || key > 48 + d - 1)
            return QStringLiteral("key %1 outside 48..%2").arg(key).arg(48 + d - 1);
        for (int i = 0; i < n; ++i) {
            if (at(i) != ((i % 256) ^ key))
                return QStringLiteral("sequence broken at %1").arg(i);
        }
        return QString();
    }
    if (token.startsWith(QLatin1Char('T'))) {
        const QByteArray abc = QByteArray::fromHex(token.mid(1).toLatin1());
        for (int i = 0; i < n; ++i) {
            if (bytes.at(i) != abc.at(i % 3))
                return QStringLiteral("pattern broken at %1").arg(i);
        }
        return QString();
    }
    const char fixed = static_cast<char>(token.toInt(nullptr, 16));
    return bytes == QByteArray(n, fixed) ? QString() : QStringLiteral("not all 0x%1").arg(token);
}

} // namespace

class TestPassEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void passesOfEachAlgorithm_data();
    void passesOfEachAlgorithm();
    void drawnValuesGiveKeysAndBytes_data();
    void drawnValuesGiveKeysAndBytes();
    void patternsKeepTheirPhase_data();
    void patternsKeepTheirPhase();
    void failedPassEndsAlgorithm_data();
    void failedPassEndsAlgorithm();
    void openRefusesSymbolicLink();

private:
    bool Run(int algorithm, long long length, QList<QByteArray>* writes, int* reads = nullptr, int* flushes = nullptr);

    QTemporaryDir m_dir;
    QByteArray m_file;
    unsigned char* m_buffer = nullptr;
};

void TestPassEngine::init()
{
    m_file = QFile::encodeName(m_dir.filePath(QStringLiteral("range.bin")));
    QFile f(QFile::decodeName(m_file));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, 'x'));
    f.close();
    m_buffer = AllocatePassBuffer(kChunkSize + 1);
    QVERIFY(m_buffer);
}

void TestPassEngine::cleanup()
{
    PassEngineTesting::ClearIoHooks();
    PassEngineTesting::SetDrawnValues({});
    FreePassBuffer(m_buffer, kChunkSize + 1);
    m_buffer = nullptr;
}

bool TestPassEngine::Run(int algorithm, long long length, QList<QByteArray>* writes, int* reads, int* flushes)
{
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [writes](long long, const unsigned char* data, long long n) {
        writes->append(QByteArray(reinterpret_cast<const char*>(data), static_cast<int>(n)));
        return true;
    };
    hooks.onRead = [reads](long long, unsigned char*, long long) {
        if (reads)
            ++*reads;
    };
    hooks.onFlush = [flushes] {
        if (flushes)
            ++*flushes;
        return true;
    };
    PassEngineTesting::SetIoHooks(hooks);
    const int fd = OnOpenDisk(m_file.constData());
    long geometry[2] = {static_cast<long>(kChunkSize), 1};
    const bool ok = WipeNow(0, m_buffer, length, m_file.data(), fd, geometry, algorithm);
    OnCloseDisk(fd);
    return ok;
}

void TestPassEngine::passesOfEachAlgorithm_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("passes");
    QTest::addColumn<int>("readBacks");
    QTest::newRow("0 zeroes") << 0 << "00" << 0;
    QTest::newRow("1 random") << 1 << "R" << 0;
    QTest::newRow("2 random, zero") << 2 << "R 00" << 0;
    QTest::newRow("3 random random zero twice") << 3 << "R R 00 R R 00" << 0;
    QTest::newRow("4 DoD 3") << 4 << "00 FF R" << 3;
    QTest::newRow("5 DoD 7") << 5 << "00 FF R R 00 FF R" << 6;
    QTest::newRow("6 DoD 28 uses 0x56") << 6 << "56 AA 56 AA 56 AA R" << 0;
    QTest::newRow("7 GOST") << 7 << "00 S43" << 0;
    QTest::newRow("8 Schneier starts with 0x01") << 8 << "01 00 S43 S43 S43 S43 S43" << 0;
    QTest::newRow("9 VSITR uses 0x01") << 9 << "00 01 00 01 00 01 S43" << 0;
    QTest::newRow("10 Gutmann") << 10
                                << "S43 S44 S45 S46 55 AA T924924 T492492 T249249 00 11 22 33 44 55 66 77 88 99 AA BB "
                                   "CC DD EE FF T924924 T492492 T249249 T6DB6DB TB6DB6D TDB6DB6 S43 S44 S45 S46"
                                << 0;
    QTest::newRow("11 AR 380-19") << 11 << "21 DE H" << 1;
    QTest::newRow("12 NATO") << 12 << "00 FF 00 FF 00 FF H" << 0;
    QTest::newRow("13 AFSSI") << 13 << "00 FF H" << 1;
    QStringList pfitzner;
    for (int p = 0; p <= 32; ++p)
        pfitzner << QStringLiteral("P%1").arg(42 + p);
    QTest::newRow("14 Pfitzner") << 14 << pfitzner.join(QLatin1Char(' ')) << 0;
    QTest::newRow("15 RCMP uses 0x01") << 15 << "00 01 00 01" << 0;
    QTest::newRow("16 HMG IS5, three passes as its name says") << 16 << "00 FF R" << 1;
}

void TestPassEngine::passesOfEachAlgorithm()
{
    QFETCH(int, algorithm);
    QFETCH(QString, passes);
    QFETCH(int, readBacks);
    const QStringList tokens = passes.split(QLatin1Char(' '));
    QList<QByteArray> writes;
    int reads = 0;
    int flushes = 0;
    QVERIFY(Run(algorithm, 600, &writes, &reads, &flushes));
    QCOMPARE(writes.size(), tokens.size());
    // Each pass but the last reaches the medium before the next; a final check flushes too
    // (one per read-back group: algorithm 5 holds two).
    const int finalChecks = algorithm == 5 ? 2 : readBacks > 0 ? 1 : 0;
    QCOMPARE(flushes, tokens.size() - 1 + finalChecks);
    QCOMPARE(AlgorithmPassCount(algorithm), tokens.size());
    QCOMPARE(reads, readBacks);
    for (int i = 0; i < tokens.size(); ++i) {
        const QString problem = CheckPass(tokens.at(i), writes.at(i));
        QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("pass %1: %2").arg(i + 1).arg(problem)));
    }
    // What the last pass wrote is what the range holds.
    QFile f(QFile::decodeName(m_file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.read(600), writes.last());
    QCOMPARE(f.read(10), QByteArray(10, 'x'));
}

void TestPassEngine::drawnValuesGiveKeysAndBytes_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("drawn");
    QTest::addColumn<int>("firstByteOfLastPass");
    QTest::newRow("random byte is r mod 256") << 1 << 1000 << (1000 % 256);
    QTest::newRow("halved random byte") << 13 << 1000 << 250; // 1000 -> 500 -> 250
    QTest::newRow("small draw is not halved") << 11 << 200 << 200;
    QTest::newRow("sequence key (r mod 43) + 48") << 7 << 1000 << (1000 % 43 + 48);
    QTest::newRow("Pfitzner last pass d = 74, halved") << 14 << 1000 << (250 % 74 + 48);
    QTest::newRow("Gutmann last pass d = 46") << 10 << 1000 << (1000 % 46 + 48);
}

void TestPassEngine::drawnValuesGiveKeysAndBytes()
{
    QFETCH(int, algorithm);
    QFETCH(int, drawn);
    QFETCH(int, firstByteOfLastPass);
    PassEngineTesting::SetDrawnValues([drawn] { return drawn; });
    QList<QByteArray> writes;
    QVERIFY(Run(algorithm, 64, &writes));
    QCOMPARE(static_cast<unsigned char>(writes.last().at(0)), static_cast<unsigned char>(firstByteOfLastPass));
}

void TestPassEngine::patternsKeepTheirPhase_data()
{
    // A pass is written window by window: every window continues the pattern of the range.
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("pass");
    QTest::addColumn<qint64>("length");
    QTest::addColumn<qint64>("blockSize");
    QTest::addColumn<qint64>("blockCount");
    QTest::addColumn<qint64>("zeroFrom"); // where the pattern stops
    const qint64 w = kPassWindow;
    QTest::newRow("sequence cycles every 256 bytes") << 7 << 2 << 300LL << kChunkSize << 1LL << 300LL;
    QTest::newRow("1000-byte blocks across a window") << 7 << 2 << w + 3000 << 1000LL << 100000LL << w + 3000;
    QTest::newRow("Gutmann three bytes") << 10 << 7 << 4096LL << kChunkSize << 1LL << 4096LL;
    QTest::newRow("three bytes across a window, ending in it")
        << 10 << 8 << w + 12 << w + 10 << 1LL << w + 8; // w % 3 = 1
    QTest::newRow("small block: three bytes stop short") << 10 << 7 << 12LL << 10LL << 1LL << 9LL;
    QTest::newRow("small block: sequence fills one block") << 10 << 35 << 12LL << 10LL << 1LL << 10LL;
}

void TestPassEngine::patternsKeepTheirPhase()
{
    QFETCH(int, algorithm);
    QFETCH(int, pass);
    QFETCH(qint64, length);
    QFETCH(qint64, blockSize);
    QFETCH(qint64, blockCount);
    QFETCH(qint64, zeroFrom);
    const PassStep step = AlgorithmPasses(algorithm).at(pass - 1);
    QByteArray bytes;
    int passes = 0;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&](long long offset, const unsigned char* d, long long n) {
        passes += offset == 0;
        if (passes == pass)
            bytes.append(reinterpret_cast<const char*>(d), static_cast<int>(n));
        return true;
    };
    PassEngineTesting::SetIoHooks(hooks);
    const int fd = OnOpenDisk(m_file.constData());
    long geometry[2] = {static_cast<long>(blockSize), static_cast<long>(blockCount)};
    QVERIFY(WipeNow(0, m_buffer, length, m_file.data(), fd, geometry, algorithm));
    OnCloseDisk(fd);
    QCOMPARE(bytes.size(), static_cast<int>(length));
    const auto key = static_cast<unsigned char>(bytes.at(0));
    for (qint64 p = 0; p < length; ++p) {
        const unsigned char want = p >= zeroFrom                      ? 0
                                   : step.kind == PassKind::ThreeByte ? step.bytes[p % 3]
                                                                      : ((p % blockSize) & 0xFF) ^ key;
        QVERIFY2(uchar(bytes.at(p)) == want, "the pattern breaks, or does not stop where it should");
    }
}

void TestPassEngine::failedPassEndsAlgorithm_data()
{
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<int>("failingWrite");
    QTest::newRow("9: second 0x00 pass") << 9 << 3;
    QTest::newRow("5: inside the repeated DoD group") << 5 << 5;
    QTest::newRow("10: first pass") << 10 << 1;
    QTest::newRow("0: the only pass") << 0 << 1;
}

void TestPassEngine::failedPassEndsAlgorithm()
{
    QFETCH(int, algorithm);
    QFETCH(int, failingWrite);
    int attempts = 0;
    PassEngineTesting::IoHooks hooks;
    hooks.onWrite = [&attempts, failingWrite](long long, const unsigned char*, long long) {
        return ++attempts != failingWrite;
    };
    PassEngineTesting::SetIoHooks(hooks);
    const int fd = OnOpenDisk(m_file.constData());
    long geometry[2] = {static_cast<long>(kChunkSize), 1};
    QVERIFY(!WipeNow(0, m_buffer, 100, m_file.data(), fd, geometry, algorithm));
    OnCloseDisk(fd);
    QCOMPARE(attempts, failingWrite);
    QCOMPARE(LastTransferError(), EIO);
}

void TestPassEngine::openRefusesSymbolicLink()
{
    const QByteArray link = QFile::encodeName(m_dir.filePath(QStringLiteral("link")));
    QCOMPARE(::symlink(m_file.constData(), link.constData()), 0);
    QVERIFY(OnOpenDisk(link.constData()) < 0);
    unsigned char b = 0;
    long geometry[2] = {1, 1};
    QVERIFY(!OnReadPhysicalDisk(0, &b, 1, link.constData(), geometry, 1));
}

QTEST_GUILESS_MAIN(TestPassEngine)
#include "tst_passengine.moc"
