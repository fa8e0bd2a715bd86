#pragma once

#include <QString>

class QAbstractSlider;
class QComboBox;
class QLineEdit;
class QWidget;

// The one rule that keeps the user and the board from fighting over a
// control: a handler acts only while its own control has the keyboard focus
// (so values the program puts into a control are never sent back), and a
// refresh from the board writes into a control only while it does not have the
// focus (so polling never overwrites what the user is typing or dragging).
namespace kv::focus {

// Whether a change of this control comes from the user working it.
bool userIsWorking(const QWidget* control);

// Refresh writers: each leaves the control alone while it has the focus. A
// written edit also loses its invalid-input mark, since it now shows a value
// of the board.
void showText(QLineEdit* edit, const QString& text);
void showValue(QAbstractSlider* slider, int value);

// Whether the list of a drop-down box is open at this moment.
bool isDroppedDown(const QComboBox* box);

} // namespace kv::focus
