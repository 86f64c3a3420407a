// The system's 8-bit code pages for member names, and conversions into the one the file
// system calls take.
#pragma once
#include <string>

namespace ks::archive {

int SystemAnsiCodePage();
int SystemOemCodePage();

// Each converts into the system's 8-bit code page; characters it cannot hold become what
// the platform substitutes for them.
std::string OemToSystem(const std::string& raw);
std::string Utf8ToSystem(const std::string& utf8);
std::string Utf16ToSystem(const std::u16string& text);

} // namespace ks::archive
