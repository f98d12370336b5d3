#include "PassEngine.h"

#include "AlgorithmTable.h"
#include "Verification.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

PassEngineTesting::IoHooks g_hooks;
std::function<int()> g_drawSource;
thread_local int t_lastError = 0;
thread_local int t_failedPass = -1;
thread_local TransferObserver t_observer;
constexpr long long kSmallestPiece = 4096;
constexpr long long kMiddlePiece = 256 << 10;
// Large aligned writes bypass the page cache: the bytes are the same, the copy into the
// cache and its later write-back are saved, and the cache keeps what other programs use.
constexpr long long kDirectMinimum = 1 << 20;
constexpr long long kDirectAlign = 4096;

class DirectWrites
{
public:
    DirectWrites(int fd, bool wanted) : m_fd(fd)
    {
#ifdef O_DIRECT
        if (wanted) {
            m_flags = fcntl(fd, F_GETFL);
            m_on = m_flags >= 0 && fcntl(fd, F_SETFL, m_flags | O_DIRECT) == 0;
        }
#else
        Q_UNUSED(wanted);
#endif
    }
    ~DirectWrites()
    {
        Off();
    }
    DirectWrites(const DirectWrites&) = delete;
    DirectWrites& operator=(const DirectWrites&) = delete;
    bool On() const
    {
        return m_on;
    }
    void Off()
    {
        if (m_on)
            fcntl(m_fd, F_SETFL, m_flags);
        m_on = false;
    }

private:
    int m_fd;
    int m_flags = 0;
    bool m_on = false;
};

// Copies the first `filled` bytes over the rest of [0, length) by doubling, so a repeating
// cycle costs a handful of memcpy calls whatever the range's size.
void RepeatPrefix(unsigned char* buffer, long long filled, long long length)
{
    while (filled < length) {
        const long long n = std::min(filled, length - filled);
        std::memcpy(buffer + filled, buffer, static_cast<size_t>(n));
        filled += n;
    }
}

// The low 32 bits of blockCount × blockSize as a signed 32-bit value.
int32_t PatternSpan32(long blockSize, long blockCount)
{
    const uint32_t product = static_cast<uint32_t>(static_cast<uint64_t>(static_cast<uint32_t>(blockCount)) *
                                                   static_cast<uint64_t>(blockSize));
    return static_cast<int32_t>(product);
}

int HalvedDraw()
{
    int r = DrawRandomValue();
    while (r > 255)
        r >>= 1;
    return r;
}

// Keyed sequence: byte j of each block is (j mod 256) XOR key, blockCount blocks from the
// front; zeroes after them.
PassContent SequenceOver(long long length, const long* geometry, int key)
{
    PassContent content;
    content.shape = PassContent::Shape::Sequence;
    content.value = static_cast<unsigned char>(key);
    content.blockSize = geometry[0] > 0 ? geometry[0] : 1;
    const long long blockCount = static_cast<int32_t>(geometry[1]);
    if (geometry[0] > 0 && blockCount > 0)
        content.span = blockCount > length / content.blockSize ? length : content.blockSize * blockCount;
    return content;
}

// Three-byte pattern at every multiple of three below T = blockCount × blockSize − 3
// (32-bit arithmetic); the rest of the range is zero.
PassContent ThreeByteOver(long long length, const long* geometry, const unsigned char* abc)
{
    PassContent content;
    content.shape = PassContent::Shape::ThreeByte;
    std::memcpy(content.abc, abc, 3);
    const int32_t t = static_cast<int32_t>(static_cast<uint32_t>(PatternSpan32(geometry[0], geometry[1])) - 3u);
    if (t > 0)
        content.span = std::min<long long>(length, 3LL * ((static_cast<long long>(t) + 2) / 3));
    return content;
}

PassContent ByteContent(int value)
{
    PassContent content;
    content.value = static_cast<unsigned char>(value);
    return content;
}

thread_local PassContent t_lastPass;

// What `step` writes over a range of `length` bytes, its random values drawn now.
PassContent ResolvePass(const PassStep& step, long long length, const long* geometry)
{
    switch (step.kind) {
    case PassKind::Fixed:
        return ByteContent(step.bytes[0]);
    case PassKind::RandomByte:
        return ByteContent(DrawRandomValue() % 256);
    case PassKind::HalvedRandomByte:
        return ByteContent(HalvedDraw());
    case PassKind::Sequence:
        return SequenceOver(length, geometry, DrawRandomValue() % step.divisor + 48);
    case PassKind::HalvedSequence:
        return SequenceOver(length, geometry, HalvedDraw() % step.divisor + 48);
    case PassKind::ThreeByte:
        return ThreeByteOver(length, geometry, step.bytes);
    case PassKind::Rewrite:
        break;
    }
    return t_lastPass;
}

bool Transfer(int fd, long long offset, unsigned char* buffer, long long length, bool write)
{
    const auto& hooks = PassEngineTesting::Hooks();
    if (write && hooks.onWrite) {
        errno = 0;
        if (!hooks.onWrite(offset, buffer, length)) {
            t_lastError = errno ? errno : EIO;
            return false;
        }
    }
    if (lseek(fd, offset, SEEK_SET) != offset) {
        t_lastError = errno;
        return false;
    }
    long long done = 0;
    long long piece = t_observer ? std::min(length, kObservedPiece) : length;
    bool flushedSinceProgress = false;
    DirectWrites direct(fd, write && length >= kDirectMinimum);
    while (done < length) {
        long long want = std::min(piece, length - done);
        if (direct.On()) {
            const bool aligned =
                (offset + done) % kDirectAlign == 0 && reinterpret_cast<uintptr_t>(buffer + done) % kDirectAlign == 0;
            if (!aligned || want < kDirectAlign)
                direct.Off();
            else
                want -= want % kDirectAlign;
        }
        const ssize_t n = write ? ::write(fd, buffer + done, static_cast<size_t>(want))
                                : ::read(fd, buffer + done, static_cast<size_t>(want));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EINVAL && direct.On()) {
            direct.Off(); // the file system takes no direct I/O: write through the page cache
            continue;
        }
        if (n < 0 && errno == ENOSPC && write) {
            // A nearly full volume keeps space back for data still in the page cache: once
            // that data is flushed it may take more, and smaller writes may fit where a large
            // one does not. A filler file must take every block that can still be had.
            if (!flushedSinceProgress) {
                flushedSinceProgress = true;
                FlushToMedium(fd);
                continue;
            }
            if (want > kSmallestPiece) {
                piece = want > kMiddlePiece ? kMiddlePiece : kSmallestPiece;
                continue;
            }
        }
        if (n <= 0) {
            t_lastError = n < 0 ? errno : (write ? ENOSPC : 0);
            return false;
        }
        done += n;
        flushedSinceProgress = false;
        if (t_observer && !t_observer(n, write)) {
            t_lastError = ECANCELED;
            return false;
        }
    }
    if (!write && hooks.onRead)
        hooks.onRead(offset, buffer, length);
    t_lastError = 0;
    return true;
}

int OpenFlags()
{
    return O_RDWR | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
}

} // namespace

void PassContent::Build(unsigned char* out, long long at, long long n) const
{
    if (shape == Shape::Byte) {
        std::memset(out, value, static_cast<size_t>(n));
        return;
    }
    // The pattern runs from the range's start: a window begins at its phase there.
    const long long inside = std::max(0LL, std::min(n, span - at));
    if (shape == Shape::ThreeByte) {
        const long long head = std::min<long long>(3, inside);
        for (long long j = 0; j < head; ++j)
            out[j] = abc[(at + j) % 3];
        RepeatPrefix(out, head, inside); // the prefix stays a multiple of three
    } else if (blockSize % 256 == 0) {
        const long long head = std::min<long long>(256, inside);
        for (long long j = 0; j < head; ++j)
            out[j] = static_cast<unsigned char>(((at + j) & 0xFF) ^ value);
        RepeatPrefix(out, head, inside);
    } else {
        for (long long j = 0; j < inside; ++j)
            out[j] = static_cast<unsigned char>((((at + j) % blockSize) & 0xFF) ^ value);
    }
    std::memset(out + inside, 0, static_cast<size_t>(n - inside));
}

int PassContent::Uniform() const
{
    if (shape == Shape::Byte)
        return value;
    return span <= 0 ? 0 : -1;
}

bool PassContent::Repeats(long long builtAt, long long at, long long n) const
{
    if (shape == Shape::Byte)
        return true;
    if (builtAt + n > span || at + n > span)
        return false;
    const long long period = shape == Shape::ThreeByte ? 3 : blockSize % 256 == 0 ? 256 : blockSize;
    return (at - builtAt) % period == 0;
}

const PassContent& LastPass()
{
    return t_lastPass;
}

namespace PassEngineTesting {
void SetIoHooks(const IoHooks& hooks)
{
    g_hooks = hooks;
}
void ClearIoHooks()
{
    g_hooks = IoHooks();
}
const IoHooks& Hooks()
{
    return g_hooks;
}
void SetDrawnValues(const std::function<int()>& source)
{
    g_drawSource = source;
}
} // namespace PassEngineTesting

int DrawRandomValue()
{
    if (g_drawSource)
        return g_drawSource();
    return static_cast<int>(QRandomGenerator::global()->generate() & 0x7FFFFFFFu);
}

void SetTransferObserver(TransferObserver observer)
{
    t_observer = std::move(observer);
}

int LastTransferError()
{
    return t_lastError;
}

unsigned char* AllocatePassBuffer(long long size)
{
    if (size <= 0)
        return nullptr;
    // Anonymous pages read as zero and cost memory only once written.
    void* p = mmap(nullptr, static_cast<size_t>(size), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        return nullptr;
    t_lastPass = PassContent();
    return static_cast<unsigned char*>(p);
}

void AdviseLargePages(unsigned char* buffer, long long size)
{
#ifdef MADV_HUGEPAGE
    madvise(buffer, static_cast<size_t>(size), MADV_HUGEPAGE);
#else
    Q_UNUSED(buffer);
    Q_UNUSED(size);
#endif
}

void FreePassBuffer(unsigned char* buffer, long long size)
{
    if (buffer)
        munmap(buffer, static_cast<size_t>(size));
}

bool FlushToMedium(int fd)
{
#ifdef F_FULLFSYNC
    if (fcntl(fd, F_FULLFSYNC) == 0)
        return true;
#endif
    return fsync(fd) == 0;
}

int UniformPassByte(int algorithm, long long length)
{
    const QVector<PassStep>& passes = AlgorithmPasses(algorithm);
    if (passes.size() != 1 || passes.at(0).check != PassCheck::None || length < 1)
        return -1;
    if (passes.at(0).kind == PassKind::Fixed)
        return passes.at(0).bytes[0];
    // A rewrite writes the last pass again.
    return passes.at(0).kind == PassKind::Rewrite ? t_lastPass.Uniform() : -1;
}

bool FlushFileSystem(int fd)
{
#ifdef __linux__
    return ::syncfs(fd) == 0;
#else
    return FlushToMedium(fd);
#endif
}

void DropFromCache(int fd, long long offset, long long length)
{
#ifdef POSIX_FADV_DONTNEED
    posix_fadvise(fd, offset, length, POSIX_FADV_DONTNEED);
#else
    Q_UNUSED(fd);
    Q_UNUSED(offset);
    Q_UNUSED(length);
#endif
}

void FillPassBytes(const PassStep& step, unsigned char* buffer, long long length, const long* geometry)
{
    t_lastPass = ResolvePass(step, length, geometry);
    t_lastPass.Build(buffer, 0, length);
}

bool OnFlushDisk(long long offset, long long length, const char* path, int fd, bool dropCache)
{
    const auto& hooks = PassEngineTesting::Hooks();
    if (hooks.onFlush && !hooks.onFlush())
        return false;
    int target = fd;
    if (fd < 1) {
        target = ::open(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (target < 0)
            return false;
    }
    const bool ok = FlushToMedium(target);
#ifdef POSIX_FADV_DONTNEED
    if (ok && dropCache)
        posix_fadvise(target, offset, length, POSIX_FADV_DONTNEED);
#else
    Q_UNUSED(offset);
    Q_UNUSED(length);
    Q_UNUSED(dropCache);
#endif
    if (target != fd)
        ::close(target);
    return ok;
}

int OnOpenDisk(const char* path)
{
    return ::open(path, OpenFlags());
}

bool OnCloseDisk(int fd)
{
    if (fd != 0)
        ::close(fd);
    return true;
}

bool OnReadDisk(long long offset, unsigned char* buffer, long long length, const char* path, int fd, long* geometry,
                int write)
{
    if (fd < 1)
        return OnReadPhysicalDisk(offset, buffer, length, path, geometry, write);
    return Transfer(fd, offset, buffer, length, write != 0);
}

bool OnReadPhysicalDisk(long long offset, unsigned char* buffer, long long length, const char* path, long* geometry,
                        int write)
{
    Q_UNUSED(geometry);
    const int fd = ::open(path, OpenFlags());
    if (fd < 1) {
        t_lastError = errno;
        if (fd == 0)
            ::close(fd);
        return false;
    }
    const bool ok = Transfer(fd, offset, buffer, length, write != 0);
    ::close(fd);
    return ok;
}

bool WritePass(long long offset, const PassContent& content, unsigned char* window, long long length, const char* path,
               int fd, long* geometry)
{
    long long builtAt = 0;
    long long built = 0;
    for (long long at = 0; at < length;) {
        const long long n = std::min(kPassWindow, length - at);
        if (n > built || !content.Repeats(builtAt, at, n)) {
            content.Build(window, at, n);
            builtAt = at;
            built = n;
        }
        if (!OnReadDisk(offset + at, window, n, path, fd, geometry, 1))
            return false;
        at += n;
    }
    return true;
}

int LastFailedPass()
{
    return t_failedPass;
}

bool WipeNow(long long offset, unsigned char* buffer, long long length, char* path, int fd, long* geometry,
             int algorithm, int firstPass)
{
    const QVector<PassStep>& passes = AlgorithmPasses(algorithm);
    t_failedPass = -1;
    if (passes.isEmpty()) {
        t_lastError = EINVAL; // an algorithm the table does not know: nothing would be written
        return false;
    }
    if (firstPass > 0 && firstPass < passes.size() && !OnFlushDisk(offset, length, path, fd, false)) {
        t_failedPass = firstPass - 1;
        return false;
    }
    for (int i = std::max(firstPass, 0); i < passes.size(); ++i) {
        const PassStep& step = passes.at(i);
        t_lastPass = ResolvePass(step, length, geometry);
        const PassContent content = t_lastPass;
        t_failedPass = i;
        if (!WritePass(offset, content, buffer, length, path, fd, geometry))
            return false;
        // Every pass but the last must reach the medium before the next one replaces it in
        // the page cache; the last is flushed by the caller's verification.
        if (i + 1 < passes.size() && !OnFlushDisk(offset, length, path, fd, false))
            return false;
        if (step.check != PassCheck::None && !Verification(offset, content, buffer, length, path, fd, geometry, true,
                                                           step.check == PassCheck::VerifyFinal))
            return false;
    }
    t_failedPass = -1;
    return true;
}
