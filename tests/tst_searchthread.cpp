#include "KorvaneApp.h"
#include "SearchJobs.h"
#include "SearchPatterns.h"
#include "SearchThread.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestSearchThread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void splitAndValidate_data();
    void splitAndValidate();
    void walkFindsMatchingFiles_data();
    void walkFindsMatchingFiles();
    void stopEndsWalkAndStillCompletes();
    void jobFromPath_data();
    void jobFromPath();

private:
    void MakeFile(const QString& relative, int size = 0);
    QStringList Search(const QString& location, const QStringList& patterns);

    QTemporaryDir dir;
    QTemporaryDir outside;
    QString root;
};

void TestSearchThread::MakeFile(const QString& relative, int size)
{
    const QString path = root + "/" + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(size, 'x'));
}

QStringList TestSearchThread::Search(const QString& location, const QStringList& patterns)
{
    SearchThread thread;
    thread.location = location;
    thread.patterns = patterns;
    QSignalSpy found(&thread, &SearchThread::SearchingString);
    QSignalSpy complete(&thread, &SearchThread::SearchingComplete);
    thread.start();
    // The spies record on the walking thread; joining it makes every record visible here.
    if (!thread.wait(10000) || complete.count() != 1)
        return {"<no SearchingComplete>"};
    QStringList paths;
    for (const QList<QVariant>& args : found)
        paths.append(QDir(root).relativeFilePath(args.at(0).toString()));
    paths.sort();
    return paths;
}

void TestSearchThread::initTestCase()
{
    root = dir.path() + "/root";
    MakeFile("Photos/IMG_001.JPG");
    MakeFile("Photos/img_002.jpg");
    MakeFile("Photos/Holiday Shot.Png");
    MakeFile("Photos/.thumb.jpg"); // hidden file
    MakeFile(".cache/inside.jpg"); // hidden folder
    MakeFile("notes.txt");
    MakeFile("Archive/ФОТО.JPG");
    QDir().mkpath(root + "/album.jpg"); // a folder is never a match
    QDir().mkpath(outside.path() + "/pictures");
    QFile(outside.path() + "/pictures/outside.jpg").open(QIODevice::WriteOnly);
    QVERIFY(QFile::link(outside.path() + "/pictures", root + "/linked"));
}

void TestSearchThread::splitAndValidate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("patterns");
    QTest::addColumn<bool>("valid");

    QTest::newRow("hint example") << "*.JPG;*.PNG" << QStringList{"*.JPG", "*.PNG"} << true;
    QTest::newRow("one star") << "*.txt" << QStringList{"*.txt"} << true;
    QTest::newRow("two stars") << "*report*" << QStringList{"*report*"} << true;
    QTest::newRow("three stars") << "***" << QStringList{"***"} << false;
    QTest::newRow("three stars in second") << "*.a;*b*c*" << QStringList{"*.a", "*b*c*"} << false;
    QTest::newRow("stars of two patterns") << "*.a*;*.b*" << QStringList{"*.a*", "*.b*"} << true;
    QTest::newRow("blanks kept") << " *.jpg ; *.png" << QStringList{" *.jpg ", " *.png"} << true;
    QTest::newRow("empty segments skipped") << ";;*.txt;" << QStringList{"*.txt"} << true;
    QTest::newRow("only separators") << ";;" << QStringList{} << false;
}

void TestSearchThread::splitAndValidate()
{
    QFETCH(QString, text);
    QFETCH(QStringList, patterns);
    QFETCH(bool, valid);
    QCOMPARE(SplitSearchPatterns(text), patterns);
    QCOMPARE(SearchPatternsValid(SplitSearchPatterns(text)), valid);
}

void TestSearchThread::walkFindsMatchingFiles_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("lower case finds upper case")
        << "*.jpg" << QStringList{"Archive/ФОТО.JPG", "Photos/IMG_001.JPG", "Photos/img_002.jpg"};
    QTest::newRow("hint example") << "*.JPG;*.PNG"
                                  << QStringList{"Archive/ФОТО.JPG", "Photos/Holiday Shot.Png", "Photos/IMG_001.JPG",
                                                 "Photos/img_002.jpg"};
    QTest::newRow("question mark") << "img_00?.*" << QStringList{"Photos/IMG_001.JPG", "Photos/img_002.jpg"};
    QTest::newRow("non-Latin-1 lower case") << "фото*" << QStringList{"Archive/ФОТО.JPG"};
    QTest::newRow("whole name only") << "notes" << QStringList{};
    QTest::newRow("exact name") << "NOTES.TXT" << QStringList{"notes.txt"};
    QTest::newRow("missing location") << "<missing>" << QStringList{};
}

void TestSearchThread::walkFindsMatchingFiles()
{
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    // Hidden entries, the folder named album.jpg and the linked folder's file stay out.
    if (text == "<missing>")
        QCOMPARE(Search(root + "/does-not-exist", {"*"}), expected);
    else
        QCOMPARE(Search(root, SplitSearchPatterns(text)), expected);
}

void TestSearchThread::stopEndsWalkAndStillCompletes()
{
    for (int i = 0; i < 200; ++i)
        MakeFile(QString("Many/file%1.dat").arg(i));
    SearchThread thread;
    thread.location = root + "/Many";
    thread.patterns = QStringList{"*.DAT"};
    int found = 0;
    // A direct connection runs on the walking thread, so the stop lands before the next entry.
    connect(
        &thread, &SearchThread::SearchingString, this,
        [&](const QString&) {
            ++found;
            thread.stopRequested = true;
        },
        Qt::DirectConnection);
    QSignalSpy complete(&thread, &SearchThread::SearchingComplete);
    thread.start();
    QVERIFY(thread.wait(10000));
    QCOMPARE(complete.count(), 1);
    QCOMPARE(found, 1);
    QDir(root + "/Many").removeRecursively();
}

void TestSearchThread::jobFromPath_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<int>("wipeType");
    QTest::addColumn<qint64>("size");

    QTest::newRow("file") << "Jobs/plain.bin" << int(APPWIPINGINFO::File) << qint64(1234);
    QTest::newRow("non-Latin-1 file") << "Jobs/файл.bin" << int(APPWIPINGINFO::File) << qint64(1234);
    QTest::newRow("non-Latin-1 folder") << "Jobs/Папка" << int(APPWIPINGINFO::Folder) << qint64(0);
    QTest::newRow("link to folder") << "linked" << int(APPWIPINGINFO::File) << qint64(0);
    QTest::newRow("vanished") << "Jobs/gone.bin" << int(APPWIPINGINFO::File) << qint64(0);
}

void TestSearchThread::jobFromPath()
{
    QFETCH(QString, relative);
    QFETCH(int, wipeType);
    QFETCH(qint64, size);
    MakeFile("Jobs/plain.bin", 1234);
    MakeFile("Jobs/файл.bin", 1234);
    MakeFile("Jobs/Папка/inside.bin", 10);

    const APPWIPINGINFO job = MakeSearchJob(root + "/" + relative, 10, 2);
    QCOMPARE(job.itemPath, root + "/" + relative);
    QCOMPARE(job.category, QString("Search File"));
    QCOMPARE(job.wipeType, wipeType);
    QCOMPARE(job.itemSize, size);
    QCOMPARE(job.algorithm, 10);
    QCOMPARE(job.verification, 2);
    QVERIFY(job.plistPath.isEmpty());
}

QTEST_GUILESS_MAIN(TestSearchThread)
#include "tst_searchthread.moc"
