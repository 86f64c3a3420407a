// A picture resource decoded on a worker thread, so that loading the imaging component and
// decoding overlap with what the caller does meanwhile (making the window and its controls).
#pragma once
#include <windows.h>

#include <exception>
#include <string>

#include "skin/picture.h"
#include "sys/unique_handle_win.h"

namespace ks {

class PendingPicture {
public:
    // Starts decoding the RT_RCDATA resource `name` of the module (the program when null).
    // When no thread can start, Take decodes on the calling thread instead.
    explicit PendingPicture(std::string name, HMODULE module = nullptr);
    // Waits for the worker; a picture not taken is dropped.
    ~PendingPicture();
    PendingPicture(const PendingPicture&) = delete;
    PendingPicture& operator=(const PendingPicture&) = delete;

    // Waits for the picture; raises what LoadPictureResource raised. Once: later calls give an
    // empty picture.
    TPicture Take();

private:
    static DWORD WINAPI Run(void* self);
    void Wait();

    std::string name_;
    HMODULE module_;
    TPicture picture_;
    std::exception_ptr failure_;
    bool decoded_ = false;
    UniqueKernelHandle thread_;
};

} // namespace ks
