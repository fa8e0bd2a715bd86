#pragma once

// Takes from the calling thread the capabilities that let root open any file
// regardless of its mode (CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH), for as long
// as the object lives. An ordinary user has neither, so then nothing changes.
// Capabilities belong to the thread: other threads keep theirs.

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace kv::test {

class WithoutFileAccessOverride {
public:
    WithoutFileAccessOverride() {
        ok_ = syscall(SYS_capget, &header_, saved_) == 0;
        if (!ok_)
            return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ok_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~WithoutFileAccessOverride() {
        if (ok_)
            syscall(SYS_capset, &header_, saved_);
    }
    WithoutFileAccessOverride(const WithoutFileAccessOverride&) = delete;
    WithoutFileAccessOverride& operator=(const WithoutFileAccessOverride&) = delete;

    bool ok() const { return ok_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool ok_ = false;
};

} // namespace kv::test
