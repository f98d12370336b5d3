#include "Verification.h"

#include "AlgorithmTable.h"
#include "PassEngine.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

// Read-back goes in pieces so that verifying a 256 MiB chunk costs little memory.
constexpr long long kComparePiece = 2LL << 20;

bool Flush(long long offset, long long length, const char* path, int fd)
{
    return OnFlushDisk(offset, length, path, fd, true);
}

// True when `n` bytes read back at position `at` of the range hold what `expected` wrote there;
// `window` may be used to build the expected bytes.
bool Matches(const unsigned char* got, const PassContent& expected, unsigned char* window, long long at, long long n)
{
    if (expected.shape == PassContent::Shape::Byte)
        return got[0] == expected.value && std::memcmp(got, got + 1, static_cast<size_t>(n - 1)) == 0;
    expected.Build(window, at, n);
    return std::memcmp(got, window, static_cast<size_t>(n)) == 0;
}

bool Compare(long long offset, const PassContent& expected, unsigned char* window, long long length, const char* path,
             int fd, long* geometry)
{
    const long long piece = std::min(length, kComparePiece);
    std::unique_ptr<unsigned char[]> scratch(
        new (std::nothrow) unsigned char[static_cast<size_t>(std::max(piece, 1LL))]);
    if (!scratch)
        return false;
    for (long long done = 0; done < length;) {
        const long long n = std::min(piece, length - done);
        if (!OnReadDisk(offset + done, scratch.get(), n, path, fd, geometry, 0))
            return false;
        if (!Matches(scratch.get(), expected, window, done, n))
            return false;
        done += n;
    }
    return true;
}

// Rewrite once, flush, and compare what reached the medium.
bool RewriteAndCompare(long long offset, const PassContent& expected, unsigned char* window, long long length,
                       const char* path, int fd, long* geometry)
{
    if (!WritePass(offset, expected, window, length, path, fd, geometry))
        return false;
    if (!Flush(offset, length, path, fd))
        return false;
    return Compare(offset, expected, window, length, path, fd, geometry);
}

} // namespace

bool Verification(long long offset, const PassContent& expected, unsigned char* window, long long length, char* path,
                  int fd, long* geometry, bool readFirst, bool final)
{
    if (!readFirst) {
        if (Flush(offset, length, path, fd))
            return final ? Compare(offset, expected, window, length, path, fd, geometry) : true;
        return RewriteAndCompare(offset, expected, window, length, path, fd, geometry);
    }
    if (Compare(offset, expected, window, length, path, fd, geometry)) {
        if (!final || Flush(offset, length, path, fd))
            return true;
    }
    return RewriteAndCompare(offset, expected, window, length, path, fd, geometry);
}

long long VerificationInterval(long long size, int mode, long long chunkSize)
{
    const long long scaled = size * 512;
    const long long q = chunkSize > 0 ? scaled / chunkSize : 0;
    const long long small = 1073741824LL - chunkSize;
    long long n = 0;
    if (mode == 1)
        n = scaled < small ? 100 : q / 1000;
    else if (mode == 2)
        n = scaled < small ? 10 : q / 10000;
    else
        n = q / 100;
    return n < 1 ? 1 : n;
}

ChunkPolicy::ChunkPolicy(long long size, int algorithm, int mode, long long chunkSize)
    : m_size(size), m_interval(VerificationInterval(size, mode, chunkSize)), m_mode(mode),
      m_selfVerifying(IsSelfVerifying(algorithm))
{
}

ChunkPolicy::Check ChunkPolicy::Next(long long index, long long offset, bool last)
{
    const bool selected = index % m_interval == 0 || offset == 0 || last;
    if (m_selfVerifying)
        return selected ? Check::ReadBack : Check::None;
    if (m_mode == 1 || m_mode == 2)
        return selected ? Check::FlushCompare : Check::Flush;
    const long long p = m_size > 0 ? offset * 100 / m_size : 0;
    const bool stepReached = p == m_step;
    if (stepReached)
        ++m_step;
    return stepReached || offset == 0 || last ? Check::FlushCompare : Check::Flush;
}

bool RunCheck(ChunkPolicy::Check check, long long offset, unsigned char* buffer, long long length, char* path, int fd,
              long* geometry)
{
    switch (check) {
    case ChunkPolicy::Check::None:
        return true;
    case ChunkPolicy::Check::ReadBack:
        return Verification(offset, LastPass(), buffer, length, path, fd, geometry, true, false);
    case ChunkPolicy::Check::Flush:
        return Verification(offset, LastPass(), buffer, length, path, fd, geometry, false, false);
    case ChunkPolicy::Check::FlushCompare:
        return Verification(offset, LastPass(), buffer, length, path, fd, geometry, false, true);
    }
    return false;
}
