// Reading a response body of an opened request, shared by the file downloads.
#pragma once
#include <string>

#include "net/block_pump.h"
#include "net/internet_handle_win.h"

namespace ks {

// The length the response announces, or -1 when it announces none.
long long AnnouncedLength(HINTERNET url);

// Copies the body of an opened URL. False when a read failed (its error number goes to
// readError when given) or the body ended before the length the server announced.
bool PumpBody(HINTERNET url, const BlockPump::DataSink& data, const BlockPump::BlockSink& block,
              DWORD* readError = nullptr);

// Raises OsError for a file that could not be created or written, with the last error's text
// and, for a file held by another program, that program's name.
[[noreturn]] void RaiseFileError(const char* action, const std::string& fileName);

} // namespace ks
