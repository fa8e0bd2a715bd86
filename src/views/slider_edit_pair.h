#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QAbstractSlider;
class QLineEdit;

namespace kv {

// A slider and the edit beside it that show one setting of the board. The
// pairs of the settings tabs differ only in how a position reads as text,
// how a typed text reads as a position, and how a value goes to the board;
// the coupling itself is this one:
//
// - The slider moved by the user: first it is held in order with its
//   neighbours (where the setting has such a rule), then the edit shows the
//   position's text, and the position is applied.
// - The edit changed by the user: its text is read (a text that is no number
//   changes nothing; a number outside the setting's range is refused and the
//   edit marked); the slider moves to the value (and clamps it to its range);
//   the value is applied. The edit keeps the text as typed.
// - Changes the program makes (refresh, the partner's coupling) write nothing:
//   a handler acts only while its own control has the keyboard focus.
class SliderEditPair : public QObject {
    Q_OBJECT
public:
    struct Rules {
        // The edit's text for a slider position.
        std::function<QString(int position)> text;
        // The typed text as a value; nothing to ignore the change. Marks the
        // edit when it refuses a number.
        std::function<std::optional<int>(QLineEdit* edit)> read;
        // Hands a value to the board: the record changed and written, or
        // nothing when the record holds the value already.
        std::function<void(int value)> apply;
        // Holds the slider in order with its neighbours before its position
        // is taken (optional).
        std::function<void()> keepOrder;
    };

    SliderEditPair(QAbstractSlider* slider, QLineEdit* edit, Rules rules,
                   QObject* parent = nullptr);

    // Refresh from the record: the slider takes the position and the edit the
    // text of the slider's position then, each only while the user is not
    // working it (or even then, for the settings shown regardless).
    void show(int position, bool evenIfFocused = false);

    QAbstractSlider* slider() const { return slider_; }
    QLineEdit* edit() const { return edit_; }

private:
    void sliderChanged();
    void editChanged();

    QAbstractSlider* slider_;
    QLineEdit* edit_;
    Rules rules_;
    bool busy_ = false; // the slider's own handler is running
};

// The usual rules of the settings' texts.
namespace pairtext {
// The position as a whole number ("42").
QString integer(int position);
// The position in tenths with the picture "0.#" ("2,5" for 25 in German).
QString tenths(int position);
} // namespace pairtext

namespace pairread {
// A whole number within minimum..maximum; any other number is refused.
std::function<std::optional<int>(QLineEdit*)> integer(int minimum, int maximum);
// Any whole number that fits the slider's type; the slider clamps it.
std::function<std::optional<int>(QLineEdit*)> integerClampedBySlider();
// A decimal number within minimum..maximum, rounded to a whole number
// (halves to even).
std::function<std::optional<int>(QLineEdit*)> rounded(double minimum, double maximum);
// A decimal number within minimum..maximum, in tenths (halves to even).
std::function<std::optional<int>(QLineEdit*)> tenths(double minimum, double maximum);
} // namespace pairread

} // namespace kv
