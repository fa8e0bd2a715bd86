// The emulated bus works only in a process that runs under umockdev's preload
// library (it redirects /sys, /dev and the udev socket into the testbed).
// Before anything else runs, this program starts itself again under it, so
// that it works from CTest and by hand alike.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* PreloadLibrary = "libumockdev-preload.so.0";

[[gnu::constructor]] void runUnderUmockdev() {
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "libumockdev-preload"))
        return;
    std::string value = PreloadLibrary;
    if (preload && *preload)
        value += std::string(":") + preload;
    setenv("LD_PRELOAD", value.c_str(), 1);

    // The command line as this process got it.
    static std::string arguments;
    FILE* file = std::fopen("/proc/self/cmdline", "rb");
    if (!file)
        return;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        arguments.append(buffer, n);
    std::fclose(file);
    static std::vector<char*> argv;
    for (std::size_t start = 0; start < arguments.size();) {
        argv.push_back(arguments.data() + start);
        start = arguments.find('\0', start);
        if (start == std::string::npos)
            break;
        ++start;
    }
    argv.push_back(nullptr);
    execv("/proc/self/exe", argv.data());
    std::perror("re-executing under umockdev");
}

} // namespace
