#include "archive/archive_error.h"

namespace ks::archive {

std::string ArchiveErrorMessage(int code) {
    switch (code) {
    case kNewerVersionRequired:
        return "Cannot extract file - newer version required";
    case kUnsupportedMethod:
        return "Cannot extract file - unsupported compression method";
    case kInvalidPassword:
        return "Cannot extract file - invalid password";
    case kAbortedByUser:
        return "Process aborted by user";
    case kDirectoryMissing:
        return "Directory does not exist";
    case kInvalidStream:
        return "Invalid Stream";
    case kCrcFailed:
        return "Failed CRC Check";
    case kFileNotFound:
        return "File not found";
    case kArchiveMissing:
        return "Archive does not exist - Filename is blank";
    case kNotPkZip:
        return "Invalid file - not a PKZip file";
    case kUnhandledArchiveType:
        return "Unhandled Archive Type";
    default:
        return "";
    }
}

FailureKind ClassifyFailure(const std::exception& error) {
    if (const auto* archive = dynamic_cast<const ArchiveError*>(&error))
        return {ErrorClass::ecArchive, archive->Code()};
    if (const auto* io = dynamic_cast<const InOutError*>(&error))
        return {ErrorClass::ecInOutError, static_cast<int>(io->Code())};
    if (dynamic_cast<const StreamError*>(&error))
        return {ErrorClass::ecFilerError, 0};
    if (dynamic_cast<const FileOpenError*>(&error))
        return {ErrorClass::ecFileOpenError, 0};
    if (dynamic_cast<const FileCreateError*>(&error))
        return {ErrorClass::ecFileCreateError, 0};
    return {ErrorClass::ecOther, 0};
}

} // namespace ks::archive
