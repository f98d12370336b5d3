// The pass engine: opens a file without following links and overwrites one range of it once
// per pass of an overwrite algorithm, with the bytes each pass prescribes.
#pragma once

#include <functional>

// The largest range written in one call, and the size of the pass buffer less its spare byte.
constexpr long long kChunkSize = 0x10000000;

// Runs every pass of `algorithm` over [offset, offset + length); `geometry` is
// {blockSize, blockCount}. True when every pass and every self-verification succeeded; false
// for an algorithm outside the table.
bool WipeNow(long long offset, unsigned char* buffer, long long length, char* path, int fd, long* geometry,
             int algorithm);

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
// The byte a one-pass `algorithm` writes everywhere in a range of `length` bytes (with
// `buffer` as the pass buffer before the pass), or -1.
int UniformPassByte(int algorithm, const unsigned char* buffer, long long length);

// Writes every dirty page of the file system that holds `fd` through to the medium, in one
// round (syncfs): how a batch of small files shares its flushes. False when any write-back on
// that file system failed since `fd` was opened; then flush each file to learn which.
bool FlushFileSystem(int fd);
// Drops [offset, offset + length) of a flushed file from the page cache, so that the next read
// of it comes from the medium.
void DropFromCache(int fd, long long offset, long long length);
// Fills `length` bytes of `buffer` with what `step` writes (a Rewrite step leaves them), drawing
// its random values as a pass of the engine would.
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
constexpr long long kObservedPiece = 16LL << 20;
void SetTransferObserver(TransferObserver observer); // empty removes it

// The errno of the last failed transfer on this thread (0 after a success); the unused-space
// filler reads it to tell a full volume from other failures.
int LastTransferError();

// The pass buffer: `size` zero-filled bytes whose pages are only touched when a pass uses
// them, so erasing small files keeps memory small. Null when it cannot be had.
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
