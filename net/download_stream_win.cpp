// Stream downloads. Apart from the other downloads: a program that never calls this one
// links no stream and locale code, a third of the setup program's size.
#include "net/download_body_win.h"
#include "net/net_utils.h"

namespace ks {

bool DownloadToStream(const std::string& url, std::ostream& stream) {
    return DownloadBody(url, [&](const char* data, std::size_t size) {
        stream.write(data, static_cast<std::streamsize>(size));
    });
}

} // namespace ks
