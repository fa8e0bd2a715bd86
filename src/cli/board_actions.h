#pragma once

#include "device/records/info_block.h"

#include <QString>

#include <optional>

namespace kv {
class BoardLink;
}

// What `mode` and `level` do, for the command line and the web page alike.
namespace kv::cli {

// The mode a word names: manual, auto or geo, in any case.
std::optional<BoardMode> modeOfWord(const QString& word);

// A level in percent from 0 to 100 as people and scripts write it: a decimal
// point or comma, a "%" at the end allowed.
std::optional<double> percentOfWord(QString word);

// Sets the mode and writes the configuration; whether the board took it.
bool setBoardMode(BoardLink& link, BoardMode mode);
// Sets one channel's level and writes the levels only; whether the board took
// it. The board follows levels in Manual mode.
bool setChannelLevel(BoardLink& link, int channel, double percent);

} // namespace kv::cli
