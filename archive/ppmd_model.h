// The PPMd variant I (revision 1) model and its range decoder: contexts, symbol statistics and
// SEE tables live in one block of exactly the stream's model size, managed by the model's own
// unit allocator and addressed by 32-bit offsets. When and how memory runs out changes the
// statistics, so the allocator and both restore methods follow the format step by step.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ks::archive {

// Fills the buffer with up to `size` compressed bytes; 0 at the end of the member's data.
using PpmdReader = std::function<std::size_t(std::uint8_t* buffer, std::size_t size)>;

// Compressed bytes one at a time; past the end it yields zeros and counts them.
class PpmdByteInput {
public:
    PpmdByteInput(const PpmdReader& reader, std::size_t chunk) : reader_(&reader), chunk_(chunk) {}
    std::uint8_t Next() {
        if (next_ != end_)
            return *next_++;
        return Refill();
    }
    std::uint64_t Overrun() const { return overrun_; }

private:
    std::uint8_t Refill();

    const PpmdReader* reader_;
    std::size_t chunk_;
    std::vector<std::uint8_t> buffer_;
    const std::uint8_t* next_ = nullptr;
    const std::uint8_t* end_ = nullptr;
    std::uint64_t overrun_ = 0;
};

namespace ppmd {

constexpr unsigned kUnitSize = 12;
constexpr unsigned kIndexCount = 38;
constexpr unsigned kMaxFreq = 124;
constexpr unsigned kMaxOrder = 16; // the most the properties word holds

// A unit holds one context or two states; the layouts are part of the allocator's arithmetic.
struct State {
    std::uint8_t symbol;
    std::uint8_t freq;
    std::uint16_t successorLow;
    std::uint16_t successorHigh;
};
struct Context {
    std::uint8_t numStats; // symbols - 1; a context with one symbol keeps it in place of
                           // summFreq and stats
    std::uint8_t flags;    // 0x04 rescaled, 0x08 holds a symbol >= 0x40, 0x10 entered by one
    std::uint16_t summFreq;
    std::uint32_t stats;
    std::uint32_t suffix;
};
struct See {
    std::uint16_t summ;
    std::uint8_t shift;
    std::uint8_t count;
};
static_assert(sizeof(State) == 6 && sizeof(Context) == kUnitSize, "unit layouts");

enum class Restore { Restart = 0, CutOff = 1 };

} // namespace ppmd

class PpmdModel {
public:
    static constexpr int kEndMark = -1;   // an escape out of the order-0 context
    static constexpr int kMalformed = -2; // a count no encoder writes

    // Allocates `memorySize` bytes (std::bad_alloc when they are not there).
    PpmdModel(unsigned maxOrder, ppmd::Restore restore, std::uint32_t memorySize);
    PpmdModel(const PpmdModel&) = delete;
    PpmdModel& operator=(const PpmdModel&) = delete;

    // Reads the four bytes that open the range coder; false when no encoder writes them.
    bool StartDecoding(PpmdByteInput& input);
    // The next byte, kEndMark or kMalformed.
    int DecodeSymbol();

private:
    using State = ppmd::State;
    using Context = ppmd::Context;
    using See = ppmd::See;

    // Offsets into the block; 0 is no reference.
    std::uint8_t* Ptr(std::uint32_t ref) const { return base_ + ref; }
    std::uint32_t Ref(const void* p) const {
        return static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(p) - base_);
    }
    Context* Ctx(std::uint32_t ref) const { return reinterpret_cast<Context*>(base_ + ref); }
    State* Stats(const Context* c) const { return reinterpret_cast<State*>(base_ + c->stats); }
    Context* Suffix(const Context* c) const { return Ctx(c->suffix); }
    static State* OneState(Context* c) { return reinterpret_cast<State*>(&c->summFreq); }
    static std::uint32_t Successor(const State* s) {
        return s->successorLow | std::uint32_t{s->successorHigh} << 16;
    }
    static void SetSuccessor(State* s, std::uint32_t ref) {
        s->successorLow = static_cast<std::uint16_t>(ref);
        s->successorHigh = static_cast<std::uint16_t>(ref >> 16);
    }
    // The next context, and the suffix the model update starts from, are read right after the
    // symbol; ask for them while the range decoder and the counts are updated.
    void PrefetchUpdateReads(const State* s) const {
        __builtin_prefetch(base_ + Successor(s));
        __builtin_prefetch(base_ + minContext_->suffix);
    }
    unsigned I2U(unsigned index) const { return indexToUnits_[index]; }
    unsigned U2I(unsigned units) const { return unitsToIndex_[units - 1]; }
    static std::uint32_t U2B(unsigned units) { return units * ppmd::kUnitSize; }

    // Allocator (ppmd_memory.cpp).
    void InsertNode(void* p, unsigned index);
    void* RemoveNode(unsigned index);
    void SplitBlock(void* p, unsigned oldIndex, unsigned newIndex);
    void GlueFreeBlocks();
    void* AllocUnitsRare(unsigned index);
    void* AllocUnits(unsigned index);
    void* AllocContext();
    void* ShrinkUnits(void* oldPtr, unsigned oldUnits, unsigned newUnits);
    void* MoveUnitsUp(void* oldPtr, unsigned units);
    void FreeUnits(void* p, unsigned units) { InsertNode(p, U2I(units)); }
    void SpecialFreeUnit(void* p);
    void ExpandTextArea();
    std::uint32_t UsedMemory() const;

    // Model (ppmd_model.cpp).
    void RestartModel();
    void RestoreModel(Context* failed);
    void Refresh(Context* c, unsigned oldUnits, unsigned scale);
    std::uint32_t CutOff(Context* c, unsigned order);
    Context* CreateSuccessors(bool skip, State* s1, Context* c);
    Context* ReduceOrder(State* s1, Context* c);
    void UpdateModel();
    void Rescale();
    void NextContext();
    void Update1();
    void Update1First();
    void UpdateBin();
    void Update2();
    See* MakeEscFreq(unsigned numMasked, std::uint32_t& escFreq);

    // Range decoder (ppmd_symbol.cpp).
    bool Scale(std::uint32_t total);
    // Whether the coded count lies below `cumulative` once the range is scaled: a product
    // against the code instead of dividing the code by the range.
    bool Below(std::uint32_t cumulative) const {
        return code_ < std::uint64_t{cumulative} * range_;
    }
    void Decode(std::uint32_t start, std::uint32_t size);

    unsigned maxOrder_;
    ppmd::Restore restore_;
    std::uint32_t size_;
    std::unique_ptr<std::uint8_t[]> memory_;
    std::uint8_t* base_ = nullptr;
    std::uint8_t* loUnit_ = nullptr;
    std::uint8_t* hiUnit_ = nullptr;
    std::uint8_t* text_ = nullptr;
    std::uint8_t* unitsStart_ = nullptr;
    std::uint32_t alignOffset_ = 0;
    std::uint32_t glueCount_ = 0;
    std::uint32_t freeList_[ppmd::kIndexCount] = {};
    std::uint32_t freeCount_[ppmd::kIndexCount] = {};
    std::uint8_t indexToUnits_[ppmd::kIndexCount] = {};
    std::uint8_t unitsToIndex_[128] = {};
    std::uint8_t ns2BsIndex_[256] = {};
    std::uint8_t ns2Index_[260] = {};

    Context* minContext_ = nullptr;
    Context* maxContext_ = nullptr;
    State* foundState_ = nullptr;
    unsigned orderFall_ = 0;
    unsigned initEsc_ = 0;
    unsigned prevSuccess_ = 0;
    int runLength_ = 0;
    int initRunLength_ = 0;
    See dummySee_{};
    See see_[24][32] = {};
    std::uint16_t binSumm_[25][64] = {};

    PpmdByteInput* input_ = nullptr;
    std::uint32_t range_ = 0;
    std::uint32_t code_ = 0;
    std::uint32_t low_ = 0;
};

// The updates after a symbol is found run once per byte: here so the decoder inlines them.
inline void PpmdModel::NextContext() {
    Context* c = Ctx(Successor(foundState_));
    if (orderFall_ == 0 && reinterpret_cast<std::uint8_t*>(c) >= unitsStart_) {
        minContext_ = maxContext_ = c;
    } else {
        UpdateModel();
        minContext_ = maxContext_;
    }
}

inline void PpmdModel::Update1() {
    State* s = foundState_;
    s->freq = static_cast<std::uint8_t>(s->freq + 4);
    minContext_->summFreq = static_cast<std::uint16_t>(minContext_->summFreq + 4);
    if (s[0].freq > s[-1].freq) {
        std::swap(s[0], s[-1]);
        foundState_ = --s;
        if (s->freq > ppmd::kMaxFreq)
            Rescale();
    }
    NextContext();
}

inline void PpmdModel::Update1First() {
    prevSuccess_ = 2u * foundState_->freq >= minContext_->summFreq;
    runLength_ += static_cast<int>(prevSuccess_);
    minContext_->summFreq = static_cast<std::uint16_t>(minContext_->summFreq + 4);
    foundState_->freq = static_cast<std::uint8_t>(foundState_->freq + 4);
    if (foundState_->freq > ppmd::kMaxFreq)
        Rescale();
    NextContext();
}

inline void PpmdModel::UpdateBin() {
    foundState_->freq = static_cast<std::uint8_t>(foundState_->freq + (foundState_->freq < 196));
    prevSuccess_ = 1;
    ++runLength_;
    NextContext();
}

inline void PpmdModel::Update2() {
    minContext_->summFreq = static_cast<std::uint16_t>(minContext_->summFreq + 4);
    foundState_->freq = static_cast<std::uint8_t>(foundState_->freq + 4);
    if (foundState_->freq > ppmd::kMaxFreq)
        Rescale();
    runLength_ = initRunLength_;
    UpdateModel();
    minContext_ = maxContext_;
}

} // namespace ks::archive
