#include "AlgorithmTable.h"

namespace {

PassStep Fixed(unsigned char b, PassCheck check = PassCheck::None)
{
    PassStep step;
    step.kind = PassKind::Fixed;
    step.bytes[0] = b;
    step.check = check;
    return step;
}

PassStep Random(PassCheck check = PassCheck::None)
{
    PassStep step;
    step.kind = PassKind::RandomByte;
    step.check = check;
    return step;
}

PassStep HalvedRandom(PassCheck check = PassCheck::None)
{
    PassStep step;
    step.kind = PassKind::HalvedRandomByte;
    step.check = check;
    return step;
}

PassStep Sequence(int divisor, bool halved = false)
{
    PassStep step;
    step.kind = halved ? PassKind::HalvedSequence : PassKind::Sequence;
    step.divisor = divisor;
    return step;
}

PassStep Three(unsigned char a, unsigned char b, unsigned char c)
{
    PassStep step;
    step.kind = PassKind::ThreeByte;
    step.bytes[0] = a;
    step.bytes[1] = b;
    step.bytes[2] = c;
    return step;
}

QVector<PassStep> Repeat(const QVector<PassStep>& group, int times)
{
    QVector<PassStep> passes;
    for (int i = 0; i < times; ++i)
        passes += group;
    return passes;
}

QVector<PassStep> DoD3()
{
    return {Fixed(0x00, PassCheck::Verify), Fixed(0xFF, PassCheck::Verify), Random(PassCheck::VerifyFinal)};
}

QVector<PassStep> Gutmann()
{
    QVector<PassStep> passes;
    for (int d = 43; d <= 46; ++d)
        passes << Sequence(d);
    passes << Fixed(0x55) << Fixed(0xAA);
    passes << Three(0x92, 0x49, 0x24) << Three(0x49, 0x24, 0x92) << Three(0x24, 0x92, 0x49);
    for (int b = 0x00; b <= 0xFF; b += 0x11)
        passes << Fixed(static_cast<unsigned char>(b));
    passes << Three(0x92, 0x49, 0x24) << Three(0x49, 0x24, 0x92) << Three(0x24, 0x92, 0x49);
    passes << Three(0x6D, 0xB6, 0xDB) << Three(0xB6, 0xDB, 0x6D) << Three(0xDB, 0x6D, 0xB6);
    for (int d = 43; d <= 46; ++d)
        passes << Sequence(d);
    return passes;
}

QVector<PassStep> Pfitzner()
{
    QVector<PassStep> passes;
    for (int p = 0; p <= 32; ++p)
        passes << Sequence(42 + p, true);
    return passes;
}

struct AlgorithmRow
{
    const char* menuName;
    const char* logName;
    const char* passLabel;
};

// Index, settings-dialog text, log name and pass label, as the settings store them.
const AlgorithmRow kRows[kAlgorithmCount] = {
    {"Zeroes", "Zeroes", "1 Write Pass"},
    {"Pseudo-random", "Pseudo random", "1 Write Pass"},
    {"Pseudo-random & Zeroes (2 passes)", "Pseudo random & Zeroes", "2 Write Passes"},
    {"Random Random Zero (6 passes)", "Random random & Zeroes", "6 Write Passes"},
    {"US Department of Defense, DoD 5220.22-M (3 passes)", "DoD 5200.22-M", "3 Write Passes"},
    {"US Department of Defense, DoD 5200.22-M (ECE)(7 passes)", "DoD 5200.22-M", "7 Write Passes"},
    {"US Department of Defense, DoD 5200.28-STD (7 passes)", "DoD 5200.28-STD", "7 Write Passes"},
    {"Russian Standard - GOST-R-50739-95 (2 passes)", "Russian Standard - GOST", "2 Write Passes"},
    {"B.Schneier's algorithm (7 passes)", "B.Schneiers's algorithm", "7 Write Passes"},
    {"German Standard, VSITR (7 passes)", "German Standard, VSITR", "7 Write Passes"},
    {"Peter Gutmann (35 passes)", "Peter Gutmann", "35 Write Passes"},
    {"US Army AR 380-19 (3 passes)", "US Army AR 380-19", "3 Write Passes"},
    {"North Atlantic Treaty Organization-NATO Standard (7 passes)", "North Atlantic Treaty Organization Standard",
     "7 Write Passes"},
    {"US Air Force, AFSSI 5020 (3 passes)", "US Air Force, AFSSI 5020", "3 Write Passes"},
    {"Pfitzner algorithm (33 passes)", "Pfitzner algorithm", "33 Write Passes"},
    {"Canadian RCMP TSSIT OPS-II (4 passes)", "Canadian RCMP TSSIT OPS-II", "4 Write Passes"},
    {"British HMG IS5 (3 passes)", "British HMG IS5", "3 Write Passes"},
};

const char* const kVerificationMenu[kVerificationCount] = {"No Verification", "Random Verification",
                                                           "Total Verification"};
const char* const kVerificationLog[kVerificationCount] = {"No verification", "Random verification",
                                                          "Total verification"};

QVector<QVector<PassStep>> BuildTable()
{
    QVector<QVector<PassStep>> table(kAlgorithmCount);
    table[0] = {PassStep()};
    table[1] = {Random()};
    table[2] = {Random(), Fixed(0x00)};
    table[3] = Repeat({Random(), Random(), Fixed(0x00)}, 2);
    table[4] = DoD3();
    table[5] = DoD3() + QVector<PassStep>{Random()} + DoD3();
    table[6] = Repeat({Fixed(0x56), Fixed(0xAA)}, 3) + QVector<PassStep>{Random()};
    table[7] = {Fixed(0x00), Sequence(43)};
    table[8] = {Fixed(0x01), Fixed(0x00)};
    table[8] += Repeat({Sequence(43)}, 5);
    table[9] = Repeat({Fixed(0x00), Fixed(0x01)}, 3) + QVector<PassStep>{Sequence(43)};
    table[10] = Gutmann();
    table[11] = {Fixed(0x21), Fixed(0xDE), HalvedRandom(PassCheck::VerifyFinal)};
    table[12] = Repeat({Fixed(0x00), Fixed(0xFF)}, 3) + QVector<PassStep>{HalvedRandom()};
    table[13] = {Fixed(0x00), Fixed(0xFF), HalvedRandom(PassCheck::VerifyFinal)};
    table[14] = Pfitzner();
    table[15] = Repeat({Fixed(0x00), Fixed(0x01)}, 2);
    table[16] = {Fixed(0x00), Fixed(0xFF), Random(PassCheck::VerifyFinal)};
    return table;
}

} // namespace

const QVector<PassStep>& AlgorithmPasses(int algorithm)
{
    static const QVector<QVector<PassStep>> table = BuildTable();
    static const QVector<PassStep> none;
    return algorithm >= 0 && algorithm < kAlgorithmCount ? table[algorithm] : none;
}

int AlgorithmPassCount(int algorithm)
{
    return AlgorithmPasses(algorithm).size();
}

bool IsSelfVerifying(int algorithm)
{
    return algorithm == 4 || algorithm == 11 || algorithm == 13 || algorithm == 16;
}

QString AlgorithmMenuName(int algorithm)
{
    if (algorithm < 0 || algorithm >= kAlgorithmCount)
        return QString();
    return QString::fromUtf8(kRows[algorithm].menuName);
}

QString AlgorithmLogName(int algorithm)
{
    if (algorithm < 0 || algorithm >= kAlgorithmCount)
        return QStringLiteral("  ");
    return QString::fromUtf8(kRows[algorithm].logName) + QLatin1Char(' ') +
           QString::fromUtf8(kRows[algorithm].passLabel) + QLatin1Char(' ');
}

QString VerificationMenuName(int mode)
{
    return mode >= 0 && mode < kVerificationCount ? QString::fromUtf8(kVerificationMenu[mode]) : QString();
}

QString VerificationLogName(int mode)
{
    return mode >= 0 && mode < kVerificationCount ? QString::fromUtf8(kVerificationLog[mode]) : QString();
}
