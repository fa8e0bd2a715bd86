#include "views/messages_view.h"

#include "views/component_texts.h"
#include "views/message_log.h"

#include <QVBoxLayout>

namespace kv {

MessagesView::MessagesView(ViewContext context, MessageLog* log)
    : View(context, QStringLiteral("tsMessages"), QStringLiteral("Messages")), log_(log) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(log);
}

void MessagesView::textsApplied() {
    log_->setAccessibleName(componentCaption(this));
}

} // namespace kv
