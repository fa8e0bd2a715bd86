// A soak of the whole window on a simulated board that fails a tenth of its
// transfers and whose cable is pulled and plugged in again at random: it is
// polled, edited (levels, schedule lines, configuration, modes), imported,
// exported and flashed, step after step, while these hold throughout:
// - the window is connected only while it holds a board with firmware 12;
// - every report the board takes is what the records and masks say;
// - the settings file on disk is always complete: an export cut short (the
//   disk full) leaves the old file;
// - a flash cut off at any block leaves a board that a second flash brings
//   back.
// The seed and the number of steps come from KESTVELQOR_SOAK_SEED and
// KESTVELQOR_SOAK_STEPS for a longer run by hand.
#include "../firmware/firmware_test_support.h"
#include "support/file_size_limit.h"
#include "typing.h"
#include "window_test_support.h"

#include "schedule/schedule_cells.h"
#include "settings/settings_file.h"
#include "views/schedule_grid.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>

#include <cstdio>
#include <limits>
#include <optional>
#include <random>

namespace kv::testing {
namespace {

constexpr double FailureShare = 0.10;
constexpr int DefaultSeed = 17;
constexpr int DefaultSteps = 400;
constexpr std::int32_t FirmwareEnd = 0x04FF; // ten blocks of 128 bytes
constexpr int FirmwareBlocks = (FirmwareEnd + 1) / 128;
constexpr int RecoveryAttempts = 5;

int environmentNumber(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct SoakCounts {
    int steps = 0;
    int transfersFailed = 0;
    int unplugs = 0;
    int flashes = 0;   // firmware updates run (first block sent)
    int flashCuts = 0; // of them cut off by pulling the cable
    int connections = 0;
    int writesChecked = 0;
    int exports = 0;
    int exportsCut = 0;
    int imports = 0;
    int edits = 0;
    int polls = 0;
};

class FaultSoak : public WindowTest {
protected:
    void SetUp() override {
        seed = std::uint32_t(environmentNumber("KESTVELQOR_SOAK_SEED", DefaultSeed));
        steps = environmentNumber("KESTVELQOR_SOAK_STEPS", DefaultSteps);
        random.seed(seed);
        ASSERT_TRUE(dir.isValid());
        firmwarePath = dir.filePath("KestVELQOR1x12.chx");
        writeFile(firmwarePath, firmwareBytes(0, FirmwareEnd, patternImage(0, FirmwareEnd)));
        exportPath = dir.filePath("export.ini");
        flashRetryPauseMs = 0; // a failed block is sent again at once
        confirmAnswer = true;
    }

    void start() {
        create();
        service().setBackupFolder(dir.filePath("backups"));
        QObject::connect(&sim(), &sim::SimBackend::boardWritten, window.get(),
                         [this] { checkLastWrite(); });
        QObject::connect(&service(), &BoardService::operationProgress, window.get(),
                         [this](Operation operation, qint64 done, qint64) {
                             if (operation == Operation::FirmwareUpdate)
                                 afterBlock(int(done / 128) - 1);
                         });
        QObject::connect(&service(), &BoardService::connected, window.get(),
                         [this] { ++counts.connections; });
        // Polls come from the steps only, so that a seed repeats its run.
        service().setPollInterval(std::numeric_limits<int>::max());
        showWindow();
        ASSERT_TRUE(QTest::qWaitFor([this] { return window->connected(); }, 5000));
        board().setFailureProbability(FailureShare, seed);
        sim().bootloader().setFailureProbability(FailureShare, seed + 1);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    bool chance(double p) { return std::bernoulli_distribution(p)(random); }

    // Lets plug changes reach discovery (and what it starts: a flash offered
    // to a bootloader starts here).
    void settle() {
        for (int i = 0; i < 4; ++i)
            QApplication::processEvents();
    }

    // Lets a firmware update that started run to its end: its blocks go one
    // per turn of the event loop.
    void finishUpdate() {
        settle();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !service().updateRunning(); }, 20000))
            << "step " << counts.steps;
        settle();
    }

    // -- Invariants ---------------------------------------------------------

    // The report the board just took against the records it claims to carry.
    void checkLastWrite() {
        ASSERT_FALSE(board().transfers().empty());
        const std::vector<std::uint8_t>& bytes = board().transfers().back().bytes;
        ++counts.writesChecked;
        EXPECT_TRUE(matchesRecords(bytes))
            << "report " << int(bytes.at(0)) << " at step " << counts.steps;
    }

    // The InfoBlock as a report that leaves out the clock, the line or the
    // levels by their "do not change" markers.
    static std::vector<std::uint8_t> infoReport(const InfoBlock& info, bool clock, bool line,
                                                bool levels) {
        std::vector<std::uint8_t> report{InfoBlock::ReportId};
        const auto payload = info.encode();
        report.insert(report.end(), payload.begin(), payload.end());
        if (!clock)
            report[1 + InfoBlock::MinuteOffset] = InfoBlock::UnsetByte;
        if (!line)
            report[1 + InfoBlock::CurrentLineOffset] = InfoBlock::UnsetByte;
        if (!levels) {
            report[1 + InfoBlock::LevelOffset] = std::uint8_t(InfoBlock::LevelsUnset & 0xFF);
            report[2 + InfoBlock::LevelOffset] = std::uint8_t(InfoBlock::LevelsUnset >> 8);
        }
        return report;
    }

    bool matchesRecords(const std::vector<std::uint8_t>& bytes) {
        const BoardService& records = service();
        auto payloadIs = [&bytes](const auto& payload, std::size_t from) {
            return bytes.size() == from + payload.size() &&
                   std::equal(payload.begin(), payload.end(), bytes.begin() + long(from));
        };
        switch (bytes.at(0)) {
        case InfoBlock::ReportId:
            for (int masks = 0; masks < 8; ++masks) {
                if (payloadIs(infoReport(records.info(), masks & 1, masks & 2, masks & 4), 0))
                    return true;
            }
            return false;
        case ExpertBlock::ReportId:
            return payloadIs(records.expert().encode(), 1);
        case ScheduleLine::ReportId: {
            const std::size_t index = bytes.at(1);
            if (index >= FirstCommandCode) {
                const bool command = index == std::size_t(BoardCommand::Storm) ||
                                     index == std::size_t(BoardCommand::Cloud) ||
                                     index == std::size_t(BoardCommand::Save);
                return command && payloadIs(std::array<std::uint8_t, ScheduleLine::Size>{}, 2);
            }
            return index < records.schedule().size() &&
                   payloadIs(records.schedule()[index].encode(), 2);
        }
        default:
            return false;
        }
    }

    void checkConnection() {
        EXPECT_EQ(window->connected(), service().isConnected()) << "step " << counts.steps;
        if (!window->connected())
            return;
        EXPECT_TRUE(service().boardHeld()) << "step " << counts.steps;
        EXPECT_TRUE(sim().boardPlugged()) << "step " << counts.steps;
        EXPECT_EQ(board().info().FirmwareVersion, 12) << "step " << counts.steps;
    }

    void countFailedTransfers() {
        for (const auto* log : {&board().transfers(), &sim().bootloader().transfers()})
            for (const sim::Transfer& t : *log)
                counts.transfersFailed += t.succeeded ? 0 : 1;
        board().clearTransfers();
        sim().bootloader().clearTransfers();
    }

    // -- What a person does -------------------------------------------------

    void showPage(const char* name) {
        window->switchToTab(window->page(QString::fromLatin1(name)));
    }

    bool runMenu(QMenu* menu, QAction* action) {
        emit menu->aboutToShow();
        if (!action->isEnabled())
            return false;
        action->trigger();
        return true;
    }

    void editLevel() {
        showPage("tsChannels");
        auto* slider = child<QSlider>(QStringLiteral("trb%1").arg(pick(4)));
        if (!slider || !slider->isEnabled())
            return;
        slider->setFocus();
        QTest::keyClick(slider, chance(0.5) ? Qt::Key_PageUp : Qt::Key_PageDown);
        ++counts.edits;
    }

    void editScheduleLine() {
        showPage("tsSchedule");
        auto* grid = child<ScheduleGrid>("sgSchedule");
        if (!grid || !grid->isEnabled() || grid->rowCount() == 0)
            return;
        const int row = pick(grid->rowCount());
        const bool flag = chance(0.5);
        const int column = flag ? schedule::DisplayColumn + pick(3)
                                : schedule::FirstLevelColumn + pick(ChannelCount);
        const QModelIndex cell = grid->model()->index(row, column);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier,
                          grid->visualRect(cell).center());
        if (!flag) {
            QLineEdit* editor = grid->cellEditor();
            if (!editor)
                return;
            editor->selectAll();
            QTest::keyClicks(editor, QString::number(pick(101)));
            QTest::keyClick(editor, Qt::Key_Return);
        }
        ++counts.edits;
    }

    void editConfig() {
        showPage("tsConfig");
        static const char* const edits[] = {"edtFanOff", "edtFanLow", "edtFanHigh", "edtLCDBLMax"};
        auto* edit = child<QLineEdit>(QString::fromLatin1(edits[pick(4)]));
        if (!edit || !edit->isEnabled())
            return;
        typeInto(edit, QString::number(pick(101)));
        QTest::keyClick(edit, Qt::Key_Return);
        ++counts.edits;
    }

    void changeMode() {
        const MainMenu& menu = window->menu();
        QAction* modes[] = {menu.mnuModeManual, menu.mnuModeAuto, menu.mnuModeGeo};
        if (runMenu(menu.mnuOptions, modes[pick(3)]))
            ++counts.edits;
    }

    // A settings file like an exported one, with some values of its own.
    void importFile(bool schedule) {
        InfoBlock info = service().info();
        ExpertBlock expert = service().expert();
        Schedule lines = service().schedule();
        info.FanLow = std::uint8_t(pick(50));
        info.FanHigh = std::uint8_t(50 + pick(51));
        expert.FanOff = std::uint8_t(pick(101));
        for (ScheduleLine& line : lines)
            line.Color16[std::size_t(pick(4))] = std::int16_t(pick(4097));
        openAnswer = dir.filePath(schedule ? "schedule.ini" : "config.ini");
        ASSERT_TRUE(WriteSettingsFile(openAnswer, info, expert, lines));
        const MainMenu& menu = window->menu();
        if (runMenu(menu.mnuFile, schedule ? menu.mnuScheduleImport : menu.mnuConfigImport))
            ++counts.imports;
    }

    // Exports, now and then with the disk filling up halfway through the
    // file: the old file must then stay as it was.
    void exportFile() {
        const QByteArray before = fileBytes(exportPath);
        const bool cut = !before.isEmpty() && chance(0.3);
        saveAnswer = exportPath;
        bool ran = false;
        {
            std::optional<FileSizeLimit> disk;
            if (cut)
                disk.emplace(before.size() / 2);
            ran = runMenu(window->menu().mnuFile, window->menu().mnuScheduleConfigExport);
        }
        if (!ran)
            return;
        ++counts.exports;
        const QByteArray after = fileBytes(exportPath);
        if (cut) {
            ++counts.exportsCut;
            EXPECT_EQ(after, before)
                << "an export cut short changed the file, step " << counts.steps;
            return;
        }
        // The whole file of the records the window holds.
        const QString expectedPath = dir.filePath("expected.ini");
        QFile::remove(expectedPath);
        ASSERT_TRUE(WriteSettingsFile(expectedPath, service().info(), service().expert(),
                                      service().schedule()));
        EXPECT_EQ(after, fileBytes(expectedPath)) << "step " << counts.steps;
    }

    void flash() {
        // Cut off after each block in turn.
        cutAfterBlock = chance(0.6) ? counts.flashCuts % FirmwareBlocks : -1;
        sim().setFirmwareAfterFlash(chance(0.2) ? 11 : 12);
        openAnswer = firmwarePath;
        runMenu(window->menu().mnuFile, window->menu().mnuFirmwareUpdate);
        // A save command that failed leaves the board where it was; it must
        // not take the board into its bootloader on a later save.
        sim().setEnterBootloaderOnSave(false);
        finishUpdate(); // the bootloader is claimed, offered the file and flashed
        cutAfterBlock = -1;
        if (flashWasCut) {
            flashWasCut = false;
            bringBackAfterCut();
        }
    }

    void afterBlock(int block) {
        if (block == 0)
            ++counts.flashes;
        if (block != cutAfterBlock)
            return;
        cutAfterBlock = -1;
        sim().pullCable();
        cablePulled = true;
        flashWasCut = true;
        ++counts.flashCuts;
        ++counts.unplugs;
    }

    // The cable goes back in: the bootloader is up again with the partly
    // flashed board, and the second flash (or, when a transfer failed for
    // good, the user's next update) brings the board back.
    void bringBackAfterCut() {
        ASSERT_TRUE(sim().programIncomplete());
        sim().setFirmwareAfterFlash(12);
        sim().plugCable();
        cablePulled = false;
        settle();
        for (int attempt = 0; attempt < RecoveryAttempts && sim().programIncomplete(); ++attempt) {
            runMenu(window->menu().mnuFile, window->menu().mnuFirmwareUpdate);
            finishUpdate();
        }
        EXPECT_FALSE(sim().programIncomplete()) << "step " << counts.steps;
        EXPECT_TRUE(sim().boardPlugged()) << "step " << counts.steps;
        if (!window->connected() && service().boardHeld()) {
            // Held, but its first read failed three times (its firmware is
            // unknown): plugged in again it is read again.
            replug();
        }
        EXPECT_TRUE(window->connected()) << "step " << counts.steps;
    }

    void replug() {
        sim().pullCable();
        settle();
        sim().plugCable();
        settle();
        ++counts.unplugs;
    }

    void step() {
        ++counts.steps;
        if (cablePulled ? chance(0.3) : chance(0.04)) {
            cablePulled ? sim().plugCable() : sim().pullCable();
            counts.unplugs += cablePulled ? 0 : 1;
            cablePulled = !cablePulled;
            settle();
        }
        const int action = pick(20);
        if (action < 6) {
            if (window->connected()) {
                poll();
                ++counts.polls;
            }
        } else if (action < 9) {
            editLevel();
        } else if (action < 12) {
            editScheduleLine();
        } else if (action < 14) {
            editConfig();
        } else if (action < 15) {
            changeMode();
        } else if (action < 16) {
            importFile(false);
        } else if (action < 17) {
            importFile(true);
        } else if (action < 19) {
            exportFile();
        } else {
            flash();
        }
        settle();
        checkConnection();
        countFailedTransfers();
    }

    std::uint32_t seed = DefaultSeed;
    int steps = DefaultSteps;
    std::mt19937 random;
    QTemporaryDir dir;
    QString firmwarePath;
    QString exportPath;
    SoakCounts counts;
    bool cablePulled = false;
    int cutAfterBlock = -1;
    bool flashWasCut = false;
};

TEST_F(FaultSoak, TheWindowKeepsItsPromisesThroughFailedTransfersAndPulledCables) {
    start();
    for (int i = 0; i < steps && !HasFatalFailure(); ++i)
        step();
    if (cablePulled) {
        sim().plugCable();
        settle();
    }
    std::printf("fault soak: seed %u, %d steps, %d transfers failed, %d unplugs, %d flashes "
                "(%d cut off), %d connections, %d exports (%d cut short), %d imports, %d edits, "
                "%d polls, %d written reports checked\n",
                seed, counts.steps, counts.transfersFailed, counts.unplugs, counts.flashes,
                counts.flashCuts, counts.connections, counts.exports, counts.exportsCut,
                counts.imports, counts.edits, counts.polls, counts.writesChecked);
    // The run did what it is for.
    EXPECT_GT(counts.transfersFailed, 0);
    EXPECT_GT(counts.unplugs, 0);
    if (steps >= DefaultSteps) {
        EXPECT_GE(counts.flashCuts, FirmwareBlocks) << "a flash cut off after every block";
    }
    EXPECT_GT(counts.exportsCut, 0);
    EXPECT_GT(counts.writesChecked, 0);
}

} // namespace
} // namespace kv::testing
