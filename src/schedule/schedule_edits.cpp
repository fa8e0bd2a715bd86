#include "schedule/schedule_edits.h"

#include "device/records/info_block.h"

#include <algorithm>
#include <utility>

namespace kv::schedule {

namespace {

bool isChannel(int channel) {
    return channel >= 0 && channel < ChannelCount;
}

} // namespace

RowInput applyRowTexts(ScheduleLine& line, int index, const QStringList& texts, Place place,
                       const QLocale& locale) {
    RowInput outcomes;
    for (int column = 0; column < ColumnCount && column < texts.size(); ++column) {
        const QString& text = texts[column];
        if (text == cellText(line, index, column, place, locale))
            continue;
        outcomes[std::size_t(column)] = applyCellText(line, column, text, place, locale);
    }
    return outcomes;
}

void moveLine(Schedule& schedule, int from, int to) {
    const int count = int(schedule.size());
    if (from < 0 || to < 0 || from >= count || to >= count || from == to)
        return;
    const auto at = [&](int index) {
        return schedule.begin() + index;
    };
    if (from < to)
        std::rotate(at(from), at(from + 1), at(to + 1));
    else
        std::rotate(at(to), at(from), at(from + 1));
}

bool pasteChannel(InfoBlock& info, Schedule& schedule, int from, int to) {
    if (!isChannel(from) || !isChannel(to))
        return false;
    info.ColorName[std::size_t(to)] = info.ColorName[std::size_t(from)];
    for (ScheduleLine& line : schedule)
        line.Color16[std::size_t(to)] = line.Color16[std::size_t(from)];
    return true;
}

bool swapChannels(InfoBlock& info, Schedule& schedule, int first, int second) {
    if (!isChannel(first) || !isChannel(second))
        return false;
    std::swap(info.ColorName[std::size_t(first)], info.ColorName[std::size_t(second)]);
    for (ScheduleLine& line : schedule)
        std::swap(line.Color16[std::size_t(first)], line.Color16[std::size_t(second)]);
    return true;
}

} // namespace kv::schedule
