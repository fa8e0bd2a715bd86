// The text catalogue's formatting with any format text and arguments, the
// number formatting and the reading of typed numbers. Rules: formatting never
// fails or grows without bound, a text whose percent signs are doubled comes
// back as it was, and a formatted number reads back as the same number to the
// precision shown.
#include "fuzz_input.h"
#include "fuzz_target.h"

#include "text/number_format.h"
#include "text/text_catalogue.h"

#include <cmath>
#include <cstring>

namespace {

using namespace kv;
using fuzz::FuzzInput;

// Catalogue keys whose texts hold placeholders.
const char* const KeysWithPlaceholders[] = {"FlashSize", "ChecksumError", "VELQORConfig",
                                            "FirmwareTooLarge", "StartingFirmwareUpdate"};

double doubleOf(FuzzInput& input) {
    const auto bits = input.number<std::uint64_t>();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

MsgArg argument(FuzzInput& input) {
    switch (input.below(7)) {
    case 0:
        return MsgArg(input.number<int>());
    case 1:
        return MsgArg(input.number<unsigned>());
    case 2:
        return MsgArg(input.number<long long>());
    case 3:
        return MsgArg(input.number<unsigned long long>());
    case 4:
        return MsgArg(doubleOf(input));
    default:
        return MsgArg(input.text(64));
    }
}

void formatting(FuzzInput& input) {
    QList<MsgArg> args;
    for (std::size_t n = input.below(6); n > 0; --n)
        args.append(argument(input));
    const QString format = input.text(1024);

    if (const auto text = formatText(format, args)) {
        // Each placeholder adds at most its widest argument or 4096 blanks.
        qsizetype widest = 4096;
        for (const MsgArg& arg : args)
            widest = std::max(widest, arg.text().size());
        KV_FUZZ_CHECK(text->size() <= format.size() * widest);
    }
    QString escaped = format;
    escaped.replace(QLatin1Char('%'), QLatin1String("%%"));
    KV_FUZZ_CHECK(formatText(escaped, args) == format);

    (void)MsgFmt(format, args);
    (void)MsgFmt(QString::fromLatin1(KeysWithPlaceholders[input.below(5)]), args);
}

const QLocale& localeOf(FuzzInput& input) {
    static const QLocale locales[] = {QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
                                      QLocale(QLocale::English, QLocale::UnitedStates)};
    return locales[input.below(3)];
}

void numbers(FuzzInput& input) {
    const QLocale& locale = localeOf(input);
    const double value = doubleOf(input);
    struct Picture {
        const char16_t* text;
        double step; // the last place shown
    };
    static const Picture pictures[] = {
        {u"0.##", 0.01}, {u"0.#", 0.1}, {u"0.0", 0.1}, {u"0.00", 0.01}, {u"00", 1}};
    for (const Picture& picture : pictures) {
        const QString shown = formatNumber(value, picture.text, locale);
        if (!std::isfinite(value) || std::fabs(value) >= 1e12)
            continue;
        // Rounded at the last place shown: it reads back within half a step.
        const auto back = parseNumber(shown, locale);
        KV_FUZZ_CHECK(back.has_value());
        KV_FUZZ_CHECK(std::fabs(*back - value) <=
                      picture.step / 2 + 1e-13 * std::fabs(value) + 1e-12);
    }
    const auto whole = input.number<qint64>();
    KV_FUZZ_CHECK(parseInteger(QString::number(whole)) == whole);

    const QString typed = input.text(64);
    if (const auto number = parseNumber(typed, locale))
        KV_FUZZ_CHECK(std::isfinite(*number));
    (void)parseInteger(typed);
}

void catalogueText(FuzzInput& input) {
    TextCatalogue catalogue;
    if (!catalogue.loadFromData(input.rest()))
        return;
    for (const auto& entry : catalogue.formEntries()) {
        KV_FUZZ_CHECK(catalogue.formValue(entry.first).has_value());
        (void)expandLineBreaks(entry.second);
    }
}

int fuzzMessageFormat(const std::uint8_t* data, std::size_t size) {
    fuzz::setUpOnce();
    FuzzInput input(data, size);
    switch (input.below(3)) {
    case 0:
        formatting(input);
        break;
    case 1:
        numbers(input);
        break;
    case 2:
        catalogueText(input);
        break;
    }
    return 0;
}

} // namespace

KV_FUZZ_TARGET("message_format", fuzzMessageFormat)
