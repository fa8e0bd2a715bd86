#pragma once

#include "views/view.h"

#include <optional>

namespace kv {

// A tab whose editors the program does not have (yet): an empty sheet. The
// sheet itself may follow an enabling rule.
class EmptyView : public View {
    Q_OBJECT
public:
    EmptyView(ViewContext context, const QString& sheetName, const QString& designCaption,
              std::optional<EnableRule> sheetRule = std::nullopt);

    void applyEnabling(const ViewFacts& facts) override;

private:
    std::optional<EnableRule> sheetRule_;
};

} // namespace kv
