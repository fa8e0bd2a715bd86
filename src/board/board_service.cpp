#include "board/board_service.h"

#include "device/board_link.h"
#include "device/clock_sync.h"
#include "device/hid_controller.h"
#include "device/poller.h"
#include "text/reporter.h"

#include <QStandardPaths>

namespace kv {

namespace {

QString defaultBackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kestvelqor/backups");
}

std::size_t slot(BoardRecord record) {
    return std::size_t(record);
}

} // namespace

BoardService::BoardService(Reporter& reporter, const std::vector<DeviceSource>& sources,
                           BoardServiceOptions options, QObject* parent)
    : QObject(parent), reporter_(reporter), options_(std::move(options)),
      session_(reporter, sources), flasher_(session_.discovery(), reporter),
      backupFolder_(defaultBackupFolder()) {
    qRegisterMetaType<kv::OperationReport>();
    Discovery& discovery = session_.discovery();
    discovery.setBoardChoice(options_.choice);
    discovery.setReadAllOnConnect(options_.reads == ConnectReads::Everything);
    flasher_.setRescan([this] { session_.controller().scanNow(); });
    connectParts();
}

BoardService::~BoardService() = default;

void BoardService::connectParts() {
    BoardLink& link = session_.link();
    Discovery& discovery = session_.discovery();
    Poller& poller = session_.poller();

    connect(&link, &BoardLink::infoRead, this, [this](bool ok) {
        stamp(BoardRecord::Info, ok);
        emit recordChanged(BoardRecord::Info, cause_);
    });
    connect(&link, &BoardLink::expertChartRead, this, [this](bool expertOk, bool chartOk) {
        stamp(BoardRecord::Expert, expertOk);
        stamp(BoardRecord::Chart, chartOk);
        emit recordChanged(BoardRecord::Expert, cause_);
        emit recordChanged(BoardRecord::Chart, cause_);
    });
    connect(&link, &BoardLink::scheduleRead, this, [this](bool ok) {
        stamp(BoardRecord::Schedule, ok);
        emit recordChanged(BoardRecord::Schedule, cause_);
    });

    connect(&discovery, &Discovery::boardConnected, this, &BoardService::connected);
    connect(&discovery, &Discovery::boardGone, this, [this] {
        // What was read belongs to the board that left.
        readAt_ = {};
        asked_ = {};
        emit unplugged();
    });
    connect(&discovery, &Discovery::boardWithOtherFirmware, this, &BoardService::otherFirmware);
    connect(&discovery, &Discovery::bootloaderClaimed, this, &BoardService::bootloaderClaimed);
    connect(&discovery, &Discovery::bootloaderGone, this, &BoardService::bootloaderGone);
    connect(&discovery, &Discovery::linkStateChanged, this, &BoardService::linkStateChanged);
    discovery.firmwareOffer = [this](BootloaderKind kind) {
        offerFirmware(kind);
    };

    connect(&poller, &Poller::polled, this, [this](bool readOk) {
        ++polls_;
        emit polled(readOk);
    });
    connect(&poller, &Poller::clockCorrected, this, [this](int drift) {
        ++clockCorrections_;
        emit clockCorrected(drift);
    });

    connect(&flasher_, &Flasher::progress, this, [this](qint64 done, qint64 total) {
        emit operationProgress(Operation::FirmwareUpdate, done, total);
    });
    connect(&flasher_, &Flasher::finished, this, [this](bool ok, const TextMessage& reason) {
        Outcome outcome;
        if (ok) {
            outcome.message = {QStringLiteral("FirmwareUpdateSuccessful"), {}};
        } else {
            const QString& key = reason.key;
            if (key == QLatin1String("BootloaderSilent"))
                outcome.code = OutcomeCode::NotAnswered;
            else if (key.startsWith(QLatin1String("FirmwareFile")) ||
                     key == QLatin1String("FirmwareTooLarge") ||
                     key == QLatin1String("ChecksumError") || key == QLatin1String("NoDataInFile"))
                outcome.code = OutcomeCode::FileRefused;
            else
                outcome.code = OutcomeCode::UpdateFailed;
            outcome.message =
                reason.isEmpty() ? TextMessage{QStringLiteral("FirmwareUpdateFailed"), {}} : reason;
        }
        const Origin origin = updateOrigin_;
        updateOrigin_ = Origin{};
        end(Operation::FirmwareUpdate, QString(), origin, outcome);
        emit firmwareUpdateEnded(outcome);
    });
}

// ---------------------------------------------------------------------------
// Finding the board

void BoardService::scanNow() {
    session_.controller().scanNow(!initialScanDone_);
    initialScanDone_ = true;
}

void BoardService::setPollGate(std::function<bool()> mayPoll) {
    session_.poller().setVisibleCheck(std::move(mayPoll));
}

void BoardService::setPollInterval(int ms) {
    session_.poller().setInterval(ms);
}

int BoardService::pollInterval() const {
    return session_.poller().interval();
}

void BoardService::pollNow() {
    session_.poller().tick();
}

std::vector<BoardService::BusDevice> BoardService::devicesOnBus() {
    scanNow();
    TJvHidDeviceController& controller = session_.controller();
    std::vector<BusDevice> devices;
    for (int i = 0; i < controller.deviceCount(); ++i) {
        TJvHidDevice* device = controller.deviceAt(i);
        if (device->PluggedIn())
            devices.push_back({i, device->Info()});
    }
    return devices;
}

// ---------------------------------------------------------------------------
// State

bool BoardService::isConnected() const {
    return session_.discovery().isBoardConnected();
}

bool BoardService::boardHeld() const {
    return session_.discovery().boardDevice() != nullptr;
}

bool BoardService::bootloaderHeld() const {
    return session_.discovery().bootloaderDevice() != nullptr;
}

TextMessage BoardService::problem() const {
    if (isConnected())
        return {};
    const QString problem = session_.discovery().boardProblem();
    if (!problem.isEmpty())
        return TextMessage::built(problem);
    if (options_.choice.isAny())
        return {QStringLiteral("NoBoardFound"), {}};
    return {QStringLiteral("NoChosenBoardFound"), {options_.choice.text()}};
}

QString BoardService::serialNumber() const {
    TJvHidDevice* board = session_.discovery().boardDevice();
    return board ? board->SerialNumberString() : QString();
}

const InfoBlock& BoardService::info() const {
    return session_.link().info;
}

const ExpertBlock& BoardService::expert() const {
    return session_.link().expert;
}

const Schedule& BoardService::schedule() const {
    return session_.link().schedule;
}

const ChartBlock& BoardService::chart() const {
    return session_.link().chart;
}

BoardCounters BoardService::counters() const {
    return {polls_, session_.link().failedTransfers(), clockCorrections_};
}

QDateTime BoardService::readAt(BoardRecord record) const {
    return readAt_[slot(record)];
}

void BoardService::stamp(BoardRecord record, bool ok) {
    asked_[slot(record)] = true;
    if (ok)
        readAt_[slot(record)] = QDateTime::currentDateTime();
}

void BoardService::presetRecords(const InfoBlock& info, const ExpertBlock& expert) {
    if (boardHeld())
        return;
    BoardLink& link = session_.link();
    link.info = info;
    link.expert = expert;
}

// ---------------------------------------------------------------------------
// Outcomes

Origin BoardService::originOr(const Origin& origin) const {
    if (origin.front == Front::Service && origin.client.isEmpty())
        return Origin{options_.front, {}};
    return origin;
}

Outcome BoardService::noBoardOutcome() const {
    return Outcome::failed(OutcomeCode::NoBoard, problem());
}

Outcome BoardService::written(bool ok) const {
    if (ok)
        return Outcome::done();
    return Outcome::failed(OutcomeCode::NotTaken, {QStringLiteral("BoardDidNotTakeChange"), {}});
}

Outcome BoardService::end(Operation operation, const QString& detail, const Origin& origin,
                          Outcome outcome) {
    emit operationEnded(OperationReport{operation, detail, originOr(origin), outcome});
    return outcome;
}

} // namespace kv
