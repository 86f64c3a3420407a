// Rows are marked at even spacing and a walk starts at each mark, all of them advancing in turn
// so that their loads overlap. A walk stops on reaching the next marked row; its bytes go to
// fixed-size pieces of the scratch, and the walks' outputs are then joined in cycle order,
// starting from the walk at `first`. Every row belongs to at most one walk, so the walks take
// `size` steps between them and the pieces never run out.
#include "archive/bzip2_block_walk.h"

#include <algorithm>
#include <cstring>

namespace ks::archive {
namespace {

constexpr unsigned kWalks = 16;
constexpr std::uint32_t kPiece = 4096;
constexpr std::uint32_t kMark = 0x80000000u;
constexpr std::uint32_t kNoPiece = 0xFFFFFFFFu;
// The largest block's pieces, plus a partly filled last piece per walk.
constexpr std::uint32_t kMaxPieces = 900000 / kPiece + kWalks + 3;

struct Walk {
    std::uint32_t entry = 0; // links[] entry of the row whose byte comes next
    std::uint8_t* out = nullptr;
    std::uint8_t* outEnd = nullptr;
    std::uint32_t firstPiece = kNoPiece;
    std::uint32_t lastPiece = kNoPiece;
    std::uint32_t fullPieces = 0;
    std::uint32_t stopRow = 0; // the marked row that ended it
};

std::uint32_t NextRow(std::uint32_t entry) {
    return (entry & ~kMark) >> 8;
}

} // namespace

std::size_t BlockWalkScratchSize(std::uint32_t blockSize) {
    return (std::size_t{blockSize} / kPiece + kWalks + 3) * kPiece;
}

void WalkBlock(std::uint32_t* links, std::uint32_t size, std::uint32_t first, std::uint8_t* out,
               std::uint8_t* scratch) {
    std::uint32_t starts[kWalks + 1];
    Walk walks[kWalks + 1];
    unsigned count = 0;
    auto start = [&](std::uint32_t row) {
        if (links[row] & kMark)
            return;
        links[row] |= kMark;
        starts[count] = row;
        walks[count].entry = links[row];
        ++count;
    };
    start(first);
    for (unsigned i = 0; i < kWalks; ++i)
        start(static_cast<std::uint32_t>(std::uint64_t{size} * i / kWalks));

    std::uint32_t pieceNext[kMaxPieces];
    std::uint32_t freePiece = 0;
    unsigned live[kWalks + 1];
    for (unsigned i = 0; i < count; ++i)
        live[i] = i;
    unsigned liveCount = count;
    while (liveCount > 0) {
        for (unsigned k = 0; k < liveCount;) {
            Walk& w = walks[live[k]];
            if (w.out == w.outEnd) {
                const std::uint32_t piece = freePiece++;
                if (w.lastPiece == kNoPiece) {
                    w.firstPiece = piece;
                } else {
                    pieceNext[w.lastPiece] = piece;
                    ++w.fullPieces;
                }
                w.lastPiece = piece;
                w.out = scratch + std::size_t{piece} * kPiece;
                w.outEnd = w.out + kPiece;
            }
            *w.out++ = static_cast<std::uint8_t>(w.entry);
            const std::uint32_t row = NextRow(w.entry);
            w.entry = links[row];
            if (w.entry & kMark) {
                w.stopRow = row;
                live[k] = live[--liveCount];
                continue;
            }
            ++k;
        }
    }

    // Join from the walk at `first` (walk 0) until the cycle comes back to it.
    std::uint32_t done = 0;
    unsigned at = 0;
    do {
        const Walk& w = walks[at];
        const std::uint32_t length =
            w.fullPieces * kPiece + static_cast<std::uint32_t>(w.out - (w.outEnd - kPiece));
        std::uint32_t piece = w.firstPiece;
        for (std::uint32_t left = length; left > 0;) {
            const std::uint32_t n = std::min(left, kPiece);
            std::memcpy(out + done, scratch + std::size_t{piece} * kPiece, n);
            done += n;
            left -= n;
            if (left > 0)
                piece = pieceNext[piece];
        }
        at = static_cast<unsigned>(std::find(starts, starts + count, w.stopRow) - starts);
    } while (at != 0);
    // A repeating block: the cycle through `first` is shorter than the block.
    for (std::uint32_t i = done; i < size; ++i)
        out[i] = out[i - done];
}

} // namespace ks::archive
