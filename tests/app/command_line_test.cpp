#include "app/command_line.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace kv {
namespace {

TEST(CommandWordTest, DropsTheFirstCharacterAndLowerCasesAsciiOnly) {
    EXPECT_EQ(commandWord("/EXPERT"), "expert");
    EXPECT_EQ(commandWord("-Debug"), "debug");
    EXPECT_EQ(commandWord("expert"), "xpert");
    EXPECT_EQ(commandWord("xEXPERT"), "expert");
    EXPECT_EQ(commandWord(QString::fromUtf8("/ÄXPERT")), QString::fromUtf8("Äxpert"));
    EXPECT_EQ(commandWord(""), "");
    EXPECT_EQ(commandWord("/"), "");
}

TEST(CommandLineTest, WordsMustMatchWhole) {
    const CommandLine line = parseCommandLine({"/expert2", "debug", "-debugx", "--expert"});
    EXPECT_FALSE(line.expert);
    EXPECT_FALSE(line.debug);
    EXPECT_EQ(line.parameters.size(), 4);
}

TEST(CommandLineTest, DebugAndExpertTogether) {
    const CommandLine line = parseCommandLine({"-debug", "-expert"});
    EXPECT_TRUE(line.debug);
    EXPECT_TRUE(line.expert);
    EXPECT_FALSE(line.simulate);
    EXPECT_EQ(line.parameters, QStringList({"-debug", "-expert"}));
}

TEST(CommandLineTest, SimulateIsItsOwnSwitch) {
    const CommandLine line = parseCommandLine({"--simulate"});
    EXPECT_TRUE(line.simulate);
    EXPECT_FALSE(line.expert);
    EXPECT_FALSE(line.debug);
    EXPECT_FALSE(parseCommandLine({"/simulate"}).simulate);
    EXPECT_EQ(parameterLogLine("--simulate"), "Parameter: --simulate");
}

TEST(CommandLineTest, HistoryFileIsANameAndNoWordOfTheList) {
    // A file named like a word of the list is still the file.
    const CommandLine line = parseCommandLine({"/expert", "--history", "-debug", "debug"});
    EXPECT_EQ(line.historyFile, "-debug");
    EXPECT_TRUE(line.expert);
    EXPECT_FALSE(line.debug);
    EXPECT_EQ(line.parameters, QStringList({"/expert", "--history", "-debug", "debug"}));
    EXPECT_EQ(historyFileOf(line, "/default.sqlite"), "-debug");

    const CommandLine assigned = parseCommandLine({"--history=/tmp/h.sqlite", "--simulate"});
    EXPECT_EQ(assigned.historyFile, "/tmp/h.sqlite");
    EXPECT_TRUE(assigned.simulate);
    EXPECT_FALSE(assigned.historyWithoutFile);
}

TEST(CommandLineTest, HistoryByDefaultOffWithNoHistoryAndAMissingFileNoted) {
    EXPECT_EQ(historyFileOf(parseCommandLine({"-debug"}), "/default.sqlite"), "/default.sqlite");
    const CommandLine off = parseCommandLine({"--history", "/tmp/h.sqlite", "--no-history"});
    EXPECT_TRUE(off.noHistory);
    EXPECT_EQ(historyFileOf(off, "/default.sqlite"), "") << "--no-history wins";
    // Typed as given, like --simulate.
    EXPECT_FALSE(parseCommandLine({"/no-history"}).noHistory);
    EXPECT_FALSE(parseCommandLine({"--NO-HISTORY"}).noHistory);

    const CommandLine last = parseCommandLine({"/expert", "--history"});
    EXPECT_TRUE(last.historyWithoutFile);
    EXPECT_TRUE(last.expert);
    EXPECT_EQ(historyFileOf(last, "/default.sqlite"), "/default.sqlite");
    EXPECT_TRUE(parseCommandLine({"--history="}).historyWithoutFile);
}

} // namespace
} // namespace kv
