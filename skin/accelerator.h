// Accelerator letters in captions: "&x" marks x, "&&" is one literal "&".
#pragma once
#include <string>

namespace ks {

// The upper-cased accelerator character of a caption, or 0 when it has none.
char AcceleratorOf(const std::string& caption);
// The caption as shown: markers removed, "&&" as "&".
std::string DisplayCaption(const std::string& caption);
// True when the typed character selects the caption's accelerator (case-insensitive).
bool IsAccelerator(char typed, const std::string& caption);

} // namespace ks
