#pragma once
// Lengths on the forms and in the controls are designed in twips (1/1440 inch) and shown
// at 96 dots per inch: 15 twips a pixel.

namespace quillon {

inline constexpr int TwipsPerPixel = 15;

// Pixels for a length in twips, to the nearest pixel.
constexpr int twips(int value) { return (value + TwipsPerPixel / 2) / TwipsPerPixel; }

}  // namespace quillon
