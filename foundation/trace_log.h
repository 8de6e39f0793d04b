// Diagnostic line writer. trace() may be called from any thread; the sink's
// write runs on the caller's thread with the log's mutex held, so a sink
// must not trace itself.
#pragma once

#include "foundation/mutex.h"

#if defined(__MINGW32__)
#define TALVIO_PRINTF_FORMAT(f, a) __attribute__((format(gnu_printf, f, a)))
#else
#define TALVIO_PRINTF_FORMAT(f, a) __attribute__((format(printf, f, a)))
#endif

namespace talvio {

class TraceSink {
public:
    // line ends in "\n" and is valid only during the call.
    virtual void write(int level, const char* line) = 0;

protected:
    ~TraceSink() = default;
};

class TraceLog {
public:
    static constexpr int kBufferSize = 131072;

    TraceLog() = default;
    TraceLog(const TraceLog&) = delete;
    TraceLog& operator=(const TraceLog&) = delete;

    // The program's one log; never destroyed, so it serves until exit.
    static TraceLog& global();

    // The sink is not owned; nullptr clears it. Once this returns, the old
    // sink is no longer called.
    void setSink(TraceSink* sink);
    // Formats the line, appends "\n" and hands it to the sink, if any. A line
    // longer than the buffer is cut; the "\n" is always there.
    void trace(int level, const char* format, ...) TALVIO_PRINTF_FORMAT(3, 4);

private:
    Mutex mutex_;
    TraceSink* sink_ = nullptr;
    char buffer_[kBufferSize];
};

}  // namespace talvio
