// The size text every screen shows.
#include "SizeString.h"

#include <QtTest>

class TestSizeString : public QObject
{
    Q_OBJECT

private slots:
    void sizeText_data();
    void sizeText();
};

void TestSizeString::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << Q_INT64_C(0) << "0.00 B";
    QTest::newRow("below a kilobyte") << Q_INT64_C(1023) << "1023.00 B";
    QTest::newRow("one kilobyte") << Q_INT64_C(1024) << "1.00 KB";
    QTest::newRow("one and a half") << Q_INT64_C(1536) << "1.50 KB";
    QTest::newRow("megabyte") << Q_INT64_C(1048576) << "1.00 MB";
    QTest::newRow("gigabyte") << Q_INT64_C(1073741824) << "1.00 GB";
    QTest::newRow("terabyte") << Q_INT64_C(1099511627776) << "1.00 TB";
    QTest::newRow("beyond 32 bits") << Q_INT64_C(500107862016) << "465.76 GB";
    QTest::newRow("petabyte stays in TB") << Q_INT64_C(1125899906842624) << "1024.00 TB";
    QTest::newRow("rounding to two places") << Q_INT64_C(1048575) << "1024.00 KB";
    // A 32-bit float holds 24 bits: one byte short of a terabyte already counts as one.
    QTest::newRow("float scaling") << Q_INT64_C(1099511627775) << "1.00 TB";
    QTest::newRow("negative") << Q_INT64_C(-5) << "-5.00 B";
}

void TestSizeString::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(GetSizeString(bytes), text);
}

QTEST_GUILESS_MAIN(TestSizeString)
#include "tst_sizestring.moc"
