// The tool run in-process, as the fuzz target runs it: without the operating
// system's devices only the simulated board can be reached.
#include "cli/cli_args.h"
#include "cli/tool.h"
#include "text/text_catalogue.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv::cli;

TEST(ToolInProcess, WithoutSystemDevicesOnlyTheSimulatedBoardAnswers) {
    kv::LoadTextCatalogue();
    QTemporaryDir dir;
    const QString state = dir.filePath("sim-state.ini");
    qputenv("KESTVELQOR_SIM_STATE", state.toUtf8());

    EXPECT_EQ(runTool({"status"}, false), ExitNoDevice);
    EXPECT_EQ(runTool({"--simulate", "mode", "manual"}, false), ExitDone);
    EXPECT_TRUE(QFileInfo(state).isFile()) << "the simulated board keeps its settings";
    EXPECT_EQ(runTool({"--simulate", "level", "W", "101"}, false), ExitUsage);
    EXPECT_EQ(runTool({"frobnicate"}, false), ExitUsage);

    qunsetenv("KESTVELQOR_SIM_STATE");
    kv::textCatalogue().clear();
}
