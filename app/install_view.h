// What an installation needs from the window: progress, questions and the inputs' state.
#pragma once
#include <cstdint>
#include <string>

namespace ks {

class InstallView {
public:
    virtual ~InstallView() = default;
    virtual void ShowTask(const std::string& text) = 0;
    virtual void ShowTransferProgress(std::int32_t total, std::int32_t current) = 0;
    // A modal question; true for Ok or Yes.
    virtual bool Ask(const std::string& text, bool twoButtons) = 0;
    virtual void SetInputsEnabled(bool enabled) = 0;
    virtual void Repaint() = 0;
    // The product is up: the setup window steps aside.
    virtual void Hide() = 0;
};

} // namespace ks
