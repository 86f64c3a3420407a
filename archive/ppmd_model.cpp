// How the PPMd variant I model learns: new contexts and symbols after every byte, rescaling of
// frequencies, and the restart or cut-off when the model's memory is full.
#include <algorithm>
#include <cstring>
#include <utility>

#include "archive/ppmd_model.h"

namespace ks::archive {
namespace {

using ppmd::kIndexCount;
using ppmd::kMaxFreq;
using ppmd::kMaxOrder;
using ppmd::kUnitSize;

constexpr unsigned kIntBits = 7;
constexpr unsigned kPeriodBits = 7;
constexpr unsigned kBinScale = 1u << (kIntBits + kPeriodBits);
constexpr std::uint16_t kInitBinEsc[8] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3,
                                          0x64A1, 0x5ABC, 0x6632, 0x6051};

std::uint8_t HighFlag(std::uint8_t symbol) {
    return symbol >= 0x40 ? 0x08 : 0;
}

} // namespace

PpmdModel::PpmdModel(unsigned maxOrder, ppmd::Restore restore, std::uint32_t memorySize)
    : maxOrder_(maxOrder), restore_(restore), size_(memorySize) {
    for (unsigned i = 0, k = 0; i < kIndexCount; ++i) {
        unsigned step = i >= 12 ? 4 : (i >> 2) + 1;
        do {
            unitsToIndex_[k++] = static_cast<std::uint8_t>(i);
        } while (--step);
        indexToUnits_[i] = static_cast<std::uint8_t>(k);
    }
    ns2BsIndex_[0] = 0 << 1;
    ns2BsIndex_[1] = 1 << 1;
    std::memset(ns2BsIndex_ + 2, 2 << 1, 9);
    std::memset(ns2BsIndex_ + 11, 3 << 1, 256 - 11);
    unsigned i = 0;
    for (; i < 5; ++i)
        ns2Index_[i] = static_cast<std::uint8_t>(i);
    for (unsigned m = i, k = 1; i < 260; ++i) {
        ns2Index_[i] = static_cast<std::uint8_t>(m);
        if (--k == 0)
            k = (++m) - 4;
    }
    dummySee_.shift = kPeriodBits;
    dummySee_.summ = 0;
    dummySee_.count = 64;

    // The text starts one word in, so no reference into it is 0. One spare unit past the end
    // keeps the free-block walks inside the allocation. The block is not cleared: the model
    // writes every unit before it reads it.
    alignOffset_ = 4 - (size_ & 3);
    memory_.reset(new std::uint8_t[alignOffset_ + size_ + kUnitSize]);
    base_ = memory_.get();
    std::memset(base_ + alignOffset_ + size_, 0, kUnitSize);
    RestartModel();
}

void PpmdModel::RestartModel() {
    std::memset(freeList_, 0, sizeof freeList_);
    std::memset(freeCount_, 0, sizeof freeCount_);
    text_ = base_ + alignOffset_;
    hiUnit_ = text_ + size_;
    loUnit_ = unitsStart_ = hiUnit_ - size_ / 8 / kUnitSize * 7 * kUnitSize;
    glueCount_ = 0;

    orderFall_ = maxOrder_;
    runLength_ = initRunLength_ = -static_cast<int>(std::min(maxOrder_, 12u)) - 1;
    prevSuccess_ = 0;

    hiUnit_ -= kUnitSize;
    minContext_ = maxContext_ = reinterpret_cast<Context*>(hiUnit_);
    minContext_->suffix = 0;
    minContext_->numStats = 255;
    minContext_->flags = 0;
    minContext_->summFreq = 256 + 1;
    foundState_ = reinterpret_cast<State*>(loUnit_);
    minContext_->stats = Ref(foundState_);
    loUnit_ += U2B(256 / 2);
    for (unsigned i = 0; i < 256; ++i) {
        State* s = &foundState_[i];
        s->symbol = static_cast<std::uint8_t>(i);
        s->freq = 1;
        SetSuccessor(s, 0);
    }
    // A row serves a range of frequencies; it starts from the escape estimate of the first
    // frequency past that range.
    for (unsigned row = 0, i = 0; row < 25; ++row) {
        while (ns2Index_[i] == row)
            ++i;
        for (unsigned k = 0; k < 8; ++k) {
            const auto value = static_cast<std::uint16_t>(kBinScale - kInitBinEsc[k] / (i + 1));
            for (unsigned m = 0; m < 64; m += 8)
                binSumm_[row][k + m] = value;
        }
    }
    // Likewise a SEE row serves a range of symbol counts and starts from its last one.
    for (unsigned row = 0, i = 0; row < 24; ++row) {
        while (ns2Index_[i + 3] == row + 3)
            ++i;
        for (See& see : see_[row]) {
            see.shift = kPeriodBits - 4;
            see.summ = static_cast<std::uint16_t>((2 * i + 5) << see.shift);
            see.count = 7;
        }
    }
}

// Halves (scale 1) or keeps the frequencies of a context whose symbols were cut, and gives its
// statistics the smaller block they now fit in.
void PpmdModel::Refresh(Context* c, unsigned oldUnits, unsigned scale) {
    unsigned i = c->numStats;
    State* s = static_cast<State*>(ShrinkUnits(Stats(c), oldUnits, (i + 2) >> 1));
    c->stats = Ref(s);
    unsigned flags = (c->flags & (0x10 + 0x04 * scale)) | HighFlag(s->symbol);
    unsigned escFreq = c->summFreq - s->freq;
    s->freq = static_cast<std::uint8_t>((s->freq + scale) >> scale);
    unsigned sumFreq = s->freq;
    do {
        ++s;
        escFreq -= s->freq;
        s->freq = static_cast<std::uint8_t>((s->freq + scale) >> scale);
        sumFreq += s->freq;
        flags |= HighFlag(s->symbol);
    } while (--i);
    c->summFreq = static_cast<std::uint16_t>(sumFreq + ((escFreq + scale) >> scale));
    c->flags = static_cast<std::uint8_t>(flags);
}

// Drops the successors that point into the text and the contexts deeper than the order, and
// returns what is left of `c` (0 when nothing is).
std::uint32_t PpmdModel::CutOff(Context* c, unsigned order) {
    if (c->numStats == 0) {
        State* s = OneState(c);
        if (Ptr(Successor(s)) >= unitsStart_) {
            if (order < maxOrder_)
                SetSuccessor(s, CutOff(Ctx(Successor(s)), order + 1));
            else
                SetSuccessor(s, 0);
            if (Successor(s) != 0 || order <= 9)
                return Ref(c);
        }
        SpecialFreeUnit(c);
        return 0;
    }
    const unsigned units = (c->numStats + 2u) >> 1;
    c->stats = Ref(MoveUnitsUp(Stats(c), units));
    int last = c->numStats;
    for (int k = c->numStats; k >= 0; --k) {
        State* s = Stats(c) + k;
        if (Ptr(Successor(s)) < unitsStart_) {
            State* end = Stats(c) + last--;
            SetSuccessor(s, 0);
            std::swap(*s, *end);
        } else if (order < maxOrder_) {
            SetSuccessor(s, CutOff(Ctx(Successor(s)), order + 1));
        } else {
            SetSuccessor(s, 0);
        }
    }
    if (last != c->numStats && order != 0) {
        c->numStats = static_cast<std::uint8_t>(last);
        State* s = Stats(c);
        if (last < 0) {
            FreeUnits(s, units);
            SpecialFreeUnit(c);
            return 0;
        }
        if (last == 0) {
            c->flags = static_cast<std::uint8_t>((c->flags & 0x10) + HighFlag(s->symbol));
            *OneState(c) = *s;
            FreeUnits(s, units);
            OneState(c)->freq = static_cast<std::uint8_t>((OneState(c)->freq + 11u) >> 3);
        } else {
            Refresh(c, units, c->summFreq > 16 * static_cast<unsigned>(last));
        }
    }
    return Ref(c);
}

// Memory ran out while the symbol was being added to the contexts from maxContext_ down to
// `failed`: take it out of them again, then restart or cut the model down.
void PpmdModel::RestoreModel(Context* failed) {
    text_ = base_ + alignOffset_;
    Context* c = maxContext_;
    for (; c != failed; c = Suffix(c)) {
        if (--c->numStats == 0) {
            State* s = Stats(c);
            c->flags = static_cast<std::uint8_t>((c->flags & 0x10) + HighFlag(s->symbol));
            *OneState(c) = *s;
            SpecialFreeUnit(s);
            OneState(c)->freq = static_cast<std::uint8_t>((OneState(c)->freq + 11u) >> 3);
        } else {
            Refresh(c, (c->numStats + 3u) >> 1, 0);
        }
    }
    for (; c != minContext_; c = Suffix(c)) {
        if (c->numStats == 0) {
            State* s = OneState(c);
            s->freq = static_cast<std::uint8_t>(s->freq - (s->freq >> 1));
        } else {
            c->summFreq = static_cast<std::uint16_t>(c->summFreq + 4);
            if (c->summFreq > 128 + 4u * c->numStats)
                Refresh(c, (c->numStats + 2u) >> 1, 1);
        }
    }
    if (restore_ == ppmd::Restore::Restart || UsedMemory() < (size_ >> 1)) {
        RestartModel();
        return;
    }
    while (maxContext_->suffix != 0)
        maxContext_ = Suffix(maxContext_);
    do {
        CutOff(maxContext_, 0);
        ExpandTextArea();
    } while (UsedMemory() > 3 * (size_ >> 2));
    glueCount_ = 0;
    orderFall_ = maxOrder_;
}

PpmdModel::Context* PpmdModel::CreateSuccessors(bool skip, State* s1, Context* c) {
    const std::uint32_t upBranch = Successor(foundState_);
    const std::uint8_t symbol = foundState_->symbol;
    // The chain of suffixes is never longer than the order.
    State* ps[kMaxOrder + 2];
    unsigned numPs = 0;
    if (!skip)
        ps[numPs++] = foundState_;
    while (c->suffix != 0) {
        c = Suffix(c);
        State* s;
        if (s1 != nullptr) {
            s = s1;
            s1 = nullptr;
        } else if (c->numStats != 0) {
            for (s = Stats(c); s->symbol != symbol; ++s) {
            }
            if (s->freq < kMaxFreq - 9) {
                ++s->freq;
                ++c->summFreq;
            }
        } else {
            s = OneState(c);
            s->freq =
                static_cast<std::uint8_t>(s->freq + ((Suffix(c)->numStats == 0) & (s->freq < 24)));
        }
        const std::uint32_t successor = Successor(s);
        if (successor != upBranch) {
            c = Ctx(successor);
            if (numPs == 0)
                return c;
            break;
        }
        if (numPs == kMaxOrder + 2)
            return nullptr;
        ps[numPs++] = s;
    }

    State upState;
    upState.symbol = *Ptr(upBranch);
    SetSuccessor(&upState, upBranch + 1);
    const auto flags =
        static_cast<std::uint8_t>((symbol >= 0x40 ? 0x10 : 0) + HighFlag(upState.symbol));
    if (c->numStats == 0) {
        upState.freq = OneState(c)->freq;
    } else {
        State* s = Stats(c);
        while (s->symbol != upState.symbol)
            ++s;
        const std::uint32_t cf = s->freq - 1u;
        // A sum of 0 means a damaged model; dividing by it is the one thing not to do.
        const std::uint32_t s0 = std::max(c->summFreq - c->numStats - cf, 1u);
        upState.freq = static_cast<std::uint8_t>(
            1 + ((2 * cf <= s0) ? (5 * cf > s0) : ((cf + 2 * s0 - 3) / s0)));
    }
    do {
        auto* c1 = static_cast<Context*>(AllocContext());
        if (c1 == nullptr)
            return nullptr;
        c1->numStats = 0;
        c1->flags = flags;
        *OneState(c1) = upState;
        c1->suffix = Ref(c);
        SetSuccessor(ps[--numPs], Ref(c1));
        c = c1;
    } while (numPs != 0);
    return c;
}

// The found symbol had no successor: the contexts from here up to the first suffix with one
// point at the text, and that suffix's successor is made a context.
PpmdModel::Context* PpmdModel::ReduceOrder(State* s1, Context* c) {
    Context* const first = c;
    const std::uint32_t upBranch = Ref(text_);
    const std::uint8_t symbol = foundState_->symbol;
    SetSuccessor(foundState_, upBranch);
    ++orderFall_;
    State* s = nullptr;
    for (;;) {
        if (s1 != nullptr) {
            c = Suffix(c);
            s = s1;
            s1 = nullptr;
        } else {
            if (c->suffix == 0)
                return c;
            c = Suffix(c);
            if (c->numStats != 0) {
                for (s = Stats(c); s->symbol != symbol; ++s) {
                }
                if (s->freq < kMaxFreq - 9) {
                    s->freq = static_cast<std::uint8_t>(s->freq + 2);
                    c->summFreq = static_cast<std::uint16_t>(c->summFreq + 2);
                }
            } else {
                s = OneState(c);
                s->freq = static_cast<std::uint8_t>(s->freq + (s->freq < 32));
            }
        }
        if (Successor(s) != 0)
            break;
        SetSuccessor(s, upBranch);
        ++orderFall_;
    }
    if (Successor(s) <= upBranch) {
        State* const found = foundState_;
        foundState_ = s;
        Context* successor = CreateSuccessors(false, nullptr, c);
        SetSuccessor(s, successor != nullptr ? Ref(successor) : 0);
        foundState_ = found;
    }
    if (orderFall_ == 1 && first == maxContext_) {
        SetSuccessor(foundState_, Successor(s));
        --text_;
    }
    return Successor(s) != 0 ? Ctx(Successor(s)) : nullptr;
}

void PpmdModel::UpdateModel() {
    const std::uint8_t fSymbol = foundState_->symbol;
    const unsigned fFreq = foundState_->freq;
    std::uint32_t fSuccessor = Successor(foundState_);
    State* s = nullptr;

    if (fFreq < kMaxFreq / 4 && minContext_->suffix != 0) {
        Context* c = Suffix(minContext_);
        if (c->numStats == 0) {
            s = OneState(c);
            if (s->freq < 32)
                ++s->freq;
        } else {
            s = Stats(c);
            if (s->symbol != fSymbol) {
                do {
                    ++s;
                } while (s->symbol != fSymbol);
                if (s[0].freq >= s[-1].freq) {
                    std::swap(s[0], s[-1]);
                    --s;
                }
            }
            if (s->freq < kMaxFreq - 9) {
                s->freq = static_cast<std::uint8_t>(s->freq + 2);
                c->summFreq = static_cast<std::uint16_t>(c->summFreq + 2);
            }
        }
    }

    Context* c = maxContext_;
    if (orderFall_ == 0 && fSuccessor != 0) {
        Context* cs = CreateSuccessors(true, s, minContext_);
        if (cs == nullptr) {
            SetSuccessor(foundState_, 0);
            RestoreModel(c);
            return;
        }
        SetSuccessor(foundState_, Ref(cs));
        maxContext_ = cs;
        return;
    }

    *text_++ = fSymbol;
    std::uint32_t successor = Ref(text_);
    if (text_ >= unitsStart_) {
        RestoreModel(c);
        return;
    }
    if (fSuccessor == 0) {
        Context* cs = ReduceOrder(s, minContext_);
        if (cs == nullptr) {
            RestoreModel(c);
            return;
        }
        fSuccessor = Ref(cs);
    } else if (Ptr(fSuccessor) < unitsStart_) {
        Context* cs = CreateSuccessors(false, s, minContext_);
        if (cs == nullptr) {
            RestoreModel(c);
            return;
        }
        fSuccessor = Ref(cs);
    }
    if (--orderFall_ == 0) {
        successor = fSuccessor;
        text_ -= (maxContext_ != minContext_);
    }

    const unsigned ns = minContext_->numStats;
    const unsigned s0 = minContext_->summFreq - ns - fFreq;
    for (; c != minContext_; c = Suffix(c)) {
        const unsigned ns1 = c->numStats;
        if (ns1 != 0) {
            if ((ns1 & 1) != 0) {
                // Two states share a unit: every second symbol needs a bigger block.
                const unsigned oldUnits = (ns1 + 1) >> 1;
                const unsigned i = U2I(oldUnits);
                if (i != U2I(oldUnits + 1)) {
                    void* p = AllocUnits(i + 1);
                    if (p == nullptr) {
                        RestoreModel(c);
                        return;
                    }
                    void* oldPtr = Stats(c);
                    std::memcpy(p, oldPtr, U2B(oldUnits));
                    InsertNode(oldPtr, i);
                    c->stats = Ref(p);
                }
            }
            c->summFreq = static_cast<std::uint16_t>(c->summFreq + (3 * ns1 + 1 < ns));
        } else {
            auto* s2 = static_cast<State*>(AllocUnits(0));
            if (s2 == nullptr) {
                RestoreModel(c);
                return;
            }
            *s2 = *OneState(c);
            c->stats = Ref(s2);
            if (s2->freq < kMaxFreq / 4 - 1)
                s2->freq = static_cast<std::uint8_t>(s2->freq << 1);
            else
                s2->freq = kMaxFreq - 4;
            c->summFreq = static_cast<std::uint16_t>(s2->freq + initEsc_ + (ns > 2));
        }
        std::uint32_t cf = 2 * fFreq * (c->summFreq + 6u);
        const std::uint32_t sf = s0 + c->summFreq;
        if (cf < 6 * sf) {
            cf = 1 + (cf > sf) + (cf >= 4 * sf);
            c->summFreq = static_cast<std::uint16_t>(c->summFreq + 4);
        } else {
            cf = 4 + (cf > 9 * sf) + (cf > 12 * sf) + (cf > 15 * sf);
            c->summFreq = static_cast<std::uint16_t>(c->summFreq + cf);
        }
        State* added = Stats(c) + ns1 + 1;
        SetSuccessor(added, successor);
        added->symbol = fSymbol;
        added->freq = static_cast<std::uint8_t>(cf);
        c->flags |= HighFlag(fSymbol);
        c->numStats = static_cast<std::uint8_t>(ns1 + 1);
    }
    maxContext_ = minContext_ = Ctx(fSuccessor);
}

void PpmdModel::Rescale() {
    Context* mc = minContext_;
    State* stats = Stats(mc);
    State* s = foundState_;
    // The found symbol moves to the front.
    if (s != stats) {
        const State found = *s;
        for (; s != stats; --s)
            s[0] = s[-1];
        *s = found;
    }
    unsigned escFreq = mc->summFreq - s->freq;
    s->freq = static_cast<std::uint8_t>(s->freq + 4);
    const unsigned adder = orderFall_ != 0;
    s->freq = static_cast<std::uint8_t>((s->freq + adder) >> 1);
    unsigned sumFreq = s->freq;
    unsigned i = mc->numStats;
    do {
        ++s;
        escFreq -= s->freq;
        s->freq = static_cast<std::uint8_t>((s->freq + adder) >> 1);
        sumFreq += s->freq;
        if (s[0].freq > s[-1].freq) {
            const State moved = *s;
            State* s1 = s;
            do {
                s1[0] = s1[-1];
            } while (--s1 != stats && moved.freq > s1[-1].freq);
            *s1 = moved;
        }
    } while (--i);

    if (s->freq == 0) {
        const unsigned numStats = mc->numStats;
        do {
            ++i;
        } while ((--s)->freq == 0);
        escFreq += i;
        mc->numStats = static_cast<std::uint8_t>(mc->numStats - i);
        if (mc->numStats == 0) {
            State only = *stats;
            escFreq = std::max(escFreq, 1u);
            only.freq = static_cast<std::uint8_t>(
                std::min<unsigned>((2 * only.freq + escFreq - 1) / escFreq, kMaxFreq / 3));
            InsertNode(stats, U2I((numStats + 2) >> 1));
            mc->flags = static_cast<std::uint8_t>((mc->flags & 0x10) + HighFlag(only.symbol));
            foundState_ = OneState(mc);
            *foundState_ = only;
            return;
        }
        const unsigned n0 = (numStats + 2) >> 1;
        const unsigned n1 = (mc->numStats + 2u) >> 1;
        if (n0 != n1)
            mc->stats = Ref(ShrinkUnits(stats, n0, n1));
        State* t = Stats(mc);
        unsigned flags = (mc->flags & ~0x08u) | HighFlag(t->symbol);
        for (unsigned k = mc->numStats; k > 0; --k)
            flags |= HighFlag((++t)->symbol);
        mc->flags = static_cast<std::uint8_t>(flags);
    }
    mc->summFreq = static_cast<std::uint16_t>(sumFreq + escFreq - (escFreq >> 1));
    mc->flags |= 0x04;
    foundState_ = Stats(mc);
}

PpmdModel::See* PpmdModel::MakeEscFreq(unsigned numMasked, std::uint32_t& escFreq) {
    const Context* mc = minContext_;
    const unsigned numStats = mc->numStats;
    if (numStats == 0xFF) {
        escFreq = 1;
        return &dummySee_;
    }
    See* see = see_[ns2Index_[numStats + 2] - 3] + (mc->summFreq > 11 * (numStats + 1)) +
               2 * (2 * numStats < Suffix(mc)->numStats + numMasked) + mc->flags;
    const unsigned r = see->summ >> see->shift;
    see->summ = static_cast<std::uint16_t>(see->summ - r);
    escFreq = r + (r == 0);
    return see;
}

} // namespace ks::archive
