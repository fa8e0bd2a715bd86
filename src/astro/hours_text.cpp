#include "astro/hours_text.h"

#include "common/rounding.h"

#include <cmath>
#include <cstdio>

namespace kv::sunmoon {

std::string HoursToText(double H) {
    if (!std::isfinite(H) || H < 0)
        return "--:--";
    double hours = std::trunc(H);
    double minutes = (H - hours) * 60;
    if (minutes >= 59.5) {
        hours += 1;
        minutes -= 60;
    }
    const long long wholeMinutes = roundHalfEven(minutes);
    char text[48];
    std::snprintf(text, sizeof text, "%02.0f:%02lld", hours, wholeMinutes);
    return text;
}

} // namespace kv::sunmoon
