#include "CertificateModel.h"
#include "CertificatePainter.h"
#include "KorvaneApp.h"
#include "TestFiles.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The engine's joined names for the indexes these tests use.
QString FakeAlgorithmName(int index)
{
    return QMap<int, QString>{{0, "Zeroes 1 Write Pass "}, {13, "US Air Force, AFSSI 5020 3 Write Passes "}}.value(
        index, "  ");
}

const QDateTime kNow(QDate(2026, 12, 5), QTime(14, 43, 1));

CERTIFICATEDATA Record(const QString& name, int status)
{
    return CERTIFICATEDATA{name, kNow.addSecs(-60), status};
}
} // namespace

class TestCertificate : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void emptyRunFollowsClockAndAlgorithm_data();
    void emptyRunFollowsClockAndAlgorithm();
    void failedStatusesCountedAndRed();
    void longNameWrapsUnderOneNumber();
    void manyRecordsStartNewPages();
    void missingFolderWritesNothing();
    void plantedLinkIsReplacedNotFollowed();

private:
    QString Generate(const CertificateInput& input);
    // The text of every page (pdftotext -layout), split at the page breaks.
    QStringList Pages(const QString& pdf);
    // The top of the first word `word` on page `page` (from 1), in units from the paper's edge.
    double WordTop(const QString& pdf, int page, const QString& word);

    QTemporaryDir dir;
    CertificateInput input;
};

void TestCertificate::initTestCase()
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() || QStandardPaths::findExecutable("pdftoppm").isEmpty())
        QSKIP("pdftotext/pdftoppm (poppler-utils) missing: run scripts/install-deps.sh");
    QVERIFY(QDir().mkpath(dir.path() + "/KVCERTIFICATE"));
}

void TestCertificate::init()
{
    KorvaneApp::SetClockForTests(kNow);
    input = CertificateInput();
    input.certificatePath = dir.path();
    input.algorithmName = FakeAlgorithmName;
}

void TestCertificate::cleanup()
{
    KorvaneApp::SetClockForTests(QDateTime());
}

QString TestCertificate::Generate(const CertificateInput& certificate)
{
    QString written;
    return GenerateCertificate(certificate, &written) ? written : QString();
}

QStringList TestCertificate::Pages(const QString& pdf)
{
    QProcess process;
    process.start("pdftotext", {"-layout", pdf, "-"});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    // The page font sets "fi" as one ligature glyph; compatibility normalisation undoes it.
    const QString text = QString::fromUtf8(process.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    QStringList pages = text.split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

double TestCertificate::WordTop(const QString& pdf, int page, const QString& word)
{
    QProcess process;
    const QString number = QString::number(page);
    process.start("pdftotext", {"-bbox", "-f", number, "-l", number, pdf, "-"});
    if (!process.waitForFinished(30000))
        return -1;
    const QRegularExpression box("yMin=\"([0-9.]+)\"[^>]*>" + QRegularExpression::escape(word) + "</word>");
    const QRegularExpressionMatch match = box.match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toDouble() : -1;
}

void TestCertificate::emptyRunFollowsClockAndAlgorithm_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("algorithm");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("passes");

    QTest::newRow("afternoon, zeroes") << kNow << "Saturday, December 05, 2026 at 02_43_01 PM.pdf"
                                       << QString("05/12/2026") << QString("02:43:01 PM") << 0 << QString("Zeroes")
                                       << QString("1 Write Pass");
    QTest::newRow("morning, digits in the name")
        << QDateTime(QDate(2027, 1, 4), QTime(9, 5, 7)) << "Monday, January 04, 2027 at 09_05_07 AM.pdf"
        << QString("04/01/2027") << QString("09:05:07 AM") << 13 << QString("US Air Force, AFSSI 5020")
        << QString("3 Write Passes");
    QTest::newRow("unknown algorithm") << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59))
                                       << "Thursday, December 31, 2026 at 11_59_59 PM.pdf" << QString("31/12/2026")
                                       << QString("11:59:59 PM") << 17 << QString() << QString();
}

void TestCertificate::emptyRunFollowsClockAndAlgorithm()
{
    QFETCH(QDateTime, now);
    QFETCH(QString, fileName);
    QFETCH(QString, date);
    QFETCH(QString, time);
    QFETCH(int, algorithm);
    QFETCH(QString, name);
    QFETCH(QString, passes);
    KorvaneApp::SetClockForTests(now);
    input.algorithm = algorithm;

    const QString pdf = Generate(input);
    QCOMPARE(pdf, dir.path() + "/KVCERTIFICATE/" + fileName);
    const QStringList pages = Pages(pdf);
    QCOMPARE(pages.size(), 2);
    const auto field = [&pages](const QString& label, const QString& value) {
        return pages[0].contains(QRegularExpression(label + " *" + QRegularExpression::escape(value) + " *\\n"));
    };
    QVERIFY2(field("Certification Date", date) && field("Certification Time", time), qPrintable(pages[0]));
    QVERIFY(field("Erasure Tool", "Korvane File Eraser 5.0.0.0"));
    QVERIFY(field("Algorithm Used", name) && field("Algorithm Passes", passes));
    for (const char* label : {"Processed", "Successful", "Failed/Incomplete"})
        QVERIFY2(field(label, "0"), label);
    QVERIFY(pages[0].contains("Korvane File Eraser Certificate"));
    QVERIFY(pages[0].simplified().contains(
        "More information available at \"Korvane Software, 14 Harbour Lane, Portsmouth PO1 3AB, United Kingdom\""));
    QVERIFY(pages[0].contains("( Data Erasure Technician )"));
    QVERIFY(pages[1].contains("Korvane File Eraser Certificate Annexure"));
    QVERIFY(pages[1].contains("***End of Annexure***"));
    QVERIFY(!pages[1].contains("000001."));
    // Drawn in a 20-unit box at y = 120 below the 8.5-unit margin.
    const double top = WordTop(pdf, 2, "***End");
    QVERIFY2(top > 128.5 && top < 148.5, qPrintable(QString::number(top)));
}

void TestCertificate::failedStatusesCountedAndRed()
{
    input.selectedFileCount = 5;
    input.records = {Record("/data/kept.txt", CERTIFICATEDATA::Erased),
                     Record("/data/gone.txt", CERTIFICATEDATA::Failed),
                     Record("/data/two\nlines\t.txt", CERTIFICATEDATA::Stopped)};
    const QString pdf = Generate(input);
    const QStringList pages = Pages(pdf);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains(QRegularExpression("No. of Selected Files +5\\n")));
    QVERIFY(pages[0].contains(QRegularExpression("Processed +3\\n")));
    QVERIFY(pages[0].contains(QRegularExpression("Successful +1\\n")));
    QVERIFY(pages[0].contains(QRegularExpression("Failed/Incomplete +2\\n")));
    // pdftotext gives runs of blanks as one.
    const QString annexure = pages[1].simplified();
    QVERIFY(annexure.contains("000001. File Name: /data/kept.txt | Erasure successful at 05/12/2026|02:42:01 PM"));
    QVERIFY(annexure.contains("000002. File Name: /data/gone.txt | Erasure failed, file doesn't exist at"));
    // A control character in a name shows as a question mark.
    QVERIFY(annexure.contains("000003. File Name: /data/two?lines?.txt | Erasure failed, aborted by user at"));

    // Render the annexure at 2 pixels per unit; each record is 10 units below the one before,
    // from y = 100 inside the 8.5-unit margin. The number column is red for 2 and 3 only.
    QTemporaryDir out;
    QVERIFY(QProcess::execute("pdftoppm", {"-r", "144", "-f", "2", "-l", "2", "-png", pdf, out.path() + "/p"}) == 0);
    const QImage page(QDir(out.path()).entryInfoList({"*.png"}).value(0).absoluteFilePath());
    QVERIFY(!page.isNull());
    auto redPixels = [&](int record) {
        int count = 0;
        const int top = int((8.5 + 100 + 10 * record) * 2);
        for (int y = top; y < top + 20; ++y) {
            for (int x = 17; x < 17 + 66; ++x) {
                const QColor c = page.pixelColor(x, y);
                count += c.red() > 180 && c.green() < 120 && c.blue() < 120;
            }
        }
        return count;
    };
    QCOMPARE(redPixels(0), 0);
    QVERIFY(redPixels(1) > 20);
    QVERIFY(redPixels(2) > 20);
}

void TestCertificate::longNameWrapsUnderOneNumber()
{
    const QString name = "/data/" + QString("averyveryverylongfoldername/").repeated(12) + "last-file.bin";
    input.records = {Record(name, CERTIFICATEDATA::Erased), Record("/data/next.txt", CERTIFICATEDATA::Failed)};
    const QStringList pages = Pages(Generate(input));
    QCOMPARE(pages.size(), 2);
    const QStringList lines = pages[1].split('\n');
    const int first = lines.indexOf(QRegularExpression("^000001\\. +File Name: .*"));
    const int second = lines.indexOf(QRegularExpression("^000002\\. +File Name: /data/next.txt.*"));
    QVERIFY2(first >= 0 && second > first + 1, qPrintable(pages[1]));
    QString joined = lines[first].mid(QString("000001. ").size());
    for (int i = first + 1; i < second; ++i) {
        QVERIFY2(!lines[i].contains(QRegularExpression("\\d{6}\\.")), "a continuation line has its own number");
        joined += lines[i];
    }
    const QRegularExpression blanks("\\s+");
    QCOMPARE(joined.remove(blanks),
             QString("File Name: " + name + " | Erasure successful at 05/12/2026|02:42:01 PM").remove(blanks));
}

void TestCertificate::manyRecordsStartNewPages()
{
    for (int i = 0; i < 250; ++i)
        input.records.append(Record(QString("/data/file%1.txt").arg(i), i % 7 == 0));
    const QStringList pages = Pages(Generate(input));
    QVERIFY2(pages.size() >= 4, qPrintable(QString::number(pages.size())));

    // Numbers run on without a gap from page to page; only the first annexure page has the heading.
    int expected = 1;
    QVector<int> perPage;
    for (int p = 1; p < pages.size(); ++p) {
        QCOMPARE(pages[p].contains("Certificate Annexure"), p == 1);
        int onPage = 0;
        QRegularExpressionMatchIterator it = QRegularExpression("(\\d{6})\\. +File Name").globalMatch(pages[p]);
        while (it.hasNext()) {
            QCOMPARE(it.next().captured(1).toInt(), expected++);
            ++onPage;
        }
        perPage.append(onPage);
    }
    QCOMPARE(expected, 251);
    QVERIFY(perPage[0] > 60);
    QVERIFY(perPage[1] > perPage[0]); // continuation pages start at the top
    QVERIFY(pages.last().contains("***End of Annexure***"));
    QCOMPARE(pages.join('\f').count("***End of Annexure***"), 1);
}

void TestCertificate::missingFolderWritesNothing()
{
    QTemporaryDir empty;
    input.certificatePath = empty.path(); // no KVCERTIFICATE below it
    QString written = "unchanged";
    QVERIFY(!GenerateCertificate(input, &written));
    QCOMPARE(written, QString("unchanged"));
    QCOMPARE(QDir(empty.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestCertificate::plantedLinkIsReplacedNotFollowed()
{
    const QString victim = dir.path() + "/victim.txt";
    QVERIFY(!WriteTestFile(victim, "keep me").isEmpty());
    const QString name = dir.path() + "/KVCERTIFICATE/Saturday, December 05, 2026 at 02_43_01 PM.pdf";
    QFile::remove(name); // left by an earlier test at the same fixed time
    QVERIFY(QFile::link(victim, name));

    QCOMPARE(Generate(input), name);
    QVERIFY(!QFileInfo(name).isSymLink());
    QCOMPARE(ReadTestFile(victim), QByteArray("keep me"));
    QFile::remove(name);
}

QTEST_MAIN(TestCertificate)
#include "tst_certificate.moc"
