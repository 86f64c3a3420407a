// The PPMd model's unit allocator: free lists by block size, gluing of neighbouring free
// blocks, and the text area below the units that the cut-off restore gives back.
#include <cstring>

#include "archive/ppmd_model.h"

namespace ks::archive {
namespace {

using ppmd::kIndexCount;
using ppmd::kUnitSize;

constexpr std::uint32_t kEmptyNode = 0xFFFFFFFFu;

// A free block: the stamp tells free units from used ones when blocks are glued.
struct Node {
    std::uint32_t stamp;
    std::uint32_t next;
    std::uint32_t units;
};
static_assert(sizeof(Node) == kUnitSize, "node layout");

Node* AsNode(void* p) {
    return static_cast<Node*>(p);
}

} // namespace

std::uint8_t PpmdByteInput::Refill() {
    buffer_.resize(chunk_);
    const std::size_t got = (*reader_)(buffer_.data(), buffer_.size());
    if (got == 0) {
        ++overrun_;
        return 0;
    }
    next_ = buffer_.data();
    end_ = next_ + got;
    return *next_++;
}

void PpmdModel::InsertNode(void* p, unsigned index) {
    Node* node = AsNode(p);
    node->stamp = kEmptyNode;
    node->next = freeList_[index];
    node->units = I2U(index);
    freeList_[index] = Ref(node);
    ++freeCount_[index];
}

void* PpmdModel::RemoveNode(unsigned index) {
    Node* node = AsNode(Ptr(freeList_[index]));
    freeList_[index] = node->next;
    --freeCount_[index];
    return node;
}

void PpmdModel::SplitBlock(void* p, unsigned oldIndex, unsigned newIndex) {
    const unsigned units = I2U(oldIndex) - I2U(newIndex);
    std::uint8_t* rest = static_cast<std::uint8_t*>(p) + U2B(I2U(newIndex));
    unsigned i = U2I(units);
    if (I2U(i) != units) {
        const unsigned k = I2U(--i);
        InsertNode(rest + U2B(k), units - k - 1);
    }
    InsertNode(rest, i);
}

void PpmdModel::GlueFreeBlocks() {
    std::uint32_t head = 0;
    std::uint32_t* previous = &head;
    glueCount_ = 1u << 13;
    std::memset(freeCount_, 0, sizeof freeCount_);
    // The root context sits in the top unit, so only the gap between the unit areas can follow
    // the last free block: mark it used.
    if (loUnit_ != hiUnit_)
        AsNode(loUnit_)->stamp = 0;
    for (unsigned i = 0; i < kIndexCount; ++i) {
        std::uint32_t next = freeList_[i];
        freeList_[i] = 0;
        while (next != 0) {
            Node* node = AsNode(Ptr(next));
            if (node->units != 0) {
                *previous = next;
                previous = &node->next;
                for (Node* after = node + node->units; after->stamp == kEmptyNode;
                     after = node + node->units) {
                    node->units += after->units;
                    after->units = 0;
                }
            }
            next = node->next;
        }
    }
    *previous = 0;
    while (head != 0) {
        Node* node = AsNode(Ptr(head));
        head = node->next;
        unsigned units = node->units;
        if (units == 0)
            continue;
        for (; units > 128; units -= 128, node += 128)
            InsertNode(node, kIndexCount - 1);
        unsigned i = U2I(units);
        if (I2U(i) != units) {
            const unsigned k = I2U(--i);
            InsertNode(node + k, units - k - 1);
        }
        InsertNode(node, i);
    }
}

void* PpmdModel::AllocUnitsRare(unsigned index) {
    if (glueCount_ == 0) {
        GlueFreeBlocks();
        if (freeList_[index] != 0)
            return RemoveNode(index);
    }
    unsigned i = index;
    do {
        if (++i == kIndexCount) {
            const std::uint32_t bytes = U2B(I2U(index));
            --glueCount_;
            if (static_cast<std::uint32_t>(unitsStart_ - text_) > bytes) {
                unitsStart_ -= bytes;
                return unitsStart_;
            }
            return nullptr;
        }
    } while (freeList_[i] == 0);
    void* p = RemoveNode(i);
    SplitBlock(p, i, index);
    return p;
}

void* PpmdModel::AllocUnits(unsigned index) {
    if (freeList_[index] != 0)
        return RemoveNode(index);
    const std::uint32_t bytes = U2B(I2U(index));
    if (bytes <= static_cast<std::uint32_t>(hiUnit_ - loUnit_)) {
        void* p = loUnit_;
        loUnit_ += bytes;
        return p;
    }
    return AllocUnitsRare(index);
}

void* PpmdModel::AllocContext() {
    if (hiUnit_ != loUnit_) {
        hiUnit_ -= kUnitSize;
        return hiUnit_;
    }
    if (freeList_[0] != 0)
        return RemoveNode(0);
    return AllocUnitsRare(0);
}

void* PpmdModel::ShrinkUnits(void* oldPtr, unsigned oldUnits, unsigned newUnits) {
    const unsigned i0 = U2I(oldUnits);
    const unsigned i1 = U2I(newUnits);
    if (i0 == i1)
        return oldPtr;
    if (freeList_[i1] != 0) {
        void* p = RemoveNode(i1);
        std::memcpy(p, oldPtr, U2B(newUnits));
        InsertNode(oldPtr, i0);
        return p;
    }
    SplitBlock(oldPtr, i0, i1);
    return oldPtr;
}

// Moves a block near the bottom of the units into a free block higher up, so the text area
// can grow into the space it leaves.
void* PpmdModel::MoveUnitsUp(void* oldPtr, unsigned units) {
    const unsigned index = U2I(units);
    if (static_cast<std::uint8_t*>(oldPtr) > unitsStart_ + 16 * 1024 ||
        Ref(oldPtr) > freeList_[index])
        return oldPtr;
    void* p = RemoveNode(index);
    std::memcpy(p, oldPtr, U2B(units));
    if (oldPtr != unitsStart_)
        InsertNode(oldPtr, index);
    else
        unitsStart_ += U2B(I2U(index));
    return p;
}

void PpmdModel::SpecialFreeUnit(void* p) {
    if (p != unitsStart_)
        InsertNode(p, 0);
    else
        unitsStart_ += kUnitSize;
}

// Free blocks at the bottom of the units join the text area and leave their free lists.
void PpmdModel::ExpandTextArea() {
    std::uint32_t count[kIndexCount] = {};
    if (loUnit_ != hiUnit_)
        AsNode(loUnit_)->stamp = 0;
    Node* node = AsNode(unitsStart_);
    for (; node->stamp == kEmptyNode; node += node->units) {
        node->stamp = 0;
        ++count[U2I(node->units)];
    }
    unitsStart_ = reinterpret_cast<std::uint8_t*>(node);
    for (unsigned i = 0; i < kIndexCount; ++i) {
        std::uint32_t* next = &freeList_[i];
        while (count[i] != 0) {
            Node* n = AsNode(Ptr(*next));
            while (n->stamp == 0) {
                *next = n->next;
                n = AsNode(Ptr(*next));
                --freeCount_[i];
                if (--count[i] == 0)
                    break;
            }
            next = &n->next;
        }
    }
}

std::uint32_t PpmdModel::UsedMemory() const {
    std::uint32_t freeUnits = 0;
    for (unsigned i = 0; i < kIndexCount; ++i)
        freeUnits += freeCount_[i] * I2U(i);
    return size_ - static_cast<std::uint32_t>(hiUnit_ - loUnit_) -
           static_cast<std::uint32_t>(unitsStart_ - text_) - U2B(freeUnits);
}

} // namespace ks::archive
