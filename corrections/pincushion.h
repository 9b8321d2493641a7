#pragma once
#include "corrections/correction_session.h"

#include <cstdint>
#include <vector>

namespace tessary {

inline constexpr const char* kDistortValuesTooLarge = "One or more entered values are too large";
inline constexpr const char* kDistortNoMemoryText
    = "Not enough memory to process this command.\nIf possible close some source images and try again.";

// The radius table of the pincushion and barrel correction for a W x H image: with the centre
// (W div 2, H div 2) and N = trunc(8 sqrt(cx^2 + cy^2)), entry i is the a >= 0 whose
// u(a) = a (1 - k3 - k5 + k3 a^2 / N^2 + k5 a^4 / N^4) lies within 0.01 of i, found from a = i,
// u = i + 0.015 by a = max(0, a + (i - u) / 2) in at most 1000 steps. The table holds N + 1
// entries, the last 0, so every distance inside the image finds its entry. Refused when some
// entry does not converge, OutOfMemory when the table cannot be held.
struct RadiusTable {
    int32_t cx = 0;
    int32_t cy = 0;
    std::vector<double> radius;
};
CorrectionStatus buildRadiusTable(int32_t width, int32_t height, double k3, double k5, RadiusTable& table);

// A new 24-bit image of the backup's size from a table built for that size: pixel (x, row) at
// r8 = 8 sqrt(dx^2 + dy^2) from the centre samples (cx + dx r8 / a, cy + dy r8 / a) with
// a = table[trunc(r8)] (itself when a is 0); bilinear in 1/256 steps below the top row and left of
// the last column, the missing neighbour at the top and right borders taken from the border
// itself, the nearest pixel in the last column and the top row. Negative positions and positions
// past the image stay black and transparent.
CorrectionStatus applyPincushion(
    const MaskedDib& backup, const RadiusTable& table, MaskedDib& result, const RowProgress& progress = {});

// One application with the terms k3 and k5: the table for the backup's size first (so a table
// that does not converge leaves everything as it was), then the correction.
CorrectionStatus applyPincushionTerms(
    const MaskedDib& backup, double k3, double k5, MaskedDib& result, const RowProgress& progress = {});

} // namespace tessary
