// LCD pictures as text: rows of '#' (lit) and '.', compared with the
// snapshot files of tests/handset_ui/snapshots (compiled in as
// lcd_snapshots.h; lines starting with ';' are comments).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "handset_ui/lcd_canvas.h"
#include "lcd_snapshots.h"
#include "platform/platform.h"

namespace talvio::testing {

inline LcdCanvas MakeCanvas() { return LcdCanvas(128, 64, 11, std::vector<int>(8, 8)); }

inline bool Lit(const LcdCanvas& canvas, int x, int y) {
    return canvas.dibBits()[y * canvas.dibStride() + x / 8] & (0x80 >> (x % 8));
}

// The area as rows of '#' (lit) and '.', one line each.
inline std::string Picture(const LcdCanvas& canvas, const os::Rect& area = {0, 0, 128, 64}) {
    std::string picture;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) picture += Lit(canvas, x, y) ? '#' : '.';
        picture += '\n';
    }
    return picture;
}

inline int LitOutside(const LcdCanvas& canvas, const os::Rect& area) {
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (Lit(canvas, x, y) && (x < area.left || x >= area.right || y < area.top || y >= area.bottom))
                ++count;
    return count;
}

inline std::string Snapshot(std::string_view name) {
    for (const auto& [key, content] : kLcdSnapshots) {
        if (key != name) continue;
        std::string rows;
        for (std::size_t at = 0; at < content.size();) {
            const std::size_t end = std::min(content.find('\n', at), content.size());
            if (content[at] != ';') rows.append(content.substr(at, end - at)) += '\n';
            at = end + 1;
        }
        return rows;
    }
    ADD_FAILURE() << "no snapshot " << name;
    return {};
}

}  // namespace talvio::testing
