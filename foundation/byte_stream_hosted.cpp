#include "foundation/byte_stream.h"
#include "foundation/text_convert.h"

namespace talvio {

// Linux paths are bytes; the program's paths are UTF-8 on this side.
bool FileStream::open(const std::wstring& widePath) {
    close();
    const std::string path = WideToUtf8(widePath);
    if (path.empty()) return false;
    file_ = std::fopen(path.c_str(), "rb");
    return file_ != nullptr;
}

}  // namespace talvio
