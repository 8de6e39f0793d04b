#include "foundation/trace_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace talvio {

TraceLog& TraceLog::global() {
    // Leaked on purpose: threads may still trace while statics are destroyed.
    static TraceLog* const log = new TraceLog;
    return *log;
}

void TraceLog::setSink(TraceSink* sink) {
    MutexLock lock(mutex_);
    sink_ = sink;
}

void TraceLog::trace(int level, const char* format, ...) {
    MutexLock lock(mutex_);
    if (!sink_) return;  // nobody would see the line

    // Room is kept for the "\n" and the NUL.
    constexpr int kTextLimit = kBufferSize - 2;
    buffer_[0] = '\0';
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer_, kTextLimit + 1, format, args);
    va_end(args);
    // Some C runtimes return -1 for a cut line and leave it unterminated.
    buffer_[kTextLimit] = '\0';
    const int length = n >= 0 && n <= kTextLimit ? n : static_cast<int>(std::strlen(buffer_));
    buffer_[length] = '\n';
    buffer_[length + 1] = '\0';
    sink_->write(level, buffer_);
}

}  // namespace talvio
