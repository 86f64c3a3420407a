// The engine's message questions, shown in the skinned message form.
#include "engine/form_dm_base.h"
#include "engine/msg_base_form.h"

namespace ks {

bool TDMBase::AskText(const std::string& text, bool twoButtons) {
    // One form per question; it is released when its modal loop returns.
    TFrmMsgBase form;
    return form.Ask(text, twoButtons);
}

bool TDMBase::AskMessage(int index, bool twoButtons) {
    return AskText(Message(index), twoButtons);
}

} // namespace ks
