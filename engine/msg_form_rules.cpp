#include "engine/msg_form_rules.h"

namespace ks {

bool InMsgFormDragFrame(int x, int y, int clientWidth, int clientHeight) {
    const bool inner = x >= 30 && y >= 40 && x <= clientWidth - 32 && y <= clientHeight - 32;
    return !inner;
}

std::string FolderErrorExplanation() {
    static const char* const lines[] = {
        "Tipically this is due to protecting systems that block write access to ",
        "certain folders. Please, try the following:",
        " ",
        "- Choose another folder.",
        "- Configurate antivirus to not to block this setup application.",
        "- Click on 'Safe Configuration' button, to set an alternate configuration.",
    };
    std::string text;
    for (const char* line : lines) {
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    return text;
}

} // namespace ks
