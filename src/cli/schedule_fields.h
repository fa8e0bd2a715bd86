#pragma once

#include "device/records/schedule_line.h"
#include "schedule/schedule_cells.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kv {
class BoardLink;
}

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

// The FIELD=VALUE words of one line's change, every one read and tried on a
// scratch line before the board is asked: a wrong one sends nothing.
struct FieldEdits {
    std::vector<FieldEdit> edits;
    QString error; // why a word was refused; empty when all were taken
};
FieldEdits parseFieldEdits(const QStringList& words);

// What became of a line's change on the board.
struct LineChange {
    enum Outcome {
        Written,     // the line was changed and the schedule written
        NoSuchLine,  // the board has no such line: nothing sent
        NotWritable, // a line number the board takes for a command: nothing sent
        ReadFailed,  // the schedule could not be read whole: nothing sent
        WriteFailed, // the board did not take the schedule
    };
    Outcome outcome = Written;
    QString message; // why, for every outcome but Written
    ScheduleLine line;
};

// Reads the schedule fresh, applies the edits to line index and writes the
// whole schedule, as the schedule tab does after an edit. The other bits of
// the line's switch byte are kept.
LineChange changeScheduleLine(BoardLink& link, int index, const std::vector<FieldEdit>& edits);

} // namespace kv::cli
