// The legacy decoders' bit reader and output window: bit order across input blocks, when the
// input counts as exhausted, and how output is handed on.
#include "archive/legacy_bit_reader.h"
#include "archive/legacy_output_window.h"
#include "tests/archive/legacy_test_support.h"

namespace {

using namespace kstest::legacy;
using ks::archive::LegacyBitReader;
using ks::archive::LegacyInput;
using ks::archive::LegacyOutput;
using ks::archive::LegacyOutputWindow;

struct Feed {
    Bytes data;
    std::size_t step;
    std::size_t offset = 0;
    std::size_t callsAfterEnd = 0;
    std::size_t largestRequest = 0;
    LegacyInput Input() {
        return [this](std::uint8_t* buffer, std::size_t capacity) {
            largestRequest = std::max(largestRequest, capacity);
            if (offset == data.size())
                ++callsAfterEnd;
            const std::size_t n = std::min({capacity, step, data.size() - offset});
            std::copy_n(data.begin() + static_cast<long>(offset), n, buffer);
            offset += n;
            return n;
        };
    }
};

Bytes Pattern(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + (i >> 8));
    return bytes;
}

class BitReaderSteps : public ::testing::TestWithParam<std::size_t> {};

TEST_P(BitReaderSteps, ReturnsBitsLeastSignificantFirstAcrossBlocks) {
    Feed feed{Pattern(9001), GetParam()};
    const LegacyInput input = feed.Input();
    LegacyBitReader reader(input);
    std::size_t bit = 0;
    unsigned width = 1;
    const std::size_t total = feed.data.size() * 8;
    while (bit < total) {
        const unsigned n = static_cast<unsigned>(std::min<std::size_t>(width, total - bit));
        std::uint32_t expected = 0;
        for (unsigned i = 0; i < n; ++i, ++bit)
            expected |= static_cast<std::uint32_t>((feed.data[bit / 8] >> (bit % 8)) & 1u) << i;
        ASSERT_EQ(reader.Bits(n), expected) << "at bit " << bit;
        width = width % 16 + 1;
    }
    // Every real bit taken, none beyond: not exhausted yet, even after looking ahead.
    reader.Ensure(16);
    EXPECT_FALSE(reader.Exhausted());
    reader.Bits(1);
    EXPECT_TRUE(reader.Exhausted());
    reader.Bits(16);
    EXPECT_TRUE(reader.Exhausted());
    EXPECT_LE(feed.largestRequest, 4096u);
    // The input said "end" once; it is not asked again.
    EXPECT_EQ(feed.callsAfterEnd, 1u);
}

INSTANTIATE_TEST_SUITE_P(InputSteps, BitReaderSteps, ::testing::Values(1, 3, 8, 4095, 4096));

TEST(BitReaderEnd, EmptyInputIsExhaustedAtTheFirstBit) {
    Feed feed{{}, 4096};
    const LegacyInput input = feed.Input();
    LegacyBitReader reader(input);
    EXPECT_FALSE(reader.Exhausted());
    EXPECT_EQ(reader.Bits(9), 0u);
    EXPECT_TRUE(reader.Exhausted());
}

TEST(BitReaderEnd, LastPartialReadIsExhausted) {
    Feed feed{{0xFF}, 1};
    const LegacyInput input = feed.Input();
    LegacyBitReader reader(input);
    EXPECT_EQ(reader.Bits(7), 0x7Fu);
    EXPECT_FALSE(reader.Exhausted());
    EXPECT_EQ(reader.Bits(2), 1u); // one real bit, one stand-in zero
    EXPECT_TRUE(reader.Exhausted());
}

struct Sink {
    std::vector<std::size_t> blocks;
    Bytes data;
    LegacyOutput Output() {
        return [this](const std::uint8_t* p, std::size_t n) {
            blocks.push_back(n);
            data.insert(data.end(), p, p + n);
        };
    }
};

TEST(OutputWindow, HandsOnWhole32KiBBlocksThenTheRest) {
    Sink sink;
    const LegacyOutput output = sink.Output();
    LegacyOutputWindow window(100000, output);
    for (int i = 0; i < 40000; ++i)
        ASSERT_TRUE(window.Put(static_cast<std::uint8_t>(i)));
    ASSERT_TRUE(window.Copy(32768, 60000)); // reaches back past the newest block
    EXPECT_TRUE(window.AtLimit());
    EXPECT_FALSE(window.Put(1));
    EXPECT_FALSE(window.Copy(1, 1));
    window.Flush();
    EXPECT_EQ(sink.blocks, (std::vector<std::size_t>{32768, 32768, 32768, 1696}));
    ASSERT_EQ(sink.data.size(), 100000u);
    for (std::size_t i = 0; i < sink.data.size(); ++i) {
        const std::size_t source = i < 40000 ? i : i - 32768 * ((i - 40000) / 32768 + 1);
        ASSERT_EQ(sink.data[i], static_cast<std::uint8_t>(source)) << i;
    }
}

TEST(OutputWindow, ReferencesBeforeTheStartReadZero) {
    Sink sink;
    const LegacyOutput output = sink.Output();
    LegacyOutputWindow window(10, output);
    window.Put('a');
    EXPECT_TRUE(window.Copy(3, 5));
    window.Flush();
    EXPECT_EQ(sink.data, (Bytes{'a', 0, 0, 'a', 0, 0}));
}

TEST(OutputWindow, CopyIsCutAtTheDeclaredSize) {
    Sink sink;
    const LegacyOutput output = sink.Output();
    LegacyOutputWindow window(4, output);
    window.Put('a');
    EXPECT_FALSE(window.Copy(1, 10));
    window.Flush();
    EXPECT_EQ(sink.data, Text("aaaa"));
}

} // namespace
