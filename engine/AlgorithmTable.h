// The seventeen overwrite algorithms as data: every pass with the bytes it writes and the
// check that follows it, and the names the settings dialog, the log and the certificate show.
#pragma once

#include <QString>
#include <QVector>

enum class PassKind
{
    Fixed,            // every byte set to `bytes[0]`
    RandomByte,       // one drawn value mod 256 for the whole pass
    HalvedRandomByte, // one drawn value, halved until it fits in a byte
    Sequence,         // 256-byte cycle (i mod 256) XOR key, key = (drawn mod divisor) + 48
    HalvedSequence,   // the same with the drawn value halved first
    ThreeByte,        // bytes[0..2] repeated
    Rewrite           // the buffer as it is
};

enum class PassCheck
{
    None,
    Verify,     // read back (engine's own verification)
    VerifyFinal // read back, then flush and compare what reached the disk
};

struct PassStep
{
    PassKind kind = PassKind::Rewrite;
    unsigned char bytes[3] = {0, 0, 0};
    int divisor = 0;
    PassCheck check = PassCheck::None;
};

constexpr int kAlgorithmCount = 17;
constexpr int kVerificationCount = 3;

// The passes of `algorithm` in the order they are written; empty outside 0..16.
const QVector<PassStep>& AlgorithmPasses(int algorithm);
// The number of write passes (what the progress of a multi-pass erasure counts).
int AlgorithmPassCount(int algorithm);
// True for the algorithms that read their own passes back (4, 11, 13, 16).
bool IsSelfVerifying(int algorithm);

// The settings dialog's texts ("Zeroes", "Pseudo-random", ...); empty outside the range.
QString AlgorithmMenuName(int algorithm);
QString VerificationMenuName(int mode);
// The log and certificate texts; MainWipeThread::GetAlgorithmName/GetVerificationName
// return these.
QString AlgorithmLogName(int algorithm);
QString VerificationLogName(int mode);
