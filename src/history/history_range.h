#pragma once

// What a reader of the history (the command line, the web API) shows when
// the range or the number of points is not given, and the most points it
// may ask for.
namespace kv::historyrange {

// The last day.
inline constexpr char DefaultFrom[] = "-24h";
inline constexpr char DefaultTo[] = "now";
inline constexpr int DefaultPoints = 500;
inline constexpr int MaxPoints = 10000;

} // namespace kv::historyrange
