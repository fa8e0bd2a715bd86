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

} // namespace
} // namespace kv
