#pragma once

#include "text/text_catalogue.h"

#include <QList>
#include <QString>

namespace kv {

// A message of the catalogue by its key with its arguments, kept apart from
// its text so that every front shows the same words (and a test can ask
// which message it was). The device's own messages (discovery's texts) are
// built in code and travel as their text. Empty when nothing is to be said.
struct TextMessage {
    TextMessage() = default;
    TextMessage(QString key, QList<MsgArg> args = {})
        : key(std::move(key)), args(std::move(args)) {}
    static TextMessage built(const QString& text) {
        TextMessage message;
        message.builtText = text;
        return message;
    }

    QString key;
    QList<MsgArg> args;
    QString builtText; // only without a key

    bool isEmpty() const { return key.isEmpty() && builtText.isEmpty(); }
    QString text() const { return key.isEmpty() ? builtText : MsgFmt(key, args); }
};

} // namespace kv
