#pragma once

#include "views/view.h"

namespace kv {

class MessageLog;

// The Messages tab: the message log, which the window's reporter writes to.
class MessagesView : public View {
    Q_OBJECT
public:
    MessagesView(ViewContext context, MessageLog* log);

    // The log is announced by its tab's caption.
    void textsApplied() override;

private:
    MessageLog* log_;
};

} // namespace kv
