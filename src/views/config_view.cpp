#include "views/config_view.h"

#include "device/board_link.h"
#include "views/health_display.h"

#include <QLabel>
#include <QVBoxLayout>

namespace kv {

ConfigView::ConfigView(ViewContext context)
    : View(context, QStringLiteral("tsConfig"), QStringLiteral("Configuration")) {
    auto* layout = new QVBoxLayout(this);
    lblBoard_ = new QLabel;
    lblBoard_->setObjectName(QStringLiteral("lblBoard"));
    lblBoard_->setWordWrap(true);
    layout->addWidget(lblBoard_);
    layout->addStretch(1);
}

void ConfigView::showInfo() {
    showBoardStatus(link().info, lblBoard_);
}

void ConfigView::connectionChanged(bool connected) {
    if (!connected)
        lblBoard_->clear();
}

} // namespace kv
