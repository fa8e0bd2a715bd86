#include "cli/board_actions.h"

#include "cli/status_output.h"
#include "device/board_link.h"
#include "text/number_format.h"

#include <QLocale>

namespace kv::cli {

std::optional<BoardMode> modeOfWord(const QString& word) {
    const QString name = word.toLower();
    for (BoardMode mode : BoardModes)
        if (name == modeName(std::uint8_t(mode)))
            return mode;
    return std::nullopt;
}

std::optional<double> percentOfWord(QString word) {
    if (word.endsWith(QLatin1Char('%')))
        word.chop(1);
    // Scripts write a decimal point, people often a comma: take both.
    word.replace(QLatin1Char(','), QLatin1Char('.'));
    const auto percent = parseNumber(word, QLocale::c());
    if (!percent || *percent < 0 || *percent > 100)
        return std::nullopt;
    return percent;
}

bool setBoardMode(BoardLink& link, BoardMode mode) {
    link.info.setMode(mode);
    return link.SetConfig();
}

bool setChannelLevel(BoardLink& link, int channel, double percent) {
    link.info.Level[std::size_t(channel)] = std::int16_t(percentToLevel(percent));
    return link.SetInfo(false, false, true);
}

} // namespace kv::cli
