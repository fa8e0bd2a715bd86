#pragma once

#include "device/records/schedule_line.h"
#include "schedule/schedule_cells.h"

#include <QString>

namespace kv::cli {

// One FIELD=VALUE of `schedule set`, as the cell of the schedule tab it
// stands for and the text typed into it.
struct FieldEdit {
    QString word; // as given, for messages
    int column = schedule::LineColumn;
    schedule::Place place = schedule::Place::Time;
    QString text;  // the cell text
    QString error; // why the word is not a field edit; empty when it is
};

// Reads time=HH:MM, alt=DEGREES, W= R= G= B= or 0= to 3= (percent), display=,
// clouds=, storms= (on or off) and timer=. Decimals may have a point or a
// comma.
FieldEdit parseFieldEdit(const QString& word);

// Applies the edit to the line with the tab's parser and range rules; returns
// why it was refused (the line then is unchanged), or nothing.
QString applyFieldEdit(ScheduleLine& line, const FieldEdit& edit);

} // namespace kv::cli
