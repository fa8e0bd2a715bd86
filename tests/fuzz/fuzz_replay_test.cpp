// Every fuzz target runs over its seed corpus and over the inputs that once
// made it fail; a broken rule aborts the test program.
#include "fuzz_target.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cstdio>

namespace {

using kv::fuzz::Target;

QStringList inputsOf(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

class FuzzReplay : public ::testing::TestWithParam<std::string> {
protected:
    const Target& target() const {
        for (const Target& t : kv::fuzz::targets())
            if (GetParam() == t.name)
                return t;
        throw std::runtime_error("no such fuzz target");
    }

    // Runs every file of the folder; returns how many there were.
    int replay(const QString& folder) const {
        const QStringList paths = inputsOf(folder);
        for (const QString& path : paths) {
            QFile file(path);
            EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
            const QByteArray bytes = file.readAll();
            // Named before it runs: an abort leaves this as the last line.
            std::fprintf(stderr, "replaying %s\n", qPrintable(path));
            std::fflush(stderr);
            target().run(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                         std::size_t(bytes.size()));
        }
        return int(paths.size());
    }
};

} // namespace

TEST_P(FuzzReplay, SeedCorpusAndFormerFindings) {
    const QString name = QString::fromStdString(GetParam());
    EXPECT_GE(replay(QStringLiteral(KV_FUZZ_DIR "/corpus/") + name), 3)
        << "every target keeps a few seeds";
    replay(QStringLiteral(KV_FUZZ_DIR "/regressions/") + name);
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay,
                         ::testing::Values("firmware_file", "settings_file", "board_reports",
                                           "window_refresh", "message_format", "typed_text",
                                           "cli_arguments", "web_api", "mqtt_command",
                                           "alerts_file"),
                         [](const auto& info) { return info.param; });
