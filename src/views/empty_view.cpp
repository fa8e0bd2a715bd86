#include "views/empty_view.h"

namespace kv {

EmptyView::EmptyView(ViewContext context, const QString& sheetName, const QString& designCaption,
                     std::optional<EnableRule> sheetRule)
    : View(context, sheetName, designCaption), sheetRule_(sheetRule) {}

void EmptyView::applyEnabling(const ViewFacts& facts) {
    if (sheetRule_)
        setEnabled(isEnabledBy(*sheetRule_, facts));
}

} // namespace kv
