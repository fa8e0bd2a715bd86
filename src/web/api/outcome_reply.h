#pragma once

#include "board/outcome.h"
#include "web/web_reply.h"

namespace kv::web::api {

// The HTTP status of an outcome of the board service (200 for Done).
int httpStatusOf(OutcomeCode code);

// The JSON error of a refused or failed operation: the outcome's status,
// its code's name and its catalogue text, the same words as the window and
// the command line give. With a field, "field" names the refused one as the
// service checks it ("time", "alt", "W", "R", "G", "B", "timer").
WebReply outcomeReply(const Outcome& outcome, const QString& field = {});

} // namespace kv::web::api
