#pragma once

#include "views/view.h"

namespace kv {

class MessageLog;

// The Messages tab: the message log, which the window's reporter writes to.
class MessagesView : public View {
    Q_OBJECT
public:
    MessagesView(ViewContext context, MessageLog* log);
};

} // namespace kv
