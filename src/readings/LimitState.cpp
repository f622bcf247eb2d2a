#include "readings/LimitState.h"

namespace sonmetra {

quint8 LimitOn = 0;
float UpperLimit = 0;
float LowerLimit = 0;

bool OutOfBounds(float v)
{
    return LimitOn == 1 && (v > UpperLimit || !(v >= LowerLimit));
}

} // namespace sonmetra
