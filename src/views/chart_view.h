#pragma once

#include "views/view.h"

namespace kv {

// The Chart tab: the board's recorded history. Coming to the front rereads
// the expert record and the chart from the board.
class ChartView : public View {
    Q_OBJECT
public:
    explicit ChartView(ViewContext context);

    void activated() override;
};

} // namespace kv
