#include "skin/accelerator.h"

#include <cctype>

namespace ks {
namespace {

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

} // namespace

char AcceleratorOf(const std::string& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&')
            continue;
        if (caption[i + 1] == '&') {
            ++i;
            continue;
        }
        return Upper(caption[i + 1]);
    }
    return 0;
}

std::string DisplayCaption(const std::string& caption) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

bool IsAccelerator(char typed, const std::string& caption) {
    const char accelerator = AcceleratorOf(caption);
    return accelerator != 0 && Upper(typed) == accelerator;
}

} // namespace ks
