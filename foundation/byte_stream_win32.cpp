#include <cstdio>

#include "foundation/byte_stream.h"

namespace talvio {

bool FileStream::open(const std::wstring& widePath) {
    close();
    if (widePath.empty()) return false;
    file_ = _wfopen(widePath.c_str(), L"rb");
    return file_ != nullptr;
}

}  // namespace talvio
