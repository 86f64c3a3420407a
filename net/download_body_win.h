// The body of a whole URL, block by block, shared by the stream and line downloads.
#pragma once
#include <string>

#include "net/block_pump.h"

namespace ks {

// Windows build. Hands the body of url to data; false as for DownloadToFile.
bool DownloadBody(const std::string& url, const BlockPump::DataSink& data);

} // namespace ks
