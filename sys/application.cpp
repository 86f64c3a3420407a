#include "sys/application.h"

namespace ks {
namespace {

std::string& TitleStorage() {
    static std::string title;
    return title;
}

} // namespace

void SetApplicationTitle(const std::string& title) {
    TitleStorage() = title;
}

const std::string& ApplicationTitle() {
    return TitleStorage();
}

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && message.back() == '.')
        return message;
    return message + ".";
}

} // namespace ks
