// LZMA as ZIP stores it (method 14): a 4-byte header, five property bytes and the range-coded
// stream. The decoder takes its input in pieces of any size, stops and resumes at any byte,
// and decodes into a window of its own that the caller drains after every call.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/member_decoding.h"

namespace ks::archive {

enum class LzmaResult {
    NeedInput,      // every byte given was taken (some may be held back inside); give more
    WindowFull,     // drain the window, then call again with the same input
    Finished,       // the declared size was reached (and the end marker read when one is due)
    BadHeader,      // property size other than 5, or lc/lp/pb out of range
    WindowTooLarge, // the window the stream needs is above kMaxWindow
    Malformed,      // non-zero first byte, a distance before the first byte or beyond the
                    // dictionary, a bad end marker, an end marker before the declared size
    Truncated,      // the input ended inside the stream
    OutputOverflow, // the stream goes on past the declared size
};

class LzmaDecoder {
public:
    // The largest window the decoder allocates: the declared dictionary size, cut to the
    // member's size, must fit in it.
    static constexpr std::uint32_t kMaxWindow = 256u << 20;

    // `outputSize` is the member's declared size; with `endMarker` (general-purpose bit 1) the
    // stream must end with the end-of-stream marker right after that many bytes, or stop there.
    LzmaDecoder(std::uint64_t outputSize, bool endMarker);
    LzmaDecoder(const LzmaDecoder&) = delete;
    LzmaDecoder& operator=(const LzmaDecoder&) = delete;

    // Takes bytes from [next, end) and advances next. `inputEnded`: no byte follows `end`.
    // Once a result other than NeedInput or WindowFull is returned, it is returned again.
    LzmaResult Decode(const std::uint8_t*& next, const std::uint8_t* end, bool inputEnded);

    // Decoded bytes not yet drained; Drained() marks them passed on.
    const std::uint8_t* Pending(std::size_t& size) const {
        size = dicPos_ - drainedPos_;
        return window_.get() + drainedPos_;
    }
    void Drained() { drainedPos_ = dicPos_; }

    std::uint64_t Produced() const { return produced_; }

private:
    enum class Mode { Header, RangeInit, Symbols, Done };
    // DirtyEnd: an end marker after which the range coder does not come out at zero.
    enum class Kind { NotEnough, Symbol, EndMarker, DirtyEnd };
    static constexpr unsigned kHeaderSize = 9;
    static constexpr unsigned kRangeInitSize = 5;
    // Most input a single symbol can take: 22 modelled bits of at most six bits of range each
    // and 26 direct bits make 20 bytes; the rest is margin.
    static constexpr unsigned kMaxSymbolInput = 32;

    LzmaResult Fail(LzmaResult result) {
        mode_ = Mode::Done;
        result_ = result;
        return result;
    }
    LzmaResult TakeHeader(const std::uint8_t*& next, const std::uint8_t* end);
    LzmaResult TakeRangeInit(const std::uint8_t*& next, const std::uint8_t* end);
    LzmaResult DecodeSymbols(const std::uint8_t*& next, const std::uint8_t* end, bool inputEnded);
    LzmaResult DecodeTail(const std::uint8_t*& next, const std::uint8_t* end, bool inputEnded);
    void CopyPending(std::size_t dicLimit);
    std::size_t DicLimit() const;
    // Decodes whole symbols while buf < bufLimit (at least one) and the window has room
    // below dicLimit; the caller guarantees kMaxSymbolInput readable bytes at each start.
    const std::uint8_t* Run(const std::uint8_t* buf, const std::uint8_t* bufLimit,
                            std::size_t dicLimit);
    // Walks the next symbol without changing anything; `used` is the input it takes.
    Kind Probe(const std::uint8_t* buf, std::size_t size, std::size_t& used) const;

    // Everything the decoder knows between calls.
    std::uint64_t outputSize_;
    bool endMarker_;
    Mode mode_ = Mode::Header;
    LzmaResult result_ = LzmaResult::NeedInput;
    std::uint8_t held_[kMaxSymbolInput] = {}; // header bytes, then a symbol's partial input
    std::size_t heldSize_ = 0;
    unsigned lc_ = 0, lpMask_ = 0, pbMask_ = 0;
    std::vector<std::uint16_t> probs_;
    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t windowSize_ = 0;
    std::size_t dicPos_ = 0;
    std::size_t drainedPos_ = 0;
    std::uint64_t produced_ = 0; // bytes decoded, including the window's current contents
    std::uint32_t range_ = 0, code_ = 0;
    unsigned state_ = 0;
    std::uint32_t reps_[4] = {};
    std::uint32_t pendingLength_ = 0; // match bytes still to copy
    bool sawEndMarker_ = false;
    bool sawBadDistance_ = false;
};

// A whole method-14 member: header, stream and, with general-purpose bit 1, the end marker.
// Malformed or short data and output past `size` raise DecoderError.
void DecodeLzma(MemberInput& input, ByteSink& output, std::uint64_t size, std::uint16_t flags,
                DecoderScratch& scratch);

} // namespace ks::archive
