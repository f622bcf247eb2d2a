#pragma once

#include <initializer_list>

namespace sonmetra::test {

// Puts the program's process-wide records back to their zero state, as at process start.
void resetRecords();

// Makes readings 1..n of the data set the given values (Count = n); the view is not touched.
void setReadings(std::initializer_list<float> values);

// Readings 1..count all equal to value.
void setReadings(int count, float value);

// Readings 1..count equal to 1, 2, 3, ... mm.
void setAscendingReadings(int count);

} // namespace sonmetra::test
