// TFrmFolderError: the message form that explains folders the setup could not write.
#pragma once
#include "engine/msg_base_form.h"

namespace ks {

class TFrmFolderError : public TFrmMsgBase {
public:
    static constexpr int kClientWidth = 476;
    static constexpr int kClientHeight = 267;

    TFrmFolderError();
};

} // namespace ks
