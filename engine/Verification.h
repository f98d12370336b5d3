// Read-back verification of an overwritten range, and the policy that decides which chunks
// of an item are read back.
#pragma once

#include "PassEngine.h"

// Checks that [offset, offset + length) holds `expected` (see the pass engine for the other
// arguments; `window` is the pass buffer, free to build in). readFirst compares at once;
// otherwise the descriptor is flushed first and, when `final`, the range is read back from the
// medium (the page cache is dropped after the flush) and compared. A failed first check
// rewrites the range once.
bool Verification(long long offset, const PassContent& expected, unsigned char* window, long long length, char* path,
                  int fd, long* geometry, bool readFirst, bool final);

// The interval N of chunks between full read-backs for an item of `size` bytes.
long long VerificationInterval(long long size, int mode, long long chunkSize);

// Decides, chunk by chunk, how an item's successfully overwritten chunks are verified.
class ChunkPolicy
{
public:
    enum class Check
    {
        None,        // counts as verified
        ReadBack,    // Verification(readFirst = true, final = false)
        Flush,       // not read back: Verification(readFirst = false, final = false), or left to
                     // the flush that ends the item (the erasure worker does so)
        FlushCompare // Verification(readFirst = false, final = true)
    };

    ChunkPolicy(long long size, int algorithm, int mode, long long chunkSize);
    // Call once per chunk, in order.
    Check Next(long long index, long long offset, bool last);
    long long Interval() const { return m_interval; }

private:
    long long m_size;
    long long m_interval;
    long long m_step = 0;
    int m_mode;
    bool m_selfVerifying;
};

// Runs `check` over a range that LastPass() was just written to; `buffer` is the pass buffer.
bool RunCheck(ChunkPolicy::Check check, long long offset, unsigned char* buffer, long long length, char* path, int fd,
              long* geometry);
