#include "views/slider_edit_pair.h"

#include "common/rounding.h"
#include "text/number_format.h"
#include "views/focus_rule.h"
#include "views/input_marks.h"

#include <QAbstractSlider>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>

#include <limits>

namespace kv {

SliderEditPair::SliderEditPair(QAbstractSlider* slider, QLineEdit* edit, Rules rules,
                               QObject* parent)
    : QObject(parent), slider_(slider), edit_(edit), rules_(std::move(rules)) {
    connect(slider_, &QAbstractSlider::valueChanged, this, &SliderEditPair::sliderChanged);
    connect(edit_, &QLineEdit::textChanged, this, &SliderEditPair::editChanged);
}

void SliderEditPair::show(int position, bool evenIfFocused) {
    if (evenIfFocused) {
        // Shown over the user's work, but never sent back.
        const QSignalBlocker quietSlider(slider_);
        const QSignalBlocker quietEdit(edit_);
        slider_->setValue(position);
        clearInvalid(edit_);
        edit_->setText(rules_.text(slider_->value()));
        return;
    }
    focus::showValue(slider_, position);
    focus::showText(edit_, rules_.text(slider_->value()));
}

void SliderEditPair::sliderChanged() {
    // Holding the slider in order moves it again: that change is part of
    // this one.
    if (busy_ || !focus::userIsWorking(slider_))
        return;
    busy_ = true;
    if (rules_.keepOrder)
        rules_.keepOrder();
    const int position = slider_->value();
    focus::showText(edit_, rules_.text(position));
    busy_ = false;
    rules_.apply(position);
}

void SliderEditPair::editChanged() {
    if (!focus::userIsWorking(edit_))
        return;
    const std::optional<int> value = rules_.read(edit_);
    if (!value)
        return;
    slider_->setValue(*value);
    rules_.apply(*value);
}

namespace pairtext {

QString integer(int position) {
    return QString::number(position);
}

QString tenths(int position) {
    return formatNumber(position / 10.0, u"0.#");
}

} // namespace pairtext

namespace pairread {

namespace {

std::optional<int> typedWithin(QLineEdit* edit, double minimum, double maximum, double scale) {
    const FieldRange range{minimum, maximum, 1, "", fieldrange::InvalidValue};
    const auto number = acceptTypedNumber(edit, range);
    if (!number)
        return std::nullopt;
    return int(roundHalfEven(*number * scale));
}

} // namespace

std::function<std::optional<int>(QLineEdit*)> integer(int minimum, int maximum) {
    return [minimum, maximum](QLineEdit* edit) -> std::optional<int> {
        const auto number = parseInteger(edit->text());
        if (!number) {
            clearInvalid(edit);
            return std::nullopt;
        }
        if (*number < minimum || *number > maximum) {
            markInvalid(edit, rangeReason(minimum, maximum, QLocale()));
            return std::nullopt;
        }
        clearInvalid(edit);
        return int(*number);
    };
}

std::function<std::optional<int>(QLineEdit*)> integerClampedBySlider() {
    return [](QLineEdit* edit) -> std::optional<int> {
        const auto number = parseInteger(edit->text());
        if (!number)
            return std::nullopt;
        constexpr qint64 Lowest = std::numeric_limits<int>::min();
        constexpr qint64 Highest = std::numeric_limits<int>::max();
        return int(std::clamp(*number, Lowest, Highest));
    };
}

std::function<std::optional<int>(QLineEdit*)> rounded(double minimum, double maximum) {
    return [minimum, maximum](QLineEdit* edit) {
        return typedWithin(edit, minimum, maximum, 1.0);
    };
}

std::function<std::optional<int>(QLineEdit*)> tenths(double minimum, double maximum) {
    return [minimum, maximum](QLineEdit* edit) {
        return typedWithin(edit, minimum, maximum, 10.0);
    };
}

} // namespace pairread

} // namespace kv
