#pragma once

#include <array>
#include <string>
#include <string_view>

namespace kv::sunmoon {

// Zodiac signs by 30° sections of ecliptic longitude, starting at 0° (UTF-8).
inline constexpr std::array<std::string_view, 12> ZodiacNames{
    "Widder", "Stier",    "Zwillinge", "Krebs",     "Löwe",       "Jungfrau",
    "Waage",  "Skorpion", "Schütze",   "Steinbock", "Wassermann", "Fische"};

// Moon phases: the four main phases at the even indexes, the stretches between
// them at the odd ones; 8 is the new moon again, for angles close to 360°.
inline constexpr std::array<std::string_view, 9> PhaseNames{
    "Neumond",          "Zunehmende Sichel", "Erstes Viertel",    "Zunehmender Mond", "Vollmond",
    "Abnehmender Mond", "Letztes Viertel",   "Abnehmende Sichel", "Neumond"};

// The sign of an ecliptic longitude in [0, 2π). A longitude less than 1e-9
// degrees below a section boundary counts as on it, so that 120° that went to
// radians and back (119.99999999999999°) is still "Löwe". Empty for a value
// that is not a finite number.
std::string ZodiacSign(double Lon);

// Index into PhaseNames for a phase angle in [0, 2π): the main phase within
// one day of mean synodic motion of it, else the stretch between two of them.
int MoonPhaseIndex(double PhaseAngle);

} // namespace kv::sunmoon
