#include "FakeCommands.h"
#include "ShellRunner.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

class TestShellRunner : public QObject
{
    Q_OBJECT

private slots:
    void capturesOnlyOnSuccess_data();
    void capturesOnlyOnSuccess();
    void largeOutputIsCutWithoutStalling();
    void concurrentCapturesStaySeparate();
    void quotedPathReachesCommandAsOneWord_data();
    void quotedPathReachesCommandAsOneWord();
};

void TestShellRunner::capturesOnlyOnSuccess_data()
{
    // What a capture gives (only the output of a command that succeeded) and the status that
    // running the same command reports.
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("succeeds");

    QTest::newRow("grep finds lines") << "printf 'alpha\\nbeta\\nalphabet\\n' | grep alpha"
                                      << QString("alpha\nalphabet\n") << true;
    QTest::newRow("grep misses") << "printf 'alpha\\n' | grep gamma" << QString() << false;
    QTest::newRow("prints then fails") << "echo something; exit 2" << QString() << false;
    QTest::newRow("silent success") << "true" << QString() << true;
    QTest::newRow("missing command") << "no-such-command-kv 2>/dev/null" << QString() << false;
    QTest::newRow("last line feed kept") << "printf 'user\\n'" << QString("user\n") << true;
    QTest::newRow("utf-8 output") << QString::fromUtf8("printf '日本語\\n'") << QString::fromUtf8("日本語\n") << true;
}

void TestShellRunner::capturesOnlyOnSuccess()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QFETCH(bool, succeeds);
    QCOMPARE(OnIterateBuffer(command), expected);
    QCOMPARE(SystemCmd(command + " >/dev/null") == 0, succeeds);
}

void TestShellRunner::largeOutputIsCutWithoutStalling()
{
    // 200 KiB is far beyond a pipe's capacity; the child must still finish.
    const QString out = OnIterateBuffer("head -c 204800 /dev/zero | tr '\\0' 'x'");
    QCOMPARE(out.size(), kRunnerBufferSize - 1);
    QVERIFY(out.count(QLatin1Char('x')) == out.size());

    QByteArray buffer(kRunnerBufferSize, '\x7f');
    QVERIFY(OnCreateBuffer("head -c 204800 /dev/zero | tr '\\0' 'y'", buffer.data()));
    QCOMPARE(buffer.at(kRunnerBufferSize - 1), '\0');
}

void TestShellRunner::concurrentCapturesStaySeparate()
{
    auto run = [](const QString& word) {
        QStringList results;
        for (int i = 0; i < 30; ++i)
            results << OnIterateBuffer(QString("for i in 1 2 3; do echo %1; done").arg(word));
        return results;
    };
    QStringList left;
    QStringList right;
    std::thread a([&] { left = run(QStringLiteral("left")); });
    std::thread b([&] { right = run(QStringLiteral("right")); });
    a.join();
    b.join();
    for (const QString& r : left)
        QCOMPARE(r, QStringLiteral("left\nleft\nleft\n"));
    for (const QString& r : right)
        QCOMPARE(r, QStringLiteral("right\nright\nright\n"));
}

void TestShellRunner::quotedPathReachesCommandAsOneWord_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("space") << "my file.txt";
    QTest::newRow("double quote") << "say \"hi\".txt";
    QTest::newRow("single quote") << "it's.txt";
    QTest::newRow("command substitution") << "a$(touch pwned).txt";
    QTest::newRow("backquote") << "a`touch pwned`.txt";
    QTest::newRow("variable") << "$HOME.txt";
    QTest::newRow("backslash") << "back\\slash.txt";
    QTest::newRow("newline") << "two\nlines.txt";
    QTest::newRow("japanese") << QString::fromUtf8("日本語のファイル.txt");
}

void TestShellRunner::quotedPathReachesCommandAsOneWord()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    FakeCommands fakes;
    fakes.Add("probe");
    const QString path = dir.path() + '/' + name;

    QCOMPARE(SystemCmd("cd " + ShellQuote(dir.path()) + " && probe " + ShellQuote(path)), 0);
    QCOMPARE(fakes.Calls("probe").join(QLatin1Char('\n')), path); // the recorder splits calls at line feeds
    QVERIFY2(!QFile::exists(dir.path() + "/pwned"), "the name ran a command");

    // The same word through a capture.
    QCOMPARE(OnIterateBuffer("printf '%s' " + ShellQuote(path)), path);
}

QTEST_GUILESS_MAIN(TestShellRunner)
#include "tst_shellrunner.moc"
