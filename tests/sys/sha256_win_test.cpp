// SHA-256 through the system's provider against published vectors, whatever the pieces.
#include "sys/sha256_win.h"

#include "sys/background_sha256_win.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/common/test_paths.h"

namespace ks {
namespace {

struct Vector {
    const char* name;
    std::string data;
    const char* hex;
};

const Vector kVectors[] = {
    {"Empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
    {"Abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
    {"TwoBlocks", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
     "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
    {"MillionA", std::string(1000000, 'a'),
     "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
};

class Sha256Vectors : public testing::TestWithParam<Vector> {};

TEST_P(Sha256Vectors, WholeInOddPiecesAndFromAFileGiveTheSameDigest) {
    const Vector& v = GetParam();
    Sha256 hash;
    hash.Update(v.data.data(), v.data.size());
    EXPECT_EQ(Sha256Hex(hash.Finish()), v.hex) << "in one piece";

    // Pieces that straddle the 64-byte block boundary in every way; after Finish the same
    // object starts again from nothing.
    const std::size_t sizes[] = {1, 63, 7, 4093, 65, 0, 128, 100003};
    std::size_t done = 0;
    for (std::size_t i = 0; done < v.data.size(); ++i) {
        const std::size_t piece = std::min(sizes[i % std::size(sizes)], v.data.size() - done);
        hash.Update(v.data.data() + done, piece);
        done += piece;
    }
    EXPECT_EQ(Sha256Hex(hash.Finish()), v.hex) << "in odd pieces";

    BackgroundSha256 background;
    done = 0;
    for (std::size_t i = 0; done < v.data.size(); ++i) {
        const std::size_t piece = std::min(sizes[i % std::size(sizes)], v.data.size() - done);
        background.Update(v.data.data() + done, piece);
        done += piece;
    }
    EXPECT_EQ(Sha256Hex(background.Finish()), v.hex) << "on the worker thread";

    kstest::ScratchFolder folder("sha256");
    const std::string path = folder.File("data.bin");
    std::ofstream(path, std::ios::binary) << v.data;
    Sha256Digest digest{};
    ASSERT_TRUE(FileSha256(path, digest));
    EXPECT_EQ(Sha256Hex(digest), v.hex) << "from a file";
}

INSTANTIATE_TEST_SUITE_P(Published, Sha256Vectors, testing::ValuesIn(kVectors),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FileSha256, MissingFileIsNoDigest) {
    kstest::ScratchFolder folder("sha256-missing");
    Sha256Digest digest{};
    digest.fill(7);
    EXPECT_FALSE(FileSha256(folder.File("missing.bin"), digest));
    EXPECT_EQ(digest[0], 7) << "left as it was";
}

// Far more than the worker may have queued, so the producer must wait for it; a hasher
// dropped with blocks still queued ends without waiting for them.
TEST(BackgroundSha256, LongStreamMatchesAndAnAbandonedOneEnds) {
    std::string data(5 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i * 2654435761u >> 13);
    Sha256 direct;
    direct.Update(data.data(), data.size());
    BackgroundSha256 background;
    for (std::size_t done = 0; done < data.size(); done += 4096)
        background.Update(data.data() + done, std::min<std::size_t>(4096, data.size() - done));
    EXPECT_EQ(background.Finish(), direct.Finish());

    BackgroundSha256 abandoned;
    abandoned.Update(data.data(), data.size());
}

} // namespace
} // namespace ks
