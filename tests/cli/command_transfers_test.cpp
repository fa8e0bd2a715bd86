// What each command asks of the board, counted in the simulated board's
// transfer log: a command reads what it prints, once.
#include "cli/cli_args.h"
#include "cli/cli_context.h"
#include "cli/commands.h"
#include "sim/simulation.h"
#include "text/text_catalogue.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kv;
using namespace kv::cli;

namespace {

class CommandTransfers : public ::testing::Test {
protected:
    void SetUp() override {
        LoadTextCatalogue();
        qputenv("KESTVELQOR_SIM_STATE", dir.filePath("sim-state.ini").toUtf8());
    }
    void TearDown() override { qunsetenv("KESTVELQOR_SIM_STATE"); }

    // Runs a command against a simulated board with this many schedule
    // lines; gives the exit status and the board's transfers.
    int run(const QStringList& arguments, int (*command)(Context&), std::size_t lines) {
        Context c(parseArguments(arguments), false);
        c.service(); // the simulated board is on the bus from here
        sim::SimulatedBoard& board = c.simulation()->board();
        board.schedule().resize(lines);
        board.clearTransfers();
        const int status = command(c);
        transfers = board.transfers().size();
        return status;
    }

    QTemporaryDir dir;
    std::size_t transfers = 0;
};

} // namespace

TEST_F(CommandTransfers, StatusReadsTheInfoBlockOnce) {
    EXPECT_EQ(run({"--simulate", "--json", "status"}, runStatus, 255), ExitDone);
    EXPECT_LE(transfers, 2u);
    EXPECT_GE(transfers, 1u);
}

TEST_F(CommandTransfers, DumpReadsEveryRecordOnce) {
    // The InfoBlock; the schedule (its line count first, then 255 lines);
    // the expert and chart reports.
    EXPECT_EQ(run({"--simulate", "--json", "dump"}, runDump, 255), ExitDone);
    EXPECT_EQ(transfers, 259u);
}

TEST_F(CommandTransfers, ChangesReadOnlyWhatTheyChange) {
    EXPECT_EQ(run({"--simulate", "mode", "auto"}, runMode, 255), ExitDone);
    EXPECT_EQ(transfers, 2u) << "the InfoBlock, then the configuration";
    EXPECT_EQ(run({"--simulate", "level", "W", "50"}, runLevel, 255), ExitDone);
    EXPECT_EQ(transfers, 2u);
    EXPECT_EQ(run({"--simulate", "save"}, runSave, 255), ExitDone);
    EXPECT_EQ(transfers, 2u);
}
