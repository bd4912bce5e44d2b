#pragma once

// Choices written as text, on a command line or in a procedure's arguments.

#include "image/motionPoint.h"

#include <string>
#include <vector>

// Parses the whole of `text` as a finite number. Returns true when it is empty, has anything
// after the number, is out of range or is not finite.
[[nodiscard]] bool parseFiniteNumber(const std::string& text, double* value);

// Parses "X,Y;X,Y;..." into points. Returns true when a pair is malformed or not finite.
[[nodiscard]] bool parseMotionPoints(const std::string& text, std::vector<MotionPoint>* points);
