#include "views/messages_view.h"

#include "views/message_log.h"

#include <QVBoxLayout>

namespace kv {

MessagesView::MessagesView(ViewContext context, MessageLog* log)
    : View(context, QStringLiteral("tsMessages"), QStringLiteral("Messages")) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(log);
}

} // namespace kv
