// Diagnostic line writer. trace() may be called from any thread; the sink's
// write runs on the caller's thread with the log's mutex held.
#pragma once

#include "foundation/mutex.h"

namespace talvio {

class TraceSink {
public:
    virtual void write(int level, const char* line) = 0;

protected:
    ~TraceSink() = default;
};

class TraceLog {
public:
    static constexpr int kBufferSize = 131072;

    static TraceLog& global();

    // The sink is not owned; pass nullptr to clear it.
    void setSink(TraceSink* sink);
    void trace(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));

private:
    Mutex mutex_;
    TraceSink* sink_ = nullptr;
    char buffer_[kBufferSize];
};

}  // namespace talvio
