#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kv::fuzz {

// One fuzz target: a function that takes any input without crashing, and
// stops the process when a rule of the program is broken. Its name is the
// folder of its seed corpus (fuzz/corpus/NAME).
using TargetFunction = int (*)(const std::uint8_t* data, std::size_t size);

struct Target {
    const char* name;
    TargetFunction run;
};

// The targets linked into this program (the replay test links them all).
const std::vector<Target>& targets();
bool registerTarget(const char* name, TargetFunction run);

// Loads the text catalogue and sets the locale once per process; every
// target calls it first.
void setUpOnce();

// A broken rule: prints what and where, then aborts, so the fuzzer keeps the
// input and the replay test fails.
[[noreturn]] void fail(const char* what, const char* file, int line);

// A file of the given name in a private folder of this process, replaced
// with the bytes; returns its path.
QString writeScratchFile(const QString& name, const QByteArray& bytes);
QString scratchPath(const QString& name);

} // namespace kv::fuzz

#define KV_FUZZ_CHECK(condition)                                                                   \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::kv::fuzz::fail(#condition, __FILE__, __LINE__);                                      \
    } while (false)

// Under libFuzzer the target is the program's entry point; elsewhere (the
// replay test) it registers itself by name.
#ifdef KV_LIBFUZZER
#define KV_FUZZ_TARGET(name, function)                                                             \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {            \
        return function(data, size);                                                               \
    }
#else
#define KV_FUZZ_TARGET(name, function)                                                             \
    [[maybe_unused]] static const bool kvFuzzTargetRegistered =                                    \
        ::kv::fuzz::registerTarget(name, function);
#endif
