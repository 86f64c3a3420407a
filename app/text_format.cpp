#include "app/text_format.h"

namespace ks {

std::string FormatStrings(const std::string& format, const std::vector<std::string>& args) {
    std::string text;
    auto next = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 == format.size()) {
            text += format[i];
            continue;
        }
        const char kind = format[i + 1];
        if (kind == 's') {
            if (next != args.end())
                text += *next++;
            ++i;
        } else if (kind == '%') {
            text += '%';
            ++i;
        } else {
            text += '%';
        }
    }
    return text;
}

} // namespace ks
