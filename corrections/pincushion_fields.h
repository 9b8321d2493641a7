#pragma once
#include <string>

namespace tessary {

// The "Third term" and "Fifth term" fields of the pincushion dialog: each term lies in
// -kDistortTermLimit .. kDistortTermLimit, and starts at 0.
inline constexpr double kDistortTermLimit = 1.0;
inline constexpr const char* kDistortZeroText = "0.0";

// A field read as a decimal number: its leading number, 0 when it does not start with one.
double readDecimal(const std::string& text);

// After an edit of one field: both read as numbers; the edited one is set to 0 when outside
// the limit, the other when outside it or equal to 0. A field set to 0 is rewritten "0.0".
struct DistortTerms {
    double k3 = 0;
    double k5 = 0;
    bool rewriteThird = false;
    bool rewriteFifth = false;
};
DistortTerms distortFieldsEdited(const std::string& third, const std::string& fifth, bool thirdEdited);

// The curve pane's point i of D (0 .. D - 1) below the middle line, for half height h:
// trunc(2h q (k3 (q^2 - 1) + k5 (q^4 - 1))) with q = i / (D - 1) (0 when D is 1).
int distortCurveOffset(int i, int d, int h, double k3, double k5);

} // namespace tessary
