#pragma once

#include "board/line_fields.h"
#include "board/operation.h"
#include "board/outcome.h"
#include "device/device_choice.h"
#include "device/device_kind.h"
#include "device/device_session.h"
#include "device/discovery.h"
#include "device/hid_backend.h"
#include "device/records/chart_block.h"
#include "device/records/expert_block.h"
#include "device/records/info_block.h"
#include "device/records/schedule_line.h"
#include "firmware/flasher.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace kv {

class Reporter;

// What a newly connected board is read for.
enum class ConnectReads {
    Everything, // InfoBlock, schedule, ExpertBlock and chart, as the window needs
    InfoOnly,   // the InfoBlock alone; a command reads what else it needs
};

struct BoardServiceOptions {
    // Which board to claim among several (by default the first found).
    DeviceChoice choice;
    ConnectReads reads = ConnectReads::Everything;
    // Who asks when an operation is called without an origin.
    Front front = Front::Window;
};

// What the service counted since it started, for monitoring.
struct BoardCounters {
    quint64 polls = 0;            // polls that asked the board
    quint64 transferFailures = 0; // transfer attempts that failed
    quint64 clockCorrections = 0; // times the clock was corrected
};

// Whether a level may be set whatever the board's mode, or only in Manual
// mode, the one mode in which the board follows the levels it is given.
enum class LevelRule { AnyMode, ManualOnly };

// The board as every front sees it: one service per claimed board, which
// owns the device session (HID controller, discovery, board link, poller)
// and the clock rules, holds the latest records with the time each was read,
// and carries out what a front asks, by what the user means.
//
// Rules:
// - Only the service talks to the board link. Fronts read the records here
//   and never cause a transfer by reading: a web GET or an MQTT publish costs
//   nothing.
// - Every operation checks its input before the board is asked; a refused
//   one sends nothing. It returns an Outcome (code and message) and ends
//   with operationEnded; nothing is learnt from the log.
// - An operation stores the change in the records before it writes them
//   (as the window always did): a write that fails leaves the records as
//   edited and the board as it was, until the next read.
// - Everything runs on the thread of the event loop. The firmware update is
//   the one long operation: it advances block by block from the event loop.
class BoardService : public QObject {
    Q_OBJECT
public:
    BoardService(Reporter& reporter, const std::vector<DeviceSource>& sources,
                 BoardServiceOptions options = {}, QObject* parent = nullptr);
    ~BoardService() override;

    // -- Finding the board ---------------------------------------------------

    // Scans the bus now. The first call is the initial scan, which also runs
    // by itself once the event loop starts (the command line has no loop).
    void scanNow();
    // Polling reads nothing while this says false (the window is hidden).
    void setPollGate(std::function<bool()> mayPoll);
    void setPollInterval(int ms);
    int pollInterval() const;
    // One poll now: the InfoBlock, and the clock corrected when it drifted.
    void pollNow();
    // Every HID device on the bus after a scan now, in list order with its
    // index (a listing for people; the board is not claimed by it).
    struct BusDevice {
        int index = 0;
        HidDeviceInfo info;
    };
    std::vector<BusDevice> devicesOnBus();

    // -- State ----------------------------------------------------------------

    // A board with the supported firmware is connected.
    bool isConnected() const;
    // A board device is held, connected or not (another firmware).
    bool boardHeld() const;
    bool bootloaderHeld() const;
    // Why no usable board is connected, as the user is told; empty when one
    // is.
    TextMessage problem() const;
    // The USB serial number of the held board; empty without one.
    QString serialNumber() const;

    const InfoBlock& info() const;
    const ExpertBlock& expert() const;
    const Schedule& schedule() const;
    const ChartBlock& chart() const;
    // The computer's time of the last successful read of a record; invalid
    // when it was never read from this board.
    QDateTime readAt(BoardRecord record) const;
    BoardCounters counters() const;
    // What the records hold before any board was read (the window shows the
    // computer's moment at a preset place); ignored while a board is held.
    void presetRecords(const InfoBlock& info, const ExpertBlock& expert);

    // -- Operations -----------------------------------------------------------
    // Each checks its input, then writes to the board; see the class rules.

    Outcome setMode(BoardMode mode, const Origin& origin = {});
    // A level 0..4096 (fieldrange::Level).
    Outcome setLevel(int channel, int level, LevelRule rule = LevelRule::AnyMode,
                     const Origin& origin = {});
    Outcome setLevels(const std::array<int, ChannelCount>& levels,
                      LevelRule rule = LevelRule::AnyMode, const Origin& origin = {});
    // The "Now" action: time lapse back to real time, the configuration
    // written, then the clock set to this date and time (years 2000..2127).
    Outcome setClock(const QDateTime& when, const Origin& origin = {});
    // The board's clock as the Geo tab edits it: its date, or its hour and
    // minute; the other clock fields stay.
    Outcome setClockDate(const QDate& date, const Origin& origin = {});
    Outcome setClockTime(int hour, int minute, const Origin& origin = {});
    // The board goes to this schedule line.
    Outcome selectLine(int index, const Origin& origin = {});
    // The configuration fields of the InfoBlock (mode, fan, backlight, time
    // lapse, colour names, weather rates) as the given record holds them.
    Outcome setConfiguration(const InfoBlock& configuration, const Origin& origin = {});
    // The whole ExpertBlock as the given record holds it.
    Outcome setExpert(const ExpertBlock& expert, const Origin& origin = {});
    // One line changed by typed fields. With reReadFirst the schedule is read
    // fresh first, so a front that did not watch the board changes what the
    // board holds now.
    Outcome changeScheduleLine(int index, const LineFields& fields, bool reReadFirst = false,
                               const Origin& origin = {});
    // One line as the grid or the day curve edited it whole.
    Outcome setScheduleLine(int index, const ScheduleLine& line, const Origin& origin = {});
    // Every line (same count), as a change of the channels' columns makes it.
    Outcome setSchedule(const Schedule& schedule, const Origin& origin = {});
    // A line moved to another place; the lines between shift by one. The
    // schedule is written once per line between, as the grid always did.
    Outcome moveLine(int from, int to, const Origin& origin = {});
    Outcome startCloud(const Origin& origin = {});
    Outcome startStorm(const Origin& origin = {});
    Outcome saveSettings(const Origin& origin = {});
    // Reads records fresh from the board.
    Outcome reread(std::initializer_list<BoardRecord> records, const Origin& origin = {});

    // Settings files. The export reads every record fresh and writes the
    // file; the window asks for the path between the two halves.
    Outcome readForExport(const Origin& origin = {});
    Outcome writeSettingsFile(const QString& path, const Origin& origin = {});
    Outcome exportSettings(const QString& path, const Origin& origin = {});
    Outcome importConfig(const QString& path, const Origin& origin = {});
    Outcome importSchedule(const QString& path, const Origin& origin = {});

    // -- Firmware update ------------------------------------------------------

    // The dialogs of the update and where backups go.
    void setFirmwareInteraction(FlashInteraction interaction);
    void setProgramDir(const QString& dir);
    void setBackupFolder(const QString& folder);
    // "Update firmware...": with a running board, the user's yes, a backup of
    // its settings, then command 254 (its bootloader comes, is offered the
    // file and flashed); with a held bootloader, the file offered again.
    // Done means it started or was offered; the flashing itself ends with
    // operationEnded(FirmwareUpdate).
    Outcome updateFirmware(const Origin& origin = {});
    bool updateRunning() const;
    // The settings backup of the last update the user agreed to, if any.
    QString lastBackupPath() const;

    // The parts below, for the tests of their own rules and the benchmarks.
    DeviceSession& session() { return session_; }

signals:
    // A board with the supported firmware was read and is connected.
    void connected();
    // The held board left the bus.
    void unplugged();
    // A board with another firmware version (0 when unknown) is held.
    void otherFirmware(int version);
    void bootloaderClaimed(kv::BootloaderKind kind);
    void bootloaderGone();
    // What is held on the bus changed (see LinkState).
    void linkStateChanged(kv::LinkState state);
    // After each poll that asked the board; the state is fresh when readOk.
    void polled(bool readOk);
    // The clock was corrected by the poll: the board's time was this many
    // seconds ahead (negative: behind).
    void clockCorrected(int driftSeconds);
    // A record changed, read from the board, written by an operation or
    // imported. After a failed read the record is unchanged and this is told
    // all the same (the window shows it again).
    void recordChanged(kv::BoardRecord record, kv::ChangeCause cause);
    // Progress of a long operation (the firmware update): bytes done of the
    // bytes to do.
    void operationProgress(kv::Operation operation, qint64 done, qint64 total);
    // Every operation ends with this, refused ones too.
    void operationEnded(const kv::OperationReport& report);
    // A firmware update that ran (blocks sent or not) ended; also told as
    // operationEnded.
    void firmwareUpdateEnded(const kv::Outcome& outcome);
    // Right before a board is told to enter its bootloader for an update.
    void boardEnteringBootloader();

private:
    Outcome noBoardOutcome() const;
    Outcome end(Operation operation, const QString& detail, const Origin& origin, Outcome outcome);
    Origin originOr(const Origin& origin) const;
    // The write of a record: Done or NotTaken.
    Outcome written(bool ok) const;
    Outcome checkLevels(const std::array<int, ChannelCount>& levels, LevelRule rule) const;
    Outcome checkLine(int index) const;
    // Reads the records not asked of this board yet (a command connects with
    // the InfoBlock alone): a change must never be built on a record the
    // board was never asked for. Done, or NotAnswered.
    Outcome ensureRead(std::initializer_list<BoardRecord> records);
    // One record read from the board; whether it answered.
    bool readRecord(BoardRecord record);
    Outcome sendCommand(Operation operation, BoardCommand command, const Origin& origin);
    void stamp(BoardRecord record, bool ok);
    void connectParts();
    void offerFirmware(BootloaderKind kind);
    void backUpBoardSettings();

    Reporter& reporter_;
    BoardServiceOptions options_;
    DeviceSession session_;
    Flasher flasher_;
    FlashInteraction interaction_;
    Origin updateOrigin_;
    QString backupFolder_;
    QString lastBackupPath_;
    // Why a record is being changed: the link's read signals come while an
    // operation or a poll runs.
    ChangeCause cause_ = ChangeCause::Read;
    std::array<QDateTime, 4> readAt_{};
    // Which records were asked of this board, answered or not.
    std::array<bool, 4> asked_{};
    bool initialScanDone_ = false;
    quint64 polls_ = 0;
    quint64 clockCorrections_ = 0;
};

} // namespace kv
