#pragma once

#include "board/board_service.h"
#include "views/setting_pairs.h"
#include "views/slider_edit_pair.h"

#include <QObject>
#include <QString>

#include <functional>
#include <limits>
#include <optional>

class QLineEdit;

namespace kv {

class LabelledEdit;

// An edit on its own that shows one field of a record (a temperature, the
// chart's interval): the same rules as the edit of a slider/edit pair, without
// the slider. Typed by the user, its text is read (a text that is no number
// changes nothing; a number outside the field's range is refused and the
// edit marked) and applied; refreshes from the record skip it while the user
// is working it and never write back.
class FieldEdit : public QObject {
    Q_OBJECT
public:
    struct Rules {
        // The field's value as it stands in the record.
        std::function<int()> value;
        // The edit's text for a value of the field.
        std::function<QString(int value)> text;
        // The typed text as a value (see pairread in slider_edit_pair.h).
        std::function<std::optional<int>(QLineEdit* edit)> read;
        // Hands a value to the board (see SliderEditPair::Rules::apply).
        std::function<void(int value)> apply;
    };

    FieldEdit(QLineEdit* edit, Rules rules, QObject* parent = nullptr);

    // Refresh: the edit shows the record's value unless the user works it.
    void show();
    QLineEdit* edit() const { return edit_; }

private:
    void editChanged();

    QLineEdit* edit_;
    Rules rules_;
};

// Narrow and right-aligned, with room for a number such as "-3276,8".
void fitForNumber(QLineEdit* edit);

// A lower and an upper limit beside each other share the lower one's
// caption: each is named by it and its part ("...: untere", "...: obere").
void nameLimits(LabelledEdit* lower, QLineEdit* upper);

namespace fieldtext {
// Tenths with the picture "0.0" ("25,3"), as temperatures are shown.
QString temperature(int tenths);
} // namespace fieldtext

// The rules of the usual fields, all of the ExpertBlock.
namespace fieldrules {

template <class Field>
std::function<int()> valueOf(const BoardService& board, Field ExpertBlock::*field) {
    return [&board, field] {
        return int(board.expert().*field);
    };
}

// A temperature in tenths of a degree, shown "0.0"; any temperature the field
// can hold is taken.
template <class Field>
FieldEdit::Rules temperature(BoardService& board, Field ExpertBlock::*field) {
    using Limits = std::numeric_limits<Field>;
    return {valueOf(board, field), fieldtext::temperature,
            pairread::tenths(Limits::min() / 10.0, Limits::max() / 10.0),
            applyToExpert(board, fieldStore(field))};
}

// A whole number within minimum..maximum.
template <class Field>
FieldEdit::Rules integer(BoardService& board, Field ExpertBlock::*field, int minimum, int maximum) {
    return {valueOf(board, field), pairtext::integer, pairread::integer(minimum, maximum),
            applyToExpert(board, fieldStore(field))};
}

} // namespace fieldrules

} // namespace kv
