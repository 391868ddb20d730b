// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Paragraph lengths: RTF counts twips (1/20 point); QTextDocument margins are
// pixels at 96 dpi, so one pixel is 3/4 point or 15 twips.

namespace dazo::ui {

constexpr double kTwipsPerPixel = 15.0;

// The room a bullet or number takes left of a list paragraph's text: RTF
// writes it as a negative first-line indent, QTextDocument draws the marker
// in the left margin instead.
constexpr int kListHangTwips = 360;
constexpr double kListHangPixels = kListHangTwips / kTwipsPerPixel;

inline double TwipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

inline int PixelsToTwips(double pixels)
{
    return static_cast<int>(pixels * kTwipsPerPixel + (pixels < 0 ? -0.5 : 0.5));
}

} // namespace dazo::ui
