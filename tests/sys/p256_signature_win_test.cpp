// The CNG signature check: a good signature over the exact bytes verifies, and nothing else
// does. Keys and signatures made with openssl (ecparam prime256v1, dgst -sha256 -sign).
#include "sys/p256_signature.h"

#include <gtest/gtest.h>

namespace {

std::string Bytes(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Changed(std::string text, std::size_t at) {
    text[at] = static_cast<char>(text[at] ^ 0x01);
    return text;
}

const std::string kKey = "e8f58bfc06bde9a38eb9d952197abc785c71f5b12d4f68d90948c2efb23f654b6df0ce47b"
                         "77ba1e0fa143cb72023d825cb9af02125eacc20da327b63d6bda400";
const std::string kOtherKey = "20cdec3c8b62e3313a29751f2009c1228a572fb3ec3f6f568d7caa661fd4476c2b54"
                              "3cac87fe12757d7dae8261e58dea0c80a76640ef28d74062fae67c690463";
const std::string kMessage = "[Keltra]\r\nzip=Keltra.zip\r\nversion=1.0.0.0\r\nsize=501345\r\n";
const std::string kSignature =
    Bytes("304402201280dd40ea6de3ee524dab37e74e6a2be02f0cb5cd5ac89358602c734d3db30702207bb8956fa7f7"
          "1a438ecfb6ab7f7d274a6ba021b2f2f58862287476d954ccc036");
const std::string kOtherSignature =
    Bytes("3046022100c8497f3e5cbbe053924a78c0135c29bfa63a14dce8bec2a0bf3a7093e5ea1bae0221009236fcae"
          "071eec32159e8c655f4742f73d64e780f5b53fdc35cfe26346843106");

struct VerifyCase {
    const char* name;
    std::string key;
    std::string message;
    std::string signature;
    bool valid;
};

std::ostream& operator<<(std::ostream& out, const VerifyCase& c) {
    return out << c.name;
}

class VerifyP256Signature : public ::testing::TestWithParam<VerifyCase> {};

TEST_P(VerifyP256Signature, OnlyTheKeysSignatureOverTheExactBytes) {
    EXPECT_EQ(ks::VerifyP256Signature(GetParam().key, GetParam().message, GetParam().signature),
              GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VerifyP256Signature,
    ::testing::Values(
        VerifyCase{"Good", kKey, kMessage, kSignature, true},
        VerifyCase{"OtherKeysSignatureVerifiesUnderItsKey", kOtherKey, kMessage, kOtherSignature,
                   true},
        VerifyCase{"ChangedByte", kKey, Changed(kMessage, 20), kSignature, false},
        VerifyCase{"LineEndsChanged", kKey,
                   "[Keltra]\nzip=Keltra.zip\nversion=1.0.0.0\nsize=501345\n", kSignature, false},
        VerifyCase{"ChangedSignature", kKey, kMessage, Changed(kSignature, 40), false},
        VerifyCase{"SignatureByAnotherKey", kKey, kMessage, kOtherSignature, false},
        VerifyCase{"NoSignature", kKey, kMessage, "", false},
        VerifyCase{"KeyNotOnTheCurve", Changed(kKey, 127), kMessage, kSignature, false},
        VerifyCase{"MalformedKey", kKey.substr(2), kMessage, kSignature, false},
        VerifyCase{"EmptyKey", "", kMessage, kSignature, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
