#include "views/input_marks.h"

#include "text/number_format.h"

#include <QLineEdit>
#include <QLocale>
#include <QPalette>

namespace kv {

namespace {

const char* const InvalidProperty = "invalid";
const char* const SavedTooltipProperty = "kvSavedToolTip";

// The frame and text colour of an edit whose number is refused; the
// background keeps the channel tint, so the mark cannot be mistaken for the
// tint of a red channel.
QString invalidStyle(const QLineEdit* edit) {
    return QStringLiteral("QLineEdit { border: 2px solid #d00000; color: #b00000; "
                          "background-color: %1; }")
        .arg(edit->palette().color(QPalette::Base).name());
}

} // namespace

void setEditTint(QLineEdit* edit, const QColor& tint) {
    if (!edit)
        return;
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, QColor(tint.red(), tint.green(), tint.blue()));
    edit->setPalette(palette);
    if (isMarkedInvalid(edit))
        edit->setStyleSheet(invalidStyle(edit));
}

void markInvalid(QLineEdit* edit, const QString& reason) {
    if (!edit)
        return;
    if (!isMarkedInvalid(edit)) {
        edit->setProperty(SavedTooltipProperty, edit->toolTip());
        edit->setProperty(InvalidProperty, true);
        edit->setStyleSheet(invalidStyle(edit));
    }
    edit->setToolTip(reason);
}

void clearInvalid(QLineEdit* edit) {
    if (!edit || !isMarkedInvalid(edit))
        return;
    edit->setProperty(InvalidProperty, false);
    edit->setStyleSheet(QString());
    edit->setToolTip(edit->property(SavedTooltipProperty).toString());
}

bool isMarkedInvalid(const QLineEdit* edit) {
    return edit && edit->property(InvalidProperty).toBool();
}

TypedNumber readTypedNumber(const QString& text, double minimum, double maximum,
                            const QLocale& locale) {
    const auto number = parseNumber(text, locale);
    if (!number)
        return {};
    if (*number < minimum || *number > maximum)
        return {TypedNumber::OutOfRange, *number};
    return {TypedNumber::Valid, *number};
}

std::optional<double> acceptTypedNumber(QLineEdit* edit, const FieldRange& range) {
    const QLocale locale;
    const TypedNumber typed = readTypedNumber(edit->text(), range.lowest, range.highest, locale);
    switch (typed.kind) {
    case TypedNumber::Valid:
        clearInvalid(edit);
        return typed.value;
    case TypedNumber::OutOfRange:
        markInvalid(edit, rangeReason(range, locale));
        return std::nullopt;
    case TypedNumber::NotANumber:
        break;
    }
    clearInvalid(edit);
    return std::nullopt;
}

} // namespace kv
