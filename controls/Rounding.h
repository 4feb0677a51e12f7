#pragma once

#include <climits>
#include <cmath>

// Rounds to the nearest integer, a tie going to the even neighbour (2.5 gives 2, 3.5 gives 4),
// the way the controls' colour steps, band offsets and device scaling round. Values beyond
// the int range are clamped; not-a-number gives 0.
inline int RoundEven(double Value)
{
    if (std::isnan(Value))
        return 0;
    if (Value >= double(INT_MAX))
        return INT_MAX;
    if (Value <= double(INT_MIN))
        return INT_MIN;
    return static_cast<int>(std::nearbyint(Value)); // default mode: to nearest, ties to even
}

// Scales a design size by a device scale (1.0 at 96 dots per inch).
inline int ScaledSize(int Value, double Scale) { return RoundEven(Value * Scale); }
