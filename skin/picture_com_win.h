// COM plumbing shared by the picture readers and writer.
#pragma once
#include <objbase.h>
#include <wincodec.h>

#include <string>

#include "sys/errors.h"
#include "sys/unique_handle_win.h"

namespace ks {

template <typename T> struct ComTraits {
    using Handle = T*;
    static Handle Invalid() { return nullptr; }
    static void Close(Handle object) { object->Release(); }
};
template <typename T> using ComPtr = UniqueHandle<ComTraits<T>>;

// COM for the calling thread, for as long as the scope lasts.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

// Raises the picture error naming the step that failed.
inline void CheckPicture(HRESULT result, const char* what) {
    if (FAILED(result))
        throw Error(std::string("Picture could not be read: ") + what);
}

// The imaging component, with COM already started on this thread.
inline ComPtr<IWICImagingFactory> CreateImagingFactory() {
    ComPtr<IWICImagingFactory> factory;
    CheckPicture(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(factory.Put())),
                 "no imaging component");
    return factory;
}

} // namespace ks
