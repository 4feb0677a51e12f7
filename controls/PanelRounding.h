#pragma once

#include <cmath>

// Rounds to the nearest integer, a tie going to the even neighbour (2.5 gives 2, 3.5 gives 4),
// the way the controls' colour steps, band offsets and device scaling round.
inline int PanelRound(double Value)
{
    if (!std::isfinite(Value))
        return 0;
    return static_cast<int>(std::nearbyint(Value)); // default mode: to nearest, ties to even
}

// Scales a design size by a device scale (1.0 at 96 dots per inch).
inline int PanelScaled(int Value, double Scale) { return PanelRound(Value * Scale); }
