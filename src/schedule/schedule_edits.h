#pragma once

#include "device/records/schedule_line.h"
#include "schedule/schedule_cells.h"

#include <QStringList>

#include <array>

namespace kv {
struct InfoBlock;
}

// Edits of the whole schedule: a row read back from its texts, a line moved,
// the levels of one channel copied onto or swapped with another's.
namespace kv::schedule {

// What became of each cell of a row read back.
using RowInput = std::array<CellInput, ColumnCount>;

// Reads a row's texts (one per column) back into the line. A cell that still
// shows the line's own text leaves its field exactly as it is (so a field never
// loses precision through its text); every other cell is applied as typed.
RowInput applyRowTexts(ScheduleLine& line, int index, const QStringList& texts, Place place,
                       const QLocale& locale = QLocale());

// Moves the line at index from to index to; the lines between shift by one
// towards from. Each line moves whole: its time, altitude, levels, timer and
// every bit of Switch. Nothing happens for an index outside the schedule.
void moveLine(Schedule& schedule, int from, int to);

// Channel to takes channel from's colour name and, in every line, its level.
// Nothing happens (false) unless both are channels 0 to 3.
bool pasteChannel(InfoBlock& info, Schedule& schedule, int from, int to);
// The two channels exchange their colour names and, in every line, their
// levels. Nothing happens (false) unless both are channels 0 to 3.
bool swapChannels(InfoBlock& info, Schedule& schedule, int first, int second);

} // namespace kv::schedule
