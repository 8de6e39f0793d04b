#include <unistd.h>

#include <cstdio>

#include "foundation/text_convert.h"
#include "settings/file_replace.h"

namespace talvio {

bool ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
    const std::string target = WideToUtf8(path);
    const std::string temporary = target + "." + std::to_string(getpid()) + ".new";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = fsync(fileno(file)) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(temporary.c_str(), target.c_str()) == 0) return true;
    std::remove(temporary.c_str());
    return false;
}

}  // namespace talvio
