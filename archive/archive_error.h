// Errors of the archive reader: the numbered archive errors and the failure kinds that
// member extraction tells apart when it routes a failure.
#pragma once
#include <exception>
#include <string>

#include "sys/errors.h"

namespace ks::archive {

enum ArchiveErrorCode : int {
    kNewerVersionRequired = 1,
    kUnsupportedMethod = 2,
    kInvalidPassword = 4,
    kAbortedByUser = 9,
    kDirectoryMissing = 15,
    kInvalidStream = 17,
    kCrcFailed = 19,
    kFileNotFound = 21,
    kArchiveMissing = 23,
    kNotPkZip = 24,
    kUnhandledArchiveType = 28,
};

// The text that belongs to an archive error code; "" for codes the reader never raises.
std::string ArchiveErrorMessage(int code);

class ArchiveError : public Error {
public:
    explicit ArchiveError(int code) : Error(ArchiveErrorMessage(code)), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

// A runtime file call failed (for instance creating a folder); carries the OS error code.
class InOutError : public OsError {
public:
    using OsError::OsError;
};

// Reading or writing an open stream failed or ran short.
class StreamError : public Error {
public:
    using Error::Error;
};

class FileOpenError : public Error {
public:
    using Error::Error;
};

class FileCreateError : public Error {
public:
    using Error::Error;
};

// A compressed stream that cannot be decoded, or that would produce more than declared.
class DecoderError : public Error {
public:
    using Error::Error;
};

enum class ErrorClass {
    ecArchive,
    ecInOutError,
    ecFilerError,
    ecFileCreateError,
    ecFileOpenError,
    ecCabError,
    ecOther,
};

struct FailureKind {
    ErrorClass errorClass;
    int code;
};

// Sorts a caught failure into its class and code, first match wins.
FailureKind ClassifyFailure(const std::exception& error);

} // namespace ks::archive
