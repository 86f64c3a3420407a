#include "archive/zip_member.h"

namespace ks::archive {

bool ZipMember::IsDirectory() const {
    if (header.externalAttributes & 0x10)
        return true;
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

std::uint32_t ZipMember::NativeAttributes() const {
    if (HostSystem() == 3 || header.externalAttributes > 0x1FFFF)
        return AttributesFromUnixMode(header.externalAttributes >> 16);
    return header.externalAttributes & 0xFF;
}

std::uint32_t AttributesFromUnixMode(std::uint32_t mode) {
    std::uint32_t attributes = 0;
    switch (mode & 0xF000) {
    case 0x4000:
        attributes = 0x10;
        break;
    case 0x1000:
    case 0x2000:
    case 0x6000:
    case 0xA000:
    case 0xC000:
        attributes = 0x04;
        break;
    default:
        break;
    }
    if (!(mode & 0x0080))
        attributes |= 0x01;
    return attributes;
}

} // namespace ks::archive
