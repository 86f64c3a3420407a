// The walk that undoes a bzip2 block's sort. Each step is one load that depends on the one
// before, so a single walk waits on memory for every byte; this one runs several walks at once.
#pragma once
#include <cstddef>
#include <cstdint>

namespace ks::archive {

// Bytes of scratch the walk needs for a block of `blockSize` symbols.
std::size_t BlockWalkScratchSize(std::uint32_t blockSize);

// `links[i]` holds row i's byte in the low 8 bits and the row that follows row i from bit 8 up
// (below 2^23; bit 31 must be clear, the walk uses it and leaves it set). Writes the `size`
// bytes met from row `first` on into `out`. A block whose rows do not form one cycle (a
// repeating or a damaged block) repeats the cycle through `first`, as a plain walk would.
void WalkBlock(std::uint32_t* links, std::uint32_t size, std::uint32_t first, std::uint8_t* out,
               std::uint8_t* scratch);

} // namespace ks::archive
