#pragma once

#include <QIcon>

namespace kv {

// The program's icon: a light bar with its four channels shining into water.
// Drawn in code (the same picture as assets/icons/kestvelqor.svg, which the
// desktop entry uses), so the program needs no image plugin for it.
QIcon applicationIcon();

} // namespace kv
