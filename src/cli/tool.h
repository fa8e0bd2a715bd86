#pragma once

#include <QStringList>

namespace kv::cli {

// Runs kestvelqorctl with its arguments (without the program name) and gives
// its exit status. Needs a Qt core application and the loaded text catalogue.
// Without systemDevices the operating system's HID devices are not looked at.
// Whether the command these arguments name draws pictures: it then needs a
// GUI application (on the offscreen platform) instead of a core one.
bool drawsPictures(const QStringList& arguments);

int runTool(const QStringList& arguments, bool systemDevices = true);

} // namespace kv::cli
