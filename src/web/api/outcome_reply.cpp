#include "web/api/outcome_reply.h"

#include <QJsonObject>

namespace kv::web::api {

int httpStatusOf(OutcomeCode code) {
    switch (code) {
    case OutcomeCode::Done:
        return 200;
    case OutcomeCode::OutOfRange:
    case OutcomeCode::NotWritable:
        return 400;
    case OutcomeCode::NoSuchLine:
        return 404;
    case OutcomeCode::NotInThisMode:
    case OutcomeCode::Busy:
    case OutcomeCode::Cancelled:
        // The request is fine; the board's state stands against it.
        return 409;
    case OutcomeCode::FileRefused:
        return 500;
    case OutcomeCode::NotAnswered:
    case OutcomeCode::NotTaken:
    case OutcomeCode::UpdateFailed:
        return 502;
    case OutcomeCode::NoBoard:
        return 503;
    }
    return 500;
}

WebReply outcomeReply(const Outcome& outcome, const QString& field) {
    const int status = httpStatusOf(outcome.code);
    const QString code = outcomeCodeName(outcome.code);
    const QString text = outcome.text();
    QJsonObject object = errorObject(status, code, text.isEmpty() ? code : text);
    if (!field.isEmpty())
        object.insert(QStringLiteral("field"), field);
    return jsonReply(object, status);
}

} // namespace kv::web::api
