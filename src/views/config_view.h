#pragma once

#include "views/view.h"

class QLabel;

namespace kv {

// The Configuration tab: the board's status line `lblBoard`.
class ConfigView : public View {
    Q_OBJECT
public:
    explicit ConfigView(ViewContext context);

    // The status line follows every read of the InfoBlock (not when the
    // board's date is impossible: then it keeps what it showed).
    void showInfo() override;
    // Without a board there is no status to show.
    void connectionChanged(bool connected) override;

    QLabel* boardLabel() const { return lblBoard_; }

private:
    QLabel* lblBoard_ = nullptr;
};

} // namespace kv
