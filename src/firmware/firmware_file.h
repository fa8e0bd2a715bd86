#pragma once

#include "text/text_message.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace kv {

class Reporter;

// The image buffer of a firmware update: addresses 0 to 65535.
inline constexpr std::uint32_t FirmwareLargestAddress = 65535;

// "path 24.12.2024 18:05:33 32768 Bytes": the file's full path, modification
// date and time (short date, long time), size and the word for bytes; empty
// when the file does not exist.
QString fileDescription(const QString& path);

// Reads a firmware image file ("*.chx", "*.chx328p": 32-bit little-endian
// start and end address, the image bytes start..end, a 32-bit checksum over
// start, end and every byte) into image, which must hold largestAddress + 1
// zeroed bytes. Reports every problem through the reporter and returns false;
// never writes outside the buffer. Only a regular file is read (not a pipe
// or a device), and never more than one byte past the size limit. On success
// start < end; on failure *failure (when given) holds the message, also for a
// file above the size limit, which is not announced.
bool ReadFile(const QString& path, std::vector<std::uint8_t>& image, std::int32_t& start,
              std::int32_t& end, Reporter& reporter,
              std::uint32_t largestAddress = FirmwareLargestAddress,
              TextMessage* failure = nullptr);

} // namespace kv
