#pragma once

#include "views/slider_edit_pair.h"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class QAbstractSlider;
class QLineEdit;

namespace kv {

class BoardService;
struct ExpertBlock;
struct InfoBlock;

// Sets a field of a record (a copy the edit changes) to a value; false when
// the field held it already (nothing to write then).
template <class Field> bool storeValue(Field& field, int value) {
    if (field == Field(value))
        return false;
    field = Field(value);
    return true;
}

// How an edited value goes into a copy of a record: true when it changed it.
template <class Record> using FieldStore = std::function<bool(Record&, int value)>;

// The store of one field, or of one element of an array field.
template <class Record, class Field> FieldStore<Record> fieldStore(Field Record::*field) {
    return [field](Record& record, int value) {
        return storeValue(record.*field, value);
    };
}
template <class Record, class Field, std::size_t N>
FieldStore<Record> fieldStore(std::array<Field, N> Record::*field, int index) {
    return [field, index](Record& record, int value) {
        return storeValue((record.*field)[std::size_t(index)], value);
    };
}

// The apply step of an edit over the ExpertBlock, or over the configuration
// of the InfoBlock: a copy of the service's record takes the value, and only
// a copy that changed goes to the board (setExpert, setConfiguration), which
// stores and writes it.
std::function<void(int)> applyToExpert(BoardService& board, FieldStore<ExpertBlock> store);
std::function<void(int)> applyToConfiguration(BoardService& board, FieldStore<InfoBlock> store);

// The usual coupling of a slider and its edit over one ExpertBlock field:
// the position is the field's value, shown and read by the given rules, and
// every change goes to the board with setExpert.
SliderEditPair* coupleExpertField(QAbstractSlider* slider, QLineEdit* edit, BoardService& board,
                                  FieldStore<ExpertBlock> store, std::function<QString(int)> text,
                                  std::function<std::optional<int>(QLineEdit*)> read,
                                  QObject* parent);

// A single edit over a record field, without a slider: when the user changes
// the text, it is read by the rule (a refused number marks the edit and
// changes nothing) and applied.
void coupleEdit(QLineEdit* edit, std::function<std::optional<int>(QLineEdit*)> read,
                std::function<void(int)> apply);

} // namespace kv
