#pragma once

#include "board/line_fields.h"

#include <QHash>
#include <QString>
#include <QStringList>

namespace kv::cli {

// The FIELD=VALUE words of `schedule set` as the typed fields of one line:
// time=HH:MM, alt=DEGREES, W= R= G= B= or 0= to 3= (percent), display=,
// clouds=, storms= (on or off) and timer=. Decimals may have a point or a
// comma. Only the words are read here; their ranges are the fields' own
// rule (checkLineFields).
struct FieldWords {
    LineFields fields;
    QString error; // why a word is no field edit; empty when all were read
    // The word that set each field, by the field's name in checkLineFields
    // ("time", "alt", "W", ...), to name it in a refusal.
    QHash<QString, QString> wordOfField;
};
FieldWords parseFieldWords(const QStringList& words);

} // namespace kv::cli
