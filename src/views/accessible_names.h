#pragma once

#include <initializer_list>

class QWidget;

namespace kv {

class LabelledEdit;

// A labelled edit's controls are known to assistive technology by its
// visible caption: the edit inside, and partner controls without a label of
// their own (the slider beside it). Call again whenever the caption changes.
void nameAfterCaption(const LabelledEdit* edit, std::initializer_list<QWidget*> partners = {});

} // namespace kv
