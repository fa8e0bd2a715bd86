// Reports from the board: a bus whose devices, opens and feature reads are
// decided by the fuzz input, under the program's HID controller, discovery,
// board link and poller, followed by everything that reads the records (the
// status texts, clock checks, conversions, listings and the Geo figures).
// Rules: every record that is read keeps every byte; the schedule and its
// drawing data stay the size the board announced; the program writes only
// whole reports of its own kinds and never a line index that reads as a
// command.
#include "fuzz_bus.h"
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
using fuzz::FuzzBus;
using fuzz::FuzzInput;

constexpr int MaxSteps = 48;

template <typename Record>
void checkKeptEveryByte(const FuzzBus& bus, std::uint8_t id, const Record& record) {
    const auto it = bus.delivered.find(id);
    KV_FUZZ_CHECK(it != bus.delivered.end());
    const auto bytes = record.encode();
    KV_FUZZ_CHECK(std::equal(bytes.begin(), bytes.end(), it->second.begin(), it->second.end()));
}

void checkScheduleShape(const BoardLink& link) {
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
            link.SendCommand(BoardCommand(FirstCommandCode + input.below(3)));
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
