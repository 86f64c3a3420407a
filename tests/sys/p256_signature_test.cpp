// The key text and the DER signature form: what the check accepts, what it refuses.
#include "sys/p256_signature.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Repeat(const std::string& hex, int times) {
    std::string text;
    for (int i = 0; i < times; ++i)
        text += hex;
    return text;
}

const std::string kR = Repeat("11", 32);
const std::string kS = Repeat("22", 32);
const std::string kTopR = "80" + Repeat("11", 31);
const std::string kTopS = "90" + Repeat("22", 31);

struct DerCase {
    const char* name;
    std::string der;                      // hex
    std::optional<std::string> signature; // r||s hex; nothing when the input must be refused
};

std::ostream& operator<<(std::ostream& out, const DerCase& c) {
    return out << c.name;
}

class SignatureFromDer : public ::testing::TestWithParam<DerCase> {};

TEST_P(SignatureFromDer, ReadsStrictDerOnly) {
    const std::optional<std::string> signature = ks::P256SignatureFromDer(Bytes(GetParam().der));
    if (GetParam().signature)
        EXPECT_EQ(signature, Bytes(*GetParam().signature));
    else
        EXPECT_FALSE(signature);
}

const std::string kPlain = "3044"
                           "0220" +
                           kR + "0220" + kS;

INSTANTIATE_TEST_SUITE_P(
    Cases, SignatureFromDer,
    ::testing::Values(DerCase{"Plain", kPlain, kR + kS},
                      DerCase{"LeadingZeroBeforeATopBit",
                              "3046"
                              "022100" +
                                  kTopR + "022100" + kTopS,
                              kTopR + kTopS},
                      DerCase{"ShortNumbersArePadded",
                              "3006"
                              "020105"
                              "020107",
                              (Repeat("00", 31) + "05" + Repeat("00", 31) + "07")},
                      DerCase{"Empty", "", std::nullopt},
                      DerCase{"NotASequence",
                              "3144"
                              "0220" +
                                  kR + "0220" + kS,
                              std::nullopt},
                      DerCase{"SequenceLongerThanTheBytes",
                              "3045"
                              "0220" +
                                  kR + "0220" + kS,
                              std::nullopt},
                      DerCase{"BytesAfterTheSequence", kPlain + "00", std::nullopt},
                      DerCase{"LongLengthForm",
                              "308144"
                              "0220" +
                                  kR + "0220" + kS,
                              std::nullopt},
                      DerCase{"ThirdNumber",
                              "3047"
                              "0220" +
                                  kR + "0220" + kS + "020100",
                              std::nullopt},
                      DerCase{"SMissing",
                              "3022"
                              "0220" +
                                  kR,
                              std::nullopt},
                      DerCase{"NotAnInteger",
                              "3044"
                              "0320" +
                                  kR + "0220" + kS,
                              std::nullopt},
                      DerCase{"EmptyInteger",
                              "3024"
                              "0200"
                              "0220" +
                                  kS,
                              std::nullopt},
                      DerCase{"IntegerPastTheSequence",
                              "3044"
                              "0250" +
                                  kR + "0220" + kS,
                              std::nullopt},
                      DerCase{"Negative",
                              "3044"
                              "0220"
                              "81" +
                                  Repeat("11", 31) + "0220" + kS,
                              std::nullopt},
                      DerCase{"NeedlessLeadingZero",
                              "3045"
                              "022100" +
                                  kR + "0220" + kS,
                              std::nullopt},
                      DerCase{"NumberTooLong",
                              "3045"
                              "022101" +
                                  kR + "0220" + kS,
                              std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(P256PublicKeyFromText, HexPointInEitherCaseWithOrWithoutItsPrefix) {
    const std::string hex = Repeat("a1", 32) + Repeat("5b", 32);
    const std::string point = Bytes(hex);
    EXPECT_EQ(ks::P256PublicKeyFromText(hex), point);
    EXPECT_EQ(ks::P256PublicKeyFromText(Repeat("A1", 32) + Repeat("5B", 32)), point);
    EXPECT_EQ(ks::P256PublicKeyFromText("04" + hex), point);
    for (const std::string& refused :
         {std::string(), hex.substr(2), "05" + hex, hex + "0", "g" + hex.substr(1),
          hex.substr(0, 64) + " " + hex.substr(65)})
        EXPECT_FALSE(ks::P256PublicKeyFromText(refused)) << refused;
}

} // namespace
