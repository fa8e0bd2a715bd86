// Reports from the board: a bus whose devices, opens and feature reads are
// decided by the fuzz input, under the program's HID controller, discovery,
// board link and poller, followed by everything that reads the records (the
// status texts, clock checks, conversions, listings and the Geo figures).
// Rules: every record that is read keeps every byte; the schedule and its
// drawing data stay the size the board announced; the program writes only
// whole reports of its own kinds and never a line index that reads as a
// command.
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "quiet_reporter.h"

#include "device/board_link.h"
#include "device/clock_sync.h"
#include "device/discovery.h"
#include "device/health.h"
#include "device/hid_controller.h"
#include "device/poller.h"
#include "device/records/record_fields.h"
#include "geo/geo_figures.h"
#include "text/number_format.h"
#include "text/product.h"

#include <QDateTime>

#include <array>
#include <map>
#include <memory>
#include <type_traits>

namespace {

using namespace kv;
using fuzz::FuzzInput;

constexpr int MaxSteps = 48;

std::size_t reportSize(std::uint8_t id) {
    switch (id) {
    case InfoBlock::ReportId:
        return 1 + InfoBlock::Size;
    case ExpertBlock::ReportId:
        return 1 + ExpertBlock::Size;
    case ScheduleLine::ReportId:
        return 2 + ScheduleLine::Size;
    case ChartBlock::ReportId:
        return 1 + ChartBlock::Size;
    default:
        return 0;
    }
}

// The devices on the bus and every answer they give come from the input.
class FuzzBus : public HidBackend {
public:
    explicit FuzzBus(FuzzInput& input) : input_(input) {}

    bool boardPlugged = true;
    bool bootloaderPlugged = false;
    // The last payload handed out per report id, to compare with the records.
    std::map<std::uint8_t, std::vector<std::uint8_t>> delivered;
    // Set while the program sends a command on purpose.
    bool commandExpected = false;
    std::size_t scheduleSize = 0;

    std::vector<HidDeviceInfo> enumerate() override {
        std::vector<HidDeviceInfo> devices;
        if (boardPlugged)
            devices.push_back(device("board", QString::fromLatin1(product::Name)));
        if (bootloaderPlugged)
            devices.push_back(
                device("bootloader", input_.flag() ? QStringLiteral("0") : QString()));
        // Now and then a device with strings of the input's choosing.
        if (input_.byte() == 0xA5)
            devices.push_back(device("other", input_.text(24)));
        return devices;
    }

    HidOpenResult open(const HidDeviceInfo&) override {
        HidOpenResult result;
        switch (input_.byte()) {
        case 0xF0:
            result.error = HidOpenError::PermissionDenied;
            result.message = QStringLiteral("Permission denied");
            return result;
        case 0xF1:
            result.error = HidOpenError::Gone;
            return result;
        case 0xF2:
            result.error = HidOpenError::Other;
            return result;
        default:
            result.connection = std::make_unique<Connection>(*this);
            return result;
        }
    }

private:
    HidDeviceInfo device(const char* instance, const QString& productName) {
        HidDeviceInfo info;
        info.path = instance;
        info.instanceId = instance;
        info.vendorId = 0x4B56;
        info.productId = 1;
        info.manufacturer = QString::fromLatin1(product::ManufacturerString);
        info.product = productName;
        return info;
    }

    class Connection : public HidConnection {
    public:
        explicit Connection(FuzzBus& bus) : bus_(bus) {}

        bool getFeature(std::uint8_t* buffer, std::size_t length) override {
            KV_FUZZ_CHECK(length == reportSize(buffer[0]));
            if (bus_.input_.byte() == 0xFF)
                return false;
            bus_.input_.fill(buffer + 1, length - 1);
            bus_.delivered[buffer[0]].assign(buffer + 1, buffer + length);
            return true;
        }

        bool setFeature(const std::uint8_t* buffer, std::size_t length) override {
            const std::uint8_t id = buffer[0];
            KV_FUZZ_CHECK(id == InfoBlock::ReportId || id == ExpertBlock::ReportId ||
                          id == ScheduleLine::ReportId);
            KV_FUZZ_CHECK(length == reportSize(id));
            if (id == ScheduleLine::ReportId) {
                if (buffer[1] >= BoardLink::FirstCommandCode)
                    KV_FUZZ_CHECK(bus_.commandExpected);
                else
                    KV_FUZZ_CHECK(!bus_.commandExpected && buffer[1] < bus_.scheduleSize);
            }
            return bus_.input_.byte() != 0xFF;
        }

    private:
        FuzzBus& bus_;
    };

    FuzzInput& input_;
};

template <typename Record>
void checkKeptEveryByte(const FuzzBus& bus, std::uint8_t id, const Record& record) {
    const auto it = bus.delivered.find(id);
    KV_FUZZ_CHECK(it != bus.delivered.end());
    const auto bytes = record.encode();
    KV_FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), it->second.begin(), it->second.end()));
}

void checkScheduleShape(const BoardLink& link) {
    KV_FUZZ_CHECK(link.linePoints.size() == link.schedule.size());
    KV_FUZZ_CHECK(link.schedule.size() <= 255);
}

// What the program shows of the schedule: times, altitudes and levels.
void followSchedule(const BoardLink& link) {
    QString sink;
    for (const ScheduleLine& line : link.schedule) {
        sink += formatNumber(altToDegrees(line.Alt), u"0.00");
        for (std::int16_t level : line.Color16)
            sink += formatNumber(levelToPercent(level), u"0.##");
    }
    KV_FUZZ_CHECK(!sink.isNull() || link.schedule.empty());
}

// What the program shows and computes from the other records: status bar and
// health texts, clock checks, percent and weather conversions, the listing of
// every field.
void followRecords(const BoardLink& link, const QTime& computerTime) {
    const InfoBlock& info = link.info;
    QString sink = healthStatusText(info) + modeActivityText(info) + activityLetters(info);
    (void)healthIsAlarming(info);
    (void)boardDateTime(info);
    (void)clockNeedsCorrection(info, computerTime);
    for (std::int16_t level : info.Level)
        sink += formatNumber(levelToPercent(level), u"0.##");
    sink += QString::number(cloudPToCloudsPerDay(info.CloudP)) +
            QString::number(cloudDToCloudSeconds(info.CloudD)) +
            QString::number(stormPToStormsPerWeek(info.StormP)) +
            QString::number(stormDToStormMinutes(info.StormD));
    const auto list = [&sink](const char* name, const auto& value) {
        sink += QLatin1String(name);
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, long long>)
            sink += QString::number(value);
        else
            for (long long v : value)
                sink += QString::number(v);
    };
    fields::visit(info, list);
    fields::visit(link.expert, list);
    fields::visit(link.chart, list);
    KV_FUZZ_CHECK(!sink.isNull());
}

// The Geo view's figures for the board's place and clock.
void geoFigures(const BoardLink& link) {
    const InfoBlock& info = link.info;
    const BoardDateTime moment{2000 + info.Year, info.Month,  info.Day,
                               info.Hour,        info.Minute, info.Second};
    sunmoon::TimeZoneRules rules; // central Europe
    rules.bias = -60;
    rules.standardDate = {10, 5, 0, 3, 0, 0, 0};
    rules.daylightDate = {3, 5, 0, 2, 0, 0, 0};
    rules.daylightBias = -60;
    if (const auto figures = computeGeoFigures(link.expert.Lat, link.expert.Lon, moment, rules))
        KV_FUZZ_CHECK(!figures->label.isEmpty());
}

QTime timeOf(FuzzInput& input) {
    return QTime(0, 0).addMSecs(int(input.number<std::uint32_t>() % (24u * 3600 * 1000)));
}

int fuzzBoardReports(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    FuzzInput input(data, size);
    FuzzBus bus(input);
    fuzz::QuietReporter reporter;
    TJvHidDeviceController controller;
    controller.addBackend(&bus);
    BoardLink link;
    Discovery discovery(controller, link, reporter);
    Poller poller(link);
    QTime computerTime(12, 0);
    poller.setClock([&computerTime] { return QDateTime(QDate(2024, 6, 21), computerTime); });

    controller.scanNow(true);
    for (int step = 0; step < MaxSteps && !input.empty(); ++step) {
        bus.scheduleSize = link.schedule.size();
        switch (input.below(14)) {
        case 0:
            controller.scanNow();
            break;
        case 1:
            bus.boardPlugged = !bus.boardPlugged;
            controller.scanNow();
            break;
        case 2:
            bus.bootloaderPlugged = !bus.bootloaderPlugged;
            controller.scanNow();
            break;
        case 3:
            if (link.GetInfoConfig())
                checkKeptEveryByte(bus, InfoBlock::ReportId, link.info);
            break;
        case 4:
            if (link.GetExpertChart()) {
                checkKeptEveryByte(bus, ExpertBlock::ReportId, link.expert);
                checkKeptEveryByte(bus, ChartBlock::ReportId, link.chart);
            }
            break;
        case 5:
            link.GetSchedule();
            KV_FUZZ_CHECK(!link.board() || link.schedule.size() == link.info.LineCount);
            break;
        case 6:
            computerTime = timeOf(input);
            poller.tick();
            break;
        case 7:
            link.SetInfo(input.flag(), input.flag(), input.flag());
            break;
        case 8:
            link.SetExpert();
            break;
        case 9:
            link.SetSchedule();
            break;
        case 10:
            bus.commandExpected = true;
            link.SendCommand(std::uint8_t(BoardLink::FirstCommandCode + input.below(3)));
            bus.commandExpected = false;
            break;
        case 11: {
            int index = -1;
            ScheduleLine line;
            link.GetLine(index, line);
            break;
        }
        case 12:
            geoFigures(link);
            break;
        case 13:
            setBoardDateTime(
                link.info,
                QDateTime(
                    QDate(1900 + int(input.below(400)), 1, 1).addDays(qint64(input.below(366))),
                    timeOf(input)));
            break;
        }
        checkScheduleShape(link);
        // A board is connected only while the program holds it.
        KV_FUZZ_CHECK(!discovery.isBoardConnected() || discovery.boardDevice() == link.board());
        followRecords(link, computerTime);
    }
    followSchedule(link);
    return 0;
}

} // namespace

KV_FUZZ_TARGET("board_reports", fuzzBoardReports)
