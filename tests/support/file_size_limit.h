#pragma once

// A disk that fills up: while a FileSizeLimit lives, no file of this process
// can grow beyond the given size; a write past it fails (as on a full disk)
// instead of ending the process.

#include <sys/resource.h>

#include <csignal>
#include <cstdint>

namespace kv::testing {

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::int64_t bytes) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limited = old_;
        limited.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
};

} // namespace kv::testing
