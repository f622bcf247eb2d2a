#pragma once

#include <QtGlobal>

namespace sonmetra {

inline constexpr float DefaultUpperLimit = 3000.0f;
inline constexpr float DefaultLowerLimit = 0.0f;

// The over-bound prompt: kept in memory only, set by the limits dialog.
extern quint8 LimitOn;
extern float UpperLimit;
extern float LowerLimit;

// True when the prompt is on and v lies above the upper or not at or above the lower limit.
// Exact single-precision comparisons: a reading equal to a limit is in bounds.
bool OutOfBounds(float v);

} // namespace sonmetra
