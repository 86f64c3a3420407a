// Filling "%s" placeholders of list texts (server path format, progress captions).
#pragma once
#include <string>
#include <vector>

namespace ks {

// Replaces each "%s" in turn with the next argument and "%%" with "%". Placeholders without an
// argument become empty; any other "%" sequence is copied unchanged. The texts come from our
// lists, but a format is never handed to printf.
std::string FormatStrings(const std::string& format, const std::vector<std::string>& args);

} // namespace ks
