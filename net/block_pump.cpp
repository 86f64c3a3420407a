// Taking a response body from WinInet in large reads and handing it on block by block.
#include "net/block_pump.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace ks {

BlockPump::BlockPump(Reader reader, DataSink data, BlockSink block)
    : reader_(std::move(reader)), data_(std::move(data)), block_(std::move(block)) {}

void BlockPump::HandOn(std::size_t size) {
    data_(buffer_.data(), size);
    moved_ += size;
    for (std::size_t done = 0; done < size; done += kTransferBlockSize)
        block_(std::min(kTransferBlockSize, size - done));
}

bool BlockPump::Run() {
    buffer_.resize(kTransferReadSize);
    std::size_t held = 0;
    bool readFailed = false;
    for (;;) {
        std::size_t got = 0;
        readFailed = !reader_(buffer_.data() + held, buffer_.size() - held, got);
        held += std::min(got, buffer_.size() - held);
        // Only whole blocks go on while more may follow; a short tail waits for the next read.
        const std::size_t whole = held / kTransferBlockSize * kTransferBlockSize;
        if (whole > 0) {
            HandOn(whole);
            std::memmove(buffer_.data(), buffer_.data() + whole, held - whole);
            held -= whole;
        }
        if (readFailed || got == 0)
            break;
    }
    if (held > 0)
        HandOn(held);
    block_(0);
    return !readFailed;
}

} // namespace ks
