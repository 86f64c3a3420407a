// The decoder is a state machine over one struct: every mode can stop when the input runs
// dry and pick up again with the next piece. A fast loop takes over while at least 16 input
// bytes remain; it refills 64 bits at a time and never needs to stop mid-symbol.
#include "archive/deflate64_decoder.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "archive/archive_error.h"
#include "archive/deflate64_huffman.h"
#include "archive/legacy_bit_reader.h"

namespace ks::archive {

using namespace deflate64;

namespace {

constexpr std::size_t kWindow = 65536;
// Output collected before it is handed on; the window's last 64 KiB stay for back-references.
constexpr std::size_t kChunk = 512 * 1024;
// Word-sized match copies may run this far past the match.
constexpr std::size_t kSlack = 16;
constexpr std::size_t kFastInput = 16;
constexpr std::size_t kInputChunk = 64 * 1024;

const std::uint8_t kCodeLengthOrder[kCodeLengthSymbols] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

enum class Mode {
    BlockHeader,
    StoredLength,
    StoredCopy,
    TableCounts,
    CodeLengthLengths,
    CodeLengths,
    Symbol,
    LengthExtra,
    Distance,
    DistanceExtra,
    Copy,
    Done,
    Failed,
};

} // namespace

struct Deflate64Decoder::State {
    // Input of the current Feed call.
    const std::uint8_t* in = nullptr;
    const std::uint8_t* inEnd = nullptr;
    // Bits taken from the input but not yet used, least significant first; bits above
    // `count` are zero.
    std::uint64_t bits = 0;
    unsigned count = 0;

    Mode mode = Mode::BlockHeader;
    Deflate64Status result = Deflate64Status::NeedInput;
    const char* reason = "";
    bool lastBlock = false;
    std::uint32_t storedLeft = 0;
    unsigned literalCount = 0;
    unsigned distanceCount = 0;
    unsigned codeLengthCount = 0;
    unsigned index = 0;
    std::uint32_t pending = 0; // an entry whose extra bits are still to come
    bool havePending = false;
    std::uint32_t length = 0;
    std::uint32_t distance = 0;
    std::uint8_t lengths[kLiteralSymbols + kDistanceSymbols] = {};
    std::uint8_t codeLengthLengths[kCodeLengthSymbols] = {};
    std::uint32_t literalTable[kLiteralTableSize] = {};
    std::uint32_t distanceTable[kDistanceTableSize] = {};
    std::uint32_t codeLengthTable[kCodeLengthTableSize] = {};

    // Output: buffer[0, pos) is decoded; [handedOn, pos) not yet given to the sink.
    ByteSink* sink = nullptr;
    std::uint64_t limit = 0;
    std::uint64_t bufferStart = 0; // output offset of buffer[0]
    std::unique_ptr<std::uint8_t[]> buffer;
    std::size_t usable = 0;
    std::size_t pos = 0;
    std::size_t handedOn = 0;

    // The one place that takes input: false when the piece is used up first.
    bool Need(unsigned n) {
        while (count < n) {
            if (in == inEnd)
                return false;
            bits |= std::uint64_t{*in++} << count;
            count += 8;
        }
        return true;
    }
    std::uint32_t Take(unsigned n) {
        const auto value = static_cast<std::uint32_t>(bits & ((std::uint64_t{1} << n) - 1));
        bits >>= n;
        count -= n;
        return value;
    }
    bool Fail(const char* why) {
        mode = Mode::Failed;
        result = Deflate64Status::Malformed;
        reason = why;
        return false;
    }
    bool Overflow() {
        mode = Mode::Failed;
        result = Deflate64Status::OutputOverflow;
        reason = "Member data is larger than its declared size";
        return false;
    }

    // Decodes one symbol with the bits at hand, taking more input only when the code needs
    // them. False when the input ran out first (nothing consumed).
    bool DecodeSymbol(const std::uint32_t* table, unsigned rootBits, std::uint32_t& entry) {
        for (;;) {
            std::uint32_t e = table[bits & ((1u << rootBits) - 1)];
            unsigned used = 0;
            if (EntryKindOf(e) == kSubtable && count >= rootBits) {
                used = rootBits;
                e = table[EntryValue(e) + ((bits >> rootBits) & ((1u << EntryExtra(e)) - 1))];
            }
            if (EntryKindOf(e) != kSubtable && used + EntryBits(e) <= count) {
                bits >>= used + EntryBits(e);
                count -= used + EntryBits(e);
                entry = e;
                return true;
            }
            if (in == inEnd)
                return false;
            bits |= std::uint64_t{*in++} << count;
            count += 8;
        }
    }

    std::uint64_t Produced() const { return bufferStart + pos; }
    void HandOn() {
        if (pos > handedOn)
            sink->Write(buffer.get() + handedOn, pos - handedOn);
        handedOn = pos;
    }
    // Room for at least `n` (<= kChunk) more bytes, keeping the window.
    void MakeRoom(std::size_t n) {
        if (pos + n <= usable)
            return;
        HandOn();
        const std::size_t keep = std::min(pos, kWindow);
        std::memmove(buffer.get(), buffer.get() + pos - keep, keep);
        bufferStart += pos - keep;
        pos = handedOn = keep;
    }
    // How many bytes may still be produced before the declared size, up to `want`.
    std::size_t Allowed(std::size_t want) const {
        return static_cast<std::size_t>(std::min<std::uint64_t>(want, limit - Produced()));
    }

    bool Step();
    bool ReadCodeLengths();
    bool FinishTables();
    bool CopyMatch();
    bool CopyStored();
    void FastLoop();
};

namespace {

using State = Deflate64Decoder::State;

void SetFixedTables(State& s) {
    std::uint8_t* l = s.lengths;
    std::fill(l, l + 144, 8);
    std::fill(l + 144, l + 256, 9);
    std::fill(l + 256, l + 280, 7);
    std::fill(l + 280, l + 288, 8);
    std::fill(l + 288, l + 288 + kDistanceSymbols, 5);
    BuildTable(l, kLiteralSymbols, LiteralSymbols(), kLiteralRootBits, s.literalTable,
               kLiteralTableSize);
    BuildTable(l + kLiteralSymbols, kDistanceSymbols, DistanceSymbols(), kDistanceRootBits,
               s.distanceTable, kDistanceTableSize);
}

} // namespace

bool State::ReadCodeLengths() {
    const unsigned total = literalCount + distanceCount;
    while (index < total) {
        if (!havePending) {
            if (!DecodeSymbol(codeLengthTable, kCodeLengthRootBits, pending))
                return false;
            if (EntryKindOf(pending) == kInvalid)
                return Fail("Invalid code length code");
            havePending = true;
        }
        const std::uint32_t symbol = EntryValue(pending);
        if (symbol < 16) {
            lengths[index++] = static_cast<std::uint8_t>(symbol);
            havePending = false;
            continue;
        }
        const unsigned extra = symbol == 16 ? 2 : symbol == 17 ? 3 : 7;
        if (!Need(extra))
            return false;
        havePending = false;
        const unsigned repeat = Take(extra) + (symbol == 16 ? 3 : symbol == 17 ? 3 : 11);
        if (symbol == 16 && index == 0)
            return Fail("Repeat of no previous code length");
        if (repeat > total - index)
            return Fail("Code lengths run past the table");
        const std::uint8_t value = symbol == 16 ? lengths[index - 1] : 0;
        std::fill(lengths + index, lengths + index + repeat, value);
        index += repeat;
    }
    return FinishTables();
}

bool State::FinishTables() {
    std::uint8_t distanceLengths[kDistanceSymbols] = {};
    std::copy_n(lengths + literalCount, distanceCount, distanceLengths);
    std::fill(lengths + literalCount, lengths + kLiteralSymbols, 0);
    if (lengths[256] == 0)
        return Fail("No end-of-block code");
    if (!BuildTable(lengths, kLiteralSymbols, LiteralSymbols(), kLiteralRootBits, literalTable,
                    kLiteralTableSize))
        return Fail("Over-subscribed literal/length code");
    if (!BuildTable(distanceLengths, kDistanceSymbols, DistanceSymbols(), kDistanceRootBits,
                    distanceTable, kDistanceTableSize))
        return Fail("Over-subscribed distance code");
    mode = Mode::Symbol;
    return true;
}

bool State::CopyMatch() {
    while (length > 0) {
        const std::size_t n = Allowed(std::min<std::size_t>(length, kChunk));
        if (n == 0)
            return Overflow();
        MakeRoom(n);
        std::uint8_t* to = buffer.get() + pos;
        const std::uint8_t* from = to - distance;
        for (std::size_t i = 0; i < n; ++i)
            to[i] = from[i];
        pos += n;
        length -= static_cast<std::uint32_t>(n);
    }
    mode = Mode::Symbol;
    return true;
}

bool State::CopyStored() {
    // Whole bytes still in the bit buffer come first.
    while (storedLeft > 0 && count >= 8) {
        if (Allowed(1) == 0)
            return Overflow();
        MakeRoom(1);
        buffer[pos++] = static_cast<std::uint8_t>(Take(8));
        --storedLeft;
    }
    while (storedLeft > 0) {
        const std::size_t available = std::min<std::size_t>(storedLeft, inEnd - in);
        if (available == 0)
            return false;
        const std::size_t n = Allowed(std::min(available, kChunk));
        if (n == 0)
            return Overflow();
        MakeRoom(n);
        std::memcpy(buffer.get() + pos, in, n);
        pos += n;
        in += n;
        storedLeft -= static_cast<std::uint32_t>(n);
    }
    mode = lastBlock ? Mode::Done : Mode::BlockHeader;
    return true;
}

// Literals and matches while the input holds kFastInput bytes and the output has room: the
// bit buffer is topped up to at least 56 bits before each symbol and again before each
// distance, which covers the longest code with its extra bits. Leaves in Mode::Symbol,
// or with the mode the last symbol set (Copy for a match that did not fit).
void State::FastLoop() {
    std::uint64_t b = bits;
    unsigned n = count;
    const std::uint8_t* next = in;
    std::uint8_t* const out = buffer.get();
    std::size_t at = pos;
    const std::size_t end =
        static_cast<std::size_t>(std::min<std::uint64_t>(usable, limit - bufferStart));
    const std::uint32_t* const lit = literalTable;
    const std::uint32_t* const dist = distanceTable;
    const auto refill = [&] {
        b |= LoadLittleEndian64(next) << n;
        next += (63 - n) >> 3;
        n |= 56;
    };
    while (static_cast<std::size_t>(inEnd - next) >= kFastInput && at < end) {
        refill();
        std::uint32_t e = lit[b & ((1u << kLiteralRootBits) - 1)];
        if (EntryKindOf(e) == kSubtable) {
            b >>= kLiteralRootBits;
            n -= kLiteralRootBits;
            e = lit[EntryValue(e) + (b & ((1u << EntryExtra(e)) - 1))];
        }
        b >>= EntryBits(e);
        n -= EntryBits(e);
        if (EntryKindOf(e) == kLiteral) {
            out[at++] = static_cast<std::uint8_t>(EntryValue(e));
            continue;
        }
        if (EntryKindOf(e) != kBaseExtra) {
            if (EntryKindOf(e) == kEndOfBlock)
                mode = lastBlock ? Mode::Done : Mode::BlockHeader;
            else
                Fail("Invalid literal/length code");
            break;
        }
        const std::uint32_t matchLength =
            EntryValue(e) + static_cast<std::uint32_t>(b & ((1u << EntryExtra(e)) - 1));
        b >>= EntryExtra(e);
        n -= EntryExtra(e);
        refill();
        e = dist[b & ((1u << kDistanceRootBits) - 1)];
        if (EntryKindOf(e) == kSubtable) {
            b >>= kDistanceRootBits;
            n -= kDistanceRootBits;
            e = dist[EntryValue(e) + (b & ((1u << EntryExtra(e)) - 1))];
        }
        b >>= EntryBits(e);
        n -= EntryBits(e);
        if (EntryKindOf(e) != kBaseExtra) {
            Fail("Invalid distance code");
            break;
        }
        const std::uint32_t matchDistance =
            EntryValue(e) + static_cast<std::uint32_t>(b & ((1u << EntryExtra(e)) - 1));
        b >>= EntryExtra(e);
        n -= EntryExtra(e);
        if (matchDistance > at) {
            Fail("Distance reaches before the start of the output");
            break;
        }
        if (matchLength > end - at) {
            length = matchLength;
            distance = matchDistance;
            mode = Mode::Copy;
            break;
        }
        std::uint8_t* to = out + at;
        const std::uint8_t* from = to - matchDistance;
        at += matchLength;
        if (matchDistance >= 8) {
            // May write up to 7 bytes past the match, into the slack or bytes decoded later.
            std::uint8_t* const stop = to + matchLength;
            do {
                std::memcpy(to, from, 8);
                to += 8;
                from += 8;
            } while (to < stop);
        } else if (matchDistance == 1) {
            std::memset(to, *from, matchLength);
        } else {
            for (std::uint32_t i = 0; i < matchLength; ++i)
                to[i] = from[i];
        }
    }
    // Bits above the count are copies of input bytes not yet taken; clear them.
    bits = n < 64 ? b & ((std::uint64_t{1} << n) - 1) : b;
    count = n;
    in = next;
    pos = at;
}

// Runs one mode; false when the input is used up or decoding stopped.
bool State::Step() {
    switch (mode) {
    case Mode::BlockHeader: {
        if (!Need(3))
            return false;
        lastBlock = Take(1) != 0;
        const std::uint32_t type = Take(2);
        if (type == 0) {
            mode = Mode::StoredLength;
        } else if (type == 1) {
            SetFixedTables(*this);
            mode = Mode::Symbol;
        } else if (type == 2) {
            mode = Mode::TableCounts;
        } else {
            return Fail("Invalid block type");
        }
        return true;
    }
    case Mode::StoredLength: {
        Take(count % 8);
        if (!Need(32))
            return false;
        const std::uint32_t size = Take(16);
        if (size != (Take(16) ^ 0xFFFFu))
            return Fail("Stored block length check failed");
        storedLeft = size;
        mode = Mode::StoredCopy;
        return true;
    }
    case Mode::StoredCopy:
        return CopyStored();
    case Mode::TableCounts:
        if (!Need(14))
            return false;
        literalCount = Take(5) + 257;
        distanceCount = Take(5) + 1;
        codeLengthCount = Take(4) + 4;
        std::fill(std::begin(codeLengthLengths), std::end(codeLengthLengths), 0);
        index = 0;
        mode = Mode::CodeLengthLengths;
        return true;
    case Mode::CodeLengthLengths:
        while (index < codeLengthCount) {
            if (!Need(3))
                return false;
            codeLengthLengths[kCodeLengthOrder[index++]] = static_cast<std::uint8_t>(Take(3));
        }
        if (!BuildTable(codeLengthLengths, kCodeLengthSymbols, CodeLengthSymbols(),
                        kCodeLengthRootBits, codeLengthTable, kCodeLengthTableSize))
            return Fail("Over-subscribed code length code");
        index = 0;
        havePending = false;
        mode = Mode::CodeLengths;
        return true;
    case Mode::CodeLengths:
        return ReadCodeLengths();
    case Mode::Symbol: {
        // The fast loop stops short of the input's end and of the output's room; the
        // symbol there is decoded one step at a time.
        if (static_cast<std::size_t>(inEnd - in) >= kFastInput) {
            FastLoop();
            if (mode != Mode::Symbol)
                return mode != Mode::Failed;
        }
        std::uint32_t e;
        if (!DecodeSymbol(literalTable, kLiteralRootBits, e))
            return false;
        switch (EntryKindOf(e)) {
        case kLiteral:
            if (Allowed(1) == 0)
                return Overflow();
            MakeRoom(1);
            buffer[pos++] = static_cast<std::uint8_t>(EntryValue(e));
            return true;
        case kEndOfBlock:
            mode = lastBlock ? Mode::Done : Mode::BlockHeader;
            return true;
        case kBaseExtra:
            pending = e;
            mode = Mode::LengthExtra;
            return true;
        default:
            return Fail("Invalid literal/length code");
        }
    }
    case Mode::LengthExtra:
        if (!Need(EntryExtra(pending)))
            return false;
        length = EntryValue(pending) + Take(EntryExtra(pending));
        mode = Mode::Distance;
        return true;
    case Mode::Distance:
        if (!DecodeSymbol(distanceTable, kDistanceRootBits, pending))
            return false;
        if (EntryKindOf(pending) != kBaseExtra)
            return Fail("Invalid distance code");
        mode = Mode::DistanceExtra;
        return true;
    case Mode::DistanceExtra:
        if (!Need(EntryExtra(pending)))
            return false;
        distance = EntryValue(pending) + Take(EntryExtra(pending));
        if (distance > pos)
            return Fail("Distance reaches before the start of the output");
        mode = Mode::Copy;
        return true;
    case Mode::Copy:
        return CopyMatch();
    case Mode::Done:
    case Mode::Failed:
        return false;
    }
    return false;
}

Deflate64Decoder::Deflate64Decoder(std::uint64_t outputLimit, ByteSink& output)
    : state_(std::make_unique<State>()) {
    state_->sink = &output;
    state_->limit = outputLimit;
    // A member that fits never needs the window moved.
    state_->usable =
        static_cast<std::size_t>(std::min<std::uint64_t>(kWindow + kChunk, outputLimit));
    state_->buffer = std::make_unique<std::uint8_t[]>(state_->usable + kSlack);
}

Deflate64Decoder::~Deflate64Decoder() = default;

Deflate64Status Deflate64Decoder::Feed(const std::uint8_t* data, std::size_t size) {
    State& s = *state_;
    s.in = data;
    s.inEnd = data + size;
    while (s.Step()) {
    }
    if (s.mode == Mode::Done) {
        s.HandOn();
        s.result = Deflate64Status::StreamEnd;
    } else if (s.mode == Mode::Failed) {
        s.HandOn();
    }
    s.in = s.inEnd = nullptr;
    return s.result;
}

Deflate64Status Deflate64Decoder::Finish() {
    State& s = *state_;
    s.HandOn();
    if (s.result == Deflate64Status::NeedInput) {
        s.mode = Mode::Failed;
        s.result = Deflate64Status::Malformed;
        s.reason = "Unexpected end of compressed data";
    }
    return s.result;
}

const char* Deflate64Decoder::Reason() const {
    return state_->reason;
}

void DecodeDeflate64(MemberInput& input, ByteSink& output, std::uint64_t uncompressedSize,
                     DecoderScratch& scratch) {
    std::vector<std::uint8_t>& buffer = scratch.Input();
    buffer.resize(kInputChunk);
    Deflate64Decoder decoder(uncompressedSize, output);
    for (;;) {
        const std::size_t got = input.Read(buffer.data(), buffer.size());
        const Deflate64Status status =
            got > 0 ? decoder.Feed(buffer.data(), got) : decoder.Finish();
        if (status == Deflate64Status::StreamEnd)
            return;
        if (status != Deflate64Status::NeedInput)
            throw DecoderError(std::string("Deflate64 error: ") + decoder.Reason());
    }
}

} // namespace ks::archive
