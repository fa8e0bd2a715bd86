#include "views/radio_choice.h"

#include "views/focus_rule.h"

#include <QRadioButton>

namespace kv {

RadioChoice::RadioChoice(Chosen chosen, QObject* parent)
    : QObject(parent), chosen_(std::move(chosen)) {}

void RadioChoice::add(QRadioButton* button, int value) {
    entries_.push_back({button, value});
    if (value < 0)
        return;
    connect(button, &QRadioButton::toggled, this, [this, button, value](bool checked) {
        if (checked)
            chosen_(value, focus::userIsWorking(button));
    });
}

void RadioChoice::show(int value) {
    if (QRadioButton* target = button(value))
        target->setChecked(true);
}

QRadioButton* RadioChoice::button(int value) const {
    if (value < 0)
        return nullptr;
    for (const Entry& entry : entries_)
        if (entry.value == value)
            return entry.button;
    return nullptr;
}

} // namespace kv
