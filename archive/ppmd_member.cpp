// Runs the PPMd model over a member's data: the properties word, the symbols up to the declared
// size, and the failures.
#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/ppmd_decoder.h"

namespace ks::archive {
namespace {

constexpr std::size_t kInputChunk = 64 * 1024;
constexpr std::size_t kOutputChunk = 64 * 1024;

std::string Reason(PpmdResult result, const PpmdProperties& properties) {
    switch (result) {
    case PpmdResult::BadOrder:
        return "order below 2";
    case PpmdResult::BadRestoreMethod:
        return "unsupported restore method " + std::to_string(properties.restoreMethod);
    case PpmdResult::MemoryTooLarge:
        return "model memory of " + std::to_string(properties.memoryMb) + " MB above the " +
               std::to_string(PpmdProperties::kMaxMemoryMb) + " MB limit";
    case PpmdResult::OutOfMemory:
        return "not enough memory for a model of " + std::to_string(properties.memoryMb) + " MB";
    case PpmdResult::Truncated:
        return "unexpected end of compressed data";
    default:
        return "invalid compressed data";
    }
}

PpmdResult DecodeStream(const PpmdReader& input, ByteSink& output, std::uint64_t size,
                        PpmdProperties& properties) {
    PpmdByteInput in(input, kInputChunk);
    const std::uint8_t low = in.Next();
    const auto word = static_cast<std::uint16_t>(low | in.Next() << 8);
    if (in.Overrun() > 0)
        return PpmdResult::Truncated;
    const PpmdResult checked = ParsePpmdProperties(word, properties);
    if (checked != PpmdResult::Ok)
        return checked;
    std::unique_ptr<PpmdModel> model;
    try {
        model = std::make_unique<PpmdModel>(properties.order,
                                            static_cast<ppmd::Restore>(properties.restoreMethod),
                                            properties.memoryMb << 20);
    } catch (const std::bad_alloc&) {
        return PpmdResult::OutOfMemory;
    }
    if (!model->StartDecoding(in))
        return PpmdResult::Malformed;
    std::vector<std::uint8_t> buffer(
        static_cast<std::size_t>(std::min<std::uint64_t>(size, kOutputChunk)));
    std::size_t filled = 0;
    for (std::uint64_t left = size; left > 0; --left) {
        // Bytes read past the end only ever follow the last symbol.
        if (in.Overrun() > 0) {
            output.Write(buffer.data(), filled);
            return PpmdResult::Truncated;
        }
        const int symbol = model->DecodeSymbol();
        if (symbol < 0) {
            output.Write(buffer.data(), filled);
            return PpmdResult::Malformed;
        }
        buffer[filled++] = static_cast<std::uint8_t>(symbol);
        if (filled == buffer.size()) {
            output.Write(buffer.data(), filled);
            filled = 0;
        }
    }
    if (filled > 0)
        output.Write(buffer.data(), filled);
    return PpmdResult::Ok;
}

} // namespace

PpmdResult ParsePpmdProperties(std::uint16_t word, PpmdProperties& properties) {
    properties.order = (word & 0x0Fu) + 1;
    properties.memoryMb = ((word >> 4) & 0xFFu) + 1;
    properties.restoreMethod = word >> 12;
    if (properties.order < 2)
        return PpmdResult::BadOrder;
    if (properties.restoreMethod > 1)
        return PpmdResult::BadRestoreMethod;
    if (properties.memoryMb > PpmdProperties::kMaxMemoryMb)
        return PpmdResult::MemoryTooLarge;
    return PpmdResult::Ok;
}

PpmdResult DecodePpmdStream(const PpmdReader& input, ByteSink& output, std::uint64_t size) {
    PpmdProperties properties;
    return DecodeStream(input, output, size, properties);
}

void DecodePpmd(MemberInput& input, ByteSink& output, std::uint64_t size) {
    PpmdProperties properties;
    const PpmdResult result = DecodeStream(
        [&input](std::uint8_t* buffer, std::size_t want) { return input.Read(buffer, want); },
        output, size, properties);
    if (result != PpmdResult::Ok)
        throw DecoderError("PPMd error: " + Reason(result, properties));
}

} // namespace ks::archive
