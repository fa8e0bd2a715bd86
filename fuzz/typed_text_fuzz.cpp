// What a person types into the views: a schedule cell (time "7:5", minute
// "30", altitude, percent, flags, Timer) in either place column, and the
// number edits with their ranges (degrees, percents, seconds), in the German
// and the English number format. Rules: a refused or ignored text leaves the
// line exactly as it was; an accepted one changes only its own field and
// reads back unchanged from the text the grid then shows; a typed number is
// valid only inside its range, and valid means it is the number typed.
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "schedule/schedule_cells.h"
#include "text/number_format.h"
#include "views/input_marks.h"

#include <cmath>
#include <cstdio>

namespace {

using namespace kv;
using namespace kv::schedule;
using fuzz::FuzzInput;

ScheduleLine lineOf(FuzzInput& input) {
    std::uint8_t bytes[ScheduleLine::Size];
    input.fill(bytes, sizeof bytes);
    return ScheduleLine::decode(bytes);
}

// The line with the field of that column taken from another line.
ScheduleLine withFieldOf(ScheduleLine line, const ScheduleLine& from, int column) {
    if (column == PlaceColumn) {
        line.Hour = from.Hour;
        line.Minute = from.Minute;
        line.Alt = from.Alt;
    } else if (const int channel = channelOfColumn(column); channel >= 0) {
        line.Color16[std::size_t(channel)] = from.Color16[std::size_t(channel)];
    } else if (isFlagColumn(column)) {
        line.Switch =
            std::uint8_t((line.Switch & ~flagMask(column)) | (from.Switch & flagMask(column)));
    } else if (column == TimerColumn) {
        line.Timer = from.Timer;
    }
    return line;
}

// A clock time the grid shows as it is: the board may hold any other.
bool validTime(const ScheduleLine& line) {
    return line.Hour >= 0 && line.Minute >= 0 && line.Minute <= 59 &&
           (line.Hour < 24 || (line.Hour == 24 && line.Minute == 0));
}

void typeIntoCell(FuzzInput& input, const QLocale& locale) {
    const ScheduleLine before = lineOf(input);
    const int column = int(input.below(ColumnCount));
    const Place place = input.flag() ? Place::Altitude : Place::Time;
    const QString text = input.text(40);

    ScheduleLine line = before;
    const CellInput result = applyCellText(line, column, text, place, locale);
    if (result.outcome != CellInput::Accepted) {
        KV_FUZZ_CHECK(line == before);
        KV_FUZZ_CHECK((result.outcome == CellInput::Refused) == !result.reason.isEmpty());
        return;
    }
    // Only the field of the column changed.
    KV_FUZZ_CHECK(withFieldOf(before, line, column) == line);
    if (place == Place::Time && column == PlaceColumn) {
        // What was typed is in range; a part not typed keeps the board's value.
        KV_FUZZ_CHECK(line.Hour == before.Hour || (line.Hour >= 0 && line.Hour <= 24));
        KV_FUZZ_CHECK(line.Minute == before.Minute || (line.Minute >= 0 && line.Minute <= 59));
        KV_FUZZ_CHECK(line.Hour != 24 || line.Minute == 0);
    }
    if (const int channel = channelOfColumn(column); channel >= 0)
        KV_FUZZ_CHECK(line.Color16[std::size_t(channel)] >= 0 &&
                      line.Color16[std::size_t(channel)] <= 4096);
    // What the grid shows of the new value reads back as the same value.
    const QString shown = cellText(line, 0, column, place, locale);
    ScheduleLine again = line;
    const CellInput reread = applyCellText(again, column, shown, place, locale);
    if (!(place == Place::Time && column == PlaceColumn && !validTime(line)) &&
        !(place == Place::Altitude && column == PlaceColumn)) {
        if (reread.outcome != CellInput::Accepted || !(again == line))
            std::fprintf(stderr, "column %d shown \"%s\"\n", column, qPrintable(shown));
        KV_FUZZ_CHECK(reread.outcome == CellInput::Accepted);
        KV_FUZZ_CHECK(again == line);
    }
}

void typeIntoNumberEdit(FuzzInput& input, const QLocale& locale) {
    static const double Ranges[][2] = {{-90, 90}, {-180, 180}, {0, 100}, {0, 65535}, {-10, 10}};
    const auto& range = Ranges[input.below(std::size(Ranges))];
    const QString text = input.text(40);
    const TypedNumber typed = readTypedNumber(text, range[0], range[1], locale);
    const std::optional<double> number = parseNumber(text, locale);
    switch (typed.kind) {
    case TypedNumber::Valid:
        KV_FUZZ_CHECK(number && *number == typed.value);
        KV_FUZZ_CHECK(typed.value >= range[0] && typed.value <= range[1]);
        break;
    case TypedNumber::OutOfRange:
        KV_FUZZ_CHECK(number && (*number < range[0] || *number > range[1]));
        break;
    case TypedNumber::NotANumber:
        KV_FUZZ_CHECK(!number);
        break;
    }
}

int fuzzTypedText(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    FuzzInput input(data, size);
    const QLocale locale = input.flag() ? QLocale(QLocale::German, QLocale::Germany)
                                        : QLocale(QLocale::English, QLocale::UnitedStates);
    while (!input.empty()) {
        if (input.flag())
            typeIntoCell(input, locale);
        else
            typeIntoNumberEdit(input, locale);
    }
    return 0;
}

} // namespace

KV_FUZZ_TARGET("typed_text", fuzzTypedText)
