// The text of a double in written property lists: the shortest digits that read back as the same value.
#pragma once

#include <string>

namespace carryover {

// Fixed notation for magnitudes in [1e-4, 1e16), whole numbers keeping ".0" (3.0, -0.0, 0.0001);
// exponent notation with a sign and at least two digits otherwise (1e-05, 1.5e+20); +infinity,
// -infinity and nan, the forms every property-list reader accepts.
std::string doubleText(double value);

} // namespace carryover
