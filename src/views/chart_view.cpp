#include "views/chart_view.h"

#include "device/board_link.h"

namespace kv {

ChartView::ChartView(ViewContext context)
    : View(context, QStringLiteral("tsTemp"), QStringLiteral("Chart")) {}

void ChartView::activated() {
    link().GetExpertChart();
}

} // namespace kv
