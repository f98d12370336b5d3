// The pass engine: opens a file without following links and overwrites one range of it once
// per pass of an overwrite algorithm, with the bytes each pass prescribes.
#pragma once

#include <functional>

// The largest range one call of the pass engine overwrites (a chunk of an item).
constexpr long long kChunkSize = 0x10000000;
// A pass is built and written one window at a time: whole 256-byte cycles and 4 KiB blocks (as
// a direct write needs), large enough for the device's rate, and one progress piece. The size
// of the writes decides which blocks a file system hands out last to a filler: keep it.
constexpr long long kPassWindow = 16LL << 20;

// What one pass writes over a range, its drawn values fixed. Any window of the range can be
// built from it, so no buffer holds a whole chunk, and a range is written again or compared
// without keeping its bytes.
struct PassContent
{
    enum class Shape
    {
        Byte,     // `value` throughout
        Sequence, // ((position mod blockSize) mod 256) XOR `value` over [0, span), then zeroes
        ThreeByte // abc[position mod 3] over [0, span), then zeroes
    };
    Shape shape = Shape::Byte;
    unsigned char value = 0;
    unsigned char abc[3] = {0, 0, 0};
    long long blockSize = 1;
    long long span = 0;
    // Bytes [at, at + n) of the range into `out`; position 0 is the start of the range.
    void Build(unsigned char* out, long long at, long long n) const;
    // The byte found throughout the range, or -1.
    int Uniform() const;
    // True when the window [at, at + n) holds the same bytes as [builtAt, builtAt + n).
    bool Repeats(long long builtAt, long long at, long long n) const;
};

// What the last pass on this thread wrote (or FillPassBytes built): what a Rewrite step writes
// again and what the checks of a written range compare with. Zeroes after AllocatePassBuffer.
const PassContent& LastPass();

// Runs every pass of `algorithm` over [offset, offset + length); `geometry` is
// {blockSize, blockCount}. `buffer` is the window the passes are built in: it holds at least
// min(length, kPassWindow) bytes. True when every pass and every self-verification succeeded;
// false for an algorithm outside the table. From `firstPass` on, the passes before it being on
// the range already (they are flushed first).
bool WipeNow(long long offset, unsigned char* buffer, long long length, char* path, int fd, long* geometry,
             int algorithm, int firstPass = 0);
// The index of the pass whose write or check made the last WipeNow on this thread fail; -1.
int LastFailedPass();
// Writes `content` over [offset, offset + length), window by window through `window`.
bool WritePass(long long offset, const PassContent& content, unsigned char* window, long long length, const char* path,
               int fd, long* geometry);

// Opens a file for reading and writing, non-blocking, never through a symbolic link, without
// creating or truncating it. The descriptor, or a negative value.
int OnOpenDisk(const char* path);
bool OnCloseDisk(int fd);

// Writes (`write` != 0) or reads exactly `length` bytes at `offset`, through `fd` when it is
// at least 1, else through `path` (OnReadPhysicalDisk).
bool OnReadDisk(long long offset, unsigned char* buffer, long long length, const char* path, int fd, long* geometry,
                int write);
bool OnReadPhysicalDisk(long long offset, unsigned char* buffer, long long length, const char* path, long* geometry,
                        int write);

// Writes the file's data through to the medium (fsync; F_FULLFSYNC where there is one).
bool FlushToMedium(int fd);
// The byte a one-pass `algorithm` writes everywhere in a range of `length` bytes (a Rewrite
// as LastPass() stands), or -1.
int UniformPassByte(int algorithm, long long length);

// Writes every dirty page of the file system that holds `fd` through to the medium, in one
// round (syncfs): how a batch of small files shares its flushes. False when any write-back on
// that file system failed since `fd` was opened; then flush each file to learn which.
bool FlushFileSystem(int fd);
// Drops [offset, offset + length) of a flushed file from the page cache, so that the next read
// of it comes from the medium.
void DropFromCache(int fd, long long offset, long long length);
// Fills `length` bytes of `buffer` with what `step` writes (a Rewrite step what LastPass() holds),
// drawing its random values as a pass of the engine would; the step becomes LastPass().
struct PassStep;
void FillPassBytes(const PassStep& step, unsigned char* buffer, long long length, const long* geometry);

// Flushes the file behind `fd` (or `path` when fd < 1); with dropCache, then drops the range
// from the page cache so that the next read of it comes from the medium.
bool OnFlushDisk(long long offset, long long length, const char* path, int fd, bool dropCache);

// Progress and stop hook of the calling thread: while one is set, every transfer is cut into
// pieces of at most kObservedPiece bytes and the observer is called after each piece written
// (`write` true) or read back, with its byte count. Returning false ends the transfer as a
// failure with LastTransferError() == ECANCELED, so a stop takes effect within one piece.
using TransferObserver = std::function<bool(long long bytes, bool write)>;
constexpr long long kObservedPiece = kPassWindow;
void SetTransferObserver(TransferObserver observer); // empty removes it

// The errno of the last failed transfer on this thread (0 after a success); the unused-space
// filler reads it to tell a full volume from other failures.
int LastTransferError();

// The pass buffer: `size` zero-filled bytes whose pages are only touched when a pass uses
// them (passes use one window of it), so memory stays small. Null when it cannot be had.
// LastPass() becomes zeroes, as the buffer reads.
unsigned char* AllocatePassBuffer(long long size);
void FreePassBuffer(unsigned char* buffer, long long size);
// Asks for large pages behind the buffer: faulting in a whole chunk gets much cheaper. Only
// worth it once large ranges are written (measured: it slows runs of small files).
void AdviseLargePages(unsigned char* buffer, long long size);

// Test seams; production never sets them. A write hook sees every write before it happens
// and makes it fail by returning false (errno as the hook leaves it, EIO if 0). A flush hook
// makes a flush fail by returning false. A read hook may alter the bytes read back.
namespace PassEngineTesting {
struct IoHooks
{
    std::function<bool(long long offset, const unsigned char* data, long long length)> onWrite;
    std::function<bool()> onFlush;
    std::function<void(long long offset, unsigned char* data, long long length)> onRead;
};
void SetIoHooks(const IoHooks& hooks);
void ClearIoHooks();
const IoHooks& Hooks();
// Fixes the values the random passes draw (in order, then repeating); empty restores chance.
void SetDrawnValues(const std::function<int()>& source);
} // namespace PassEngineTesting

// One value as the platform's rand() would give it (0..2^31-1).
int DrawRandomValue();
