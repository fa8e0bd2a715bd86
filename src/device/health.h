#pragma once

#include "device/records/info_block.h"

#include <QString>

namespace kv {

// The one-line health text of the board: its error conditions, the water
// temperature and the supply voltage, joined by " • "; empty when there is
// nothing to say.
QString healthStatusText(const InfoBlock& info);
// The error conditions alone, joined as in the health text; empty when there
// are none.
QString healthErrorText(const InfoBlock& info);

// Whether the health text is shown in red: any error bit but "RAM full".
bool healthIsAlarming(const InfoBlock& info);

// The mode and activity letters of the status bar ("Auto" + "W" for a cloud,
// ...), or the saving text while the board stores its settings.
QString modeActivityText(const InfoBlock& info);

// The catalogue's name of a mode ("Manuell", "Auto", "Geo").
QString modeText(BoardMode mode);

// The activity letters alone (cloud, storm, cooler, heater, timer).
QString activityLetters(const InfoBlock& info);

} // namespace kv
