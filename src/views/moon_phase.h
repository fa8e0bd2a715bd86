#pragma once

#include <QImage>
#include <QPolygonF>
#include <QRgb>

namespace kv {

struct MoonPhasePicture;

// The picture of the moon's phase: the lit part of a disc as one polygon, the
// limb half-circle and the terminator half-ellipse. Pure drawing, free of
// widgets.
namespace moonphase {

inline constexpr int PictureSize = 60;

// The outline of the lit part of a disc of radius r around (cx, cy): the left
// half-circle from the bottom through the left to the top, then back to the
// bottom along a half-ellipse of horizontal semi-axis (2·fraction − 1)·r,
// everything turned by angleDeg (screen y grows downward). At angle 0 the lit
// limb is on the left, at 180 on the right. Empty for a fraction outside
// 0..1. Computed in single precision.
QPolygonF outline(float cx, float cy, float r, float angleDeg, float fraction);

} // namespace moonphase

// Fills the lit part of the disc on the picture in the colour (even-odd rule,
// no antialiasing, blended onto what is there).
void DrawMoonPhase(QImage& picture, QRgb color, float cx, float cy, float r, float angleDeg,
                   float fraction);

// The 60 × 60 moon picture: transparent, with the lit part drawn as the
// figures say.
QImage moonPhaseImage(const MoonPhasePicture& moon);

} // namespace kv
