#include "net/body_pump_win.h"

#include "net/net_utils.h"
#include "sys/errors.h"
#include "sys/locked_files_win.h"

namespace ks {

long long AnnouncedLength(HINTERNET url) {
    std::string text(32, '\0');
    for (;;) {
        DWORD size = static_cast<DWORD>(text.size());
        DWORD index = 0;
        if (HttpQueryInfoA(url, HTTP_QUERY_CONTENT_LENGTH, text.data(), &size, &index)) {
            text.resize(size);
            break;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= text.size())
            return -1;
        text.resize(size);
    }
    if (text.empty() || text.size() > 18)
        return -1;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

bool PumpBody(HINTERNET url, const BlockPump::DataSink& data, const BlockPump::BlockSink& block,
              DWORD* readError) {
    const long long announced = AnnouncedLength(url);
    DWORD error = 0;
    BlockPump pump(
        [url, &error](char* buffer, std::size_t capacity, std::size_t& got) {
            DWORD read = 0;
            const BOOL ok = InternetReadFile(url, buffer, static_cast<DWORD>(capacity), &read);
            got = ok ? read : 0;
            if (!ok)
                error = GetLastError();
            return ok != FALSE;
        },
        data, block);
    const bool complete = pump.Run();
    if (readError)
        *readError = error;
    return complete && (announced < 0 || static_cast<long long>(pump.Moved()) >= announced);
}

void RaiseFileError(const char* action, const std::string& fileName) {
    const DWORD number = GetLastError();
    throw OsError(number, std::string(action) + " \"" + fileName +
                              "\": " + InternetErrorText(number) + HolderNote(fileName, number));
}

} // namespace ks
