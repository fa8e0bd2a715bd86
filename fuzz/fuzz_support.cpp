#include "fuzz_target.h"

#include "text/text_catalogue.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace kv::fuzz {

namespace {

std::vector<Target>& registry() {
    static std::vector<Target> list;
    return list;
}

} // namespace

const std::vector<Target>& targets() {
    return registry();
}

bool registerTarget(const char* name, TargetFunction run) {
    registry().push_back({name, run});
    return true;
}

void setUpOnce() {
    static const bool done = [] {
        LoadTextCatalogue();
        // The program's users read German: a decimal comma.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        return true;
    }();
    (void)done;
}

void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: broken rule: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

QString scratchPath(const QString& name) {
    static QTemporaryDir folder;
    return folder.filePath(name);
}

QString writeScratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = scratchPath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("the scratch file cannot be written", __FILE__, __LINE__);
    return path;
}

} // namespace kv::fuzz

#ifdef KV_LIBFUZZER
// libFuzzer calls this once before the first input: the core needs a Qt
// application (timers, resources, the event queue of the simulator), the
// window and the pictures a GUI one, on the offscreen platform.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept until the process ends, never destroyed: destroying it in the
    // static destructors would run after Qt's thread storage is gone and
    // leave its font caches unreachable, which the leak check at exit would
    // report as ours.
    static QApplication* app = new QApplication(*argc, *argv);
    (void)app;
    return 0;
}
#endif
