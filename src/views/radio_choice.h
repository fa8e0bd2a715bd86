#pragma once

#include <QObject>

#include <functional>
#include <vector>

class QRadioButton;

namespace kv {

// Radio buttons that choose one value of a record field (the fan mode, the
// chart's source, the JMP pin's function). One handler serves them all: it
// runs whenever a button becomes checked, by the user or by a refresh, and is
// told which (the focus rule: it writes only when the user chose).
class RadioChoice : public QObject {
    Q_OBJECT
public:
    using Chosen = std::function<void(int value, bool byUser)>;

    explicit RadioChoice(Chosen chosen, QObject* parent = nullptr);

    // The button that stands for this value; a button added without a value
    // (-1) is part of the group but chooses nothing.
    void add(QRadioButton* button, int value);

    // Refresh from the record: checks the button of the value. A value that
    // no button stands for checks none, and the buttons stay as they were.
    void show(int value);

    QRadioButton* button(int value) const;

private:
    struct Entry {
        QRadioButton* button;
        int value;
    };
    std::vector<Entry> entries_;
    Chosen chosen_;
};

} // namespace kv
