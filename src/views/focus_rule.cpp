#include "views/focus_rule.h"

#include "views/input_marks.h"

#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLineEdit>

namespace kv::focus {

bool userIsWorking(const QWidget* control) {
    // hasFocus() follows focus proxies, so a labelled edit counts as focused
    // while its inner edit is.
    return control && control->hasFocus();
}

void showText(QLineEdit* edit, const QString& text) {
    if (!edit || userIsWorking(edit))
        return;
    clearInvalid(edit);
    if (edit->text() != text)
        edit->setText(text);
}

void showValue(QAbstractSlider* slider, int value) {
    if (!slider || userIsWorking(slider))
        return;
    slider->setValue(value);
}

bool isDroppedDown(const QComboBox* box) {
    return box && box->view() && box->view()->isVisible();
}

} // namespace kv::focus
