#pragma once

#include "device/records/info_block.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QTextStream>

namespace kv::present {

// A level in percent with two decimals, as the JSON documents give it.
double percentOf(int level);

// The board's state as `status --json` gives it.
QJsonObject statusJson(const InfoBlock& info);
// The status after a poll, as `watch --json` and the web page's live feed give
// it: the keys of statusJson and computerTime.
QJsonObject pollJson(const InfoBlock& info, const QDateTime& computer);
// Something that happened to the board between polls ("unplugged",
// "connected", ...) with its message, as `watch --json` and the live feed give
// it.
QJsonObject eventJson(const QString& name, const QString& message, const QDateTime& computer);
// A moment as the JSON documents write it: 2024-06-21T12:00:00.
QString isoText(const QDateTime& when);

// The board's state as `status` prints it, one fact a line.
void printStatus(QTextStream& out, const InfoBlock& info);

// One line of `watch`: the computer's time, the board's clock, the mode with
// its letters, the four levels, temperature, voltage and the board's error
// conditions.
QString watchLine(const InfoBlock& info, const QDateTime& computer);

} // namespace kv::present
