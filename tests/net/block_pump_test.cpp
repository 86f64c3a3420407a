// Large reads handed on as 1,024-byte blocks: the blocks must be those a 1,024-byte read loop
// would have seen, whatever sizes the reads come back with.
#include "net/block_pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ks {
namespace {

std::string Body(std::size_t size) {
    std::string body(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        body[i] = static_cast<char>((i * 7 + 3) % 251);
    return body;
}

// The block sizes of a plain 1,024-byte read loop, final empty read included.
std::vector<std::size_t> IdealBlocks(std::size_t size) {
    std::vector<std::size_t> blocks;
    for (std::size_t done = 0; done < size; done += kTransferBlockSize)
        blocks.push_back(std::min(kTransferBlockSize, size - done));
    blocks.push_back(0);
    return blocks;
}

struct PumpRun {
    bool result = false;
    std::string data;
    std::vector<std::size_t> blocks;
    std::size_t largestRequest = 0;
    bool blockBeforeItsData = false;
};

// Serves body in reads of the given sizes (repeating the last), failing once failAfter bytes
// were served.
PumpRun Pump(const std::string& body, const std::vector<std::size_t>& readSizes,
             std::size_t failAfter = std::string::npos) {
    PumpRun run;
    std::size_t position = 0;
    std::size_t next = 0;
    std::size_t reported = 0;
    BlockPump pump(
        [&](char* buffer, std::size_t capacity, std::size_t& got) {
            run.largestRequest = std::max(run.largestRequest, capacity);
            if (position >= failAfter) {
                got = 0;
                return false;
            }
            std::size_t want = readSizes[std::min(next++, readSizes.size() - 1)];
            want = std::min({want, capacity, body.size() - position, failAfter - position});
            body.copy(buffer, want, position);
            position += want;
            got = want;
            return true;
        },
        [&](const char* data, std::size_t size) {
            EXPECT_GT(size, 0u);
            run.data.append(data, size);
        },
        [&](std::size_t size) {
            run.blocks.push_back(size);
            reported += size;
            if (reported > run.data.size())
                run.blockBeforeItsData = true;
        });
    run.result = pump.Run();
    EXPECT_EQ(pump.Moved(), run.data.size());
    return run;
}

struct PumpCase {
    const char* name;
    std::size_t bodySize;
    std::vector<std::size_t> readSizes;
};

class BlockPumpTest : public testing::TestWithParam<PumpCase> {};

TEST_P(BlockPumpTest, HandsOnTheBlocksOfA1024ByteLoop) {
    const std::string body = Body(GetParam().bodySize);
    const PumpRun run = Pump(body, GetParam().readSizes);
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.data, body);
    EXPECT_EQ(run.blocks, IdealBlocks(body.size()));
    EXPECT_FALSE(run.blockBeforeItsData);
    EXPECT_EQ(run.largestRequest, kTransferReadSize) << "reads must be large";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BlockPumpTest,
    testing::Values(PumpCase{"Empty", 0, {65536}}, PumpCase{"OneByte", 1, {65536}},
                    PumpCase{"Body2500", 2500, {65536}}, PumpCase{"ExactBlock", 1024, {65536}},
                    PumpCase{"ExactRead", 65536, {65536}},
                    PumpCase{"ManyFullReads", 1000000, {65536}},
                    PumpCase{"ShortReadsCarryTails", 10000, {1000, 1, 1023, 2049, 7}},
                    PumpCase{"ByteByByte", 3000, {1}},
                    PumpCase{"OddReadsLargeBody", 300001, {65535, 1, 40000, 3}}),
    [](const auto& info) { return info.param.name; });

TEST(BlockPump, FailedReadEndsWithFalseAfterHandingOnWhatArrived) {
    const std::string body = Body(5000);
    const PumpRun run = Pump(body, {3000}, 3000);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.data, body.substr(0, 3000));
    EXPECT_EQ(run.blocks, IdealBlocks(3000));
}

TEST(BlockPump, FailingFirstReadGivesOnlyTheFinalEmptyBlock) {
    const PumpRun run = Pump(Body(10), {10}, 0);
    EXPECT_FALSE(run.result);
    EXPECT_EQ(run.blocks, std::vector<std::size_t>{0});
    EXPECT_TRUE(run.data.empty());
}

} // namespace
} // namespace ks
