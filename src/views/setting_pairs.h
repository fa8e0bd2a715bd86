#pragma once

#include "device/board_link.h"
#include "views/slider_edit_pair.h"

#include <functional>
#include <optional>

class QAbstractSlider;
class QLineEdit;

namespace kv {

// Stores a value into a record field; false when the field held it already
// (nothing to write then).
template <class Field> bool storeValue(Field& field, int value) {
    if (field == Field(value))
        return false;
    field = Field(value);
    return true;
}
template <class Field> std::function<bool(int)> storeInto(Field& field) {
    return [&field](int value) {
        return storeValue(field, value);
    };
}

// The usual coupling of a slider and its edit over one ExpertBlock field:
// the position is the field's value, shown and read by the given rules, and
// every change is written with SetExpert. The field must live as long as the
// pair (it is a member of the board link's record).
template <class Field>
SliderEditPair* coupleExpertField(QAbstractSlider* slider, QLineEdit* edit, Field& field,
                                  BoardLink& link, std::function<QString(int)> text,
                                  std::function<std::optional<int>(QLineEdit*)> read,
                                  QObject* parent) {
    SliderEditPair::Rules rules;
    rules.text = std::move(text);
    rules.read = std::move(read);
    rules.store = storeInto(field);
    rules.write = [&link] {
        link.SetExpert();
    };
    return new SliderEditPair(slider, edit, std::move(rules), parent);
}

} // namespace kv

namespace kv {

// A single edit over a record field, without a slider: when the user changes
// the text, it is read by the rule (a refused number marks the edit and
// changes nothing), stored, and written when the field changed.
void coupleEdit(QLineEdit* edit, std::function<std::optional<int>(QLineEdit*)> read,
                std::function<bool(int)> store, std::function<void()> write);

} // namespace kv
