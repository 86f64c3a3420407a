// Moves a response body in large reads and hands it on in 1,024-byte blocks, so that every
// block-level observable (one progress call per block, the final empty block) stays as a
// 1,024-byte read loop would give it, at the speed of large reads.
#pragma once
#include <cstddef>
#include <functional>
#include <vector>

namespace ks {

constexpr std::size_t kTransferBlockSize = 1024;
constexpr std::size_t kTransferReadSize = 64 * 1024;

class BlockPump {
public:
    // Fills up to capacity bytes and sets got; false when the read failed. got == 0 ends
    // the body.
    using Reader = std::function<bool(char* buffer, std::size_t capacity, std::size_t& got)>;
    // Receives the bytes of one or more whole blocks at once (never an empty range).
    using DataSink = std::function<void(const char* data, std::size_t size)>;
    // Called once per block with its size, after its bytes went to the data sink; the last
    // call, for the read that found the end, has size 0.
    using BlockSink = std::function<void(std::size_t size)>;

    BlockPump(Reader reader, DataSink data, BlockSink block);

    // Runs to the end of the body. Returns false when a read failed; the blocks that
    // arrived before the failure and the final empty block are handed on all the same.
    bool Run();

    // Bytes handed on so far.
    std::size_t Moved() const { return moved_; }

private:
    void HandOn(std::size_t size);

    Reader reader_;
    DataSink data_;
    BlockSink block_;
    std::vector<char> buffer_;
    std::size_t moved_ = 0;
};

} // namespace ks
