#include "views/field_edit.h"

#include "text/number_format.h"
#include "views/focus_rule.h"
#include "views/labelled_edit.h"

#include <QLineEdit>

namespace kv {

FieldEdit::FieldEdit(QLineEdit* edit, Rules rules, QObject* parent)
    : QObject(parent), edit_(edit), rules_(std::move(rules)) {
    connect(edit_, &QLineEdit::textChanged, this, &FieldEdit::editChanged);
}

void FieldEdit::show() {
    focus::showText(edit_, rules_.text(rules_.value()));
}

void FieldEdit::editChanged() {
    if (!focus::userIsWorking(edit_))
        return;
    if (const std::optional<int> value = rules_.read(edit_))
        rules_.apply(*value);
}

void fitForNumber(QLineEdit* edit) {
    edit->setAlignment(Qt::AlignRight);
    edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("-0000,0")) + 16);
}

void nameLimits(LabelledEdit* lower, QLineEdit* upper) {
    const QString caption = lower->caption();
    lower->edit()->setAccessibleName(caption + QStringLiteral(": untere"));
    upper->setAccessibleName(caption + QStringLiteral(": obere"));
}

namespace fieldtext {

QString temperature(int tenths) {
    return formatNumber(tenths / 10.0, u"0.0");
}

} // namespace fieldtext

} // namespace kv
