#include "engine/msg_form_rules.h"

#include "skin/dpi_scale.h"

namespace ks {

bool InMsgFormDragFrame(int x, int y, int clientWidth, int clientHeight, int dpi) {
    const int right = ScaleLength(32, dpi);
    const bool inner = x >= ScaleLength(30, dpi) && y >= ScaleLength(40, dpi) &&
                       x <= clientWidth - right && y <= clientHeight - right;
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
