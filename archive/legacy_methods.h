// The three legacy method decoders behind DecodeLegacyMember; each runs one member from its
// first compressed bit until the input ends, the declared size is reached or the data is bad.
#pragma once
#include "archive/legacy_bit_reader.h"
#include "archive/legacy_decoders.h"
#include "archive/legacy_output_window.h"

namespace ks::archive {

// Method 1.
LegacyResult Unshrink(LegacyBitReader& input, LegacyOutputWindow& output);
// Methods 2 to 5: factor = method - 1.
LegacyResult Unreduce(int factor, LegacyBitReader& input, LegacyOutputWindow& output);
// Method 6.
LegacyResult Explode(bool bigDictionary, bool threeTrees, LegacyBitReader& input,
                     LegacyOutputWindow& output);

} // namespace ks::archive
