#pragma once

// Fixed facts about the product this program serves. Titles, messages, file
// names and the single-instance lock are built from them.
namespace kv::product {

inline constexpr const char* Name = "KestVELQOR";
inline constexpr int HardwareGeneration = 1;
inline constexpr int FirmwareVersion = 12;

// The maker's USB manufacturer string; a device whose manufacturer string is
// not exactly this is foreign.
inline constexpr const char* ManufacturerString = "Kest Lighting";
// Put in front of the application title in the window caption.
inline constexpr const char* CaptionPrefix = "Kest Lighting";

// "KestVELQOR 1.x.12"
inline constexpr const char* ApplicationTitle = "KestVELQOR 1.x.12";
// "KestVELQOR 1.x", used in messages about the board and its bootloaders.
inline constexpr const char* GenerationName = "KestVELQOR 1.x";

} // namespace kv::product
