#include "corrections/pincushion_fields.h"

#include <cmath>
#include <cstdlib>

namespace tessary {

double readDecimal(const std::string& text)
{
    const double value = std::strtod(text.c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

namespace {
bool outside(double v)
{
    return v < -kDistortTermLimit || v > kDistortTermLimit;
}
}

DistortTerms distortFieldsEdited(const std::string& third, const std::string& fifth, bool thirdEdited)
{
    DistortTerms t { readDecimal(third), readDecimal(fifth) };
    double& edited = thirdEdited ? t.k3 : t.k5;
    double& other = thirdEdited ? t.k5 : t.k3;
    bool& rewriteEdited = thirdEdited ? t.rewriteThird : t.rewriteFifth;
    bool& rewriteOther = thirdEdited ? t.rewriteFifth : t.rewriteThird;
    if (outside(edited)) {
        edited = 0;
        rewriteEdited = true;
    }
    if (outside(other) || other == 0) {
        other = 0;
        rewriteOther = true;
    }
    return t;
}

int distortCurveOffset(int i, int d, int h, double k3, double k5)
{
    const double q = d > 1 ? double(i) / (d - 1) : 0.0;
    const double q2 = q * q;
    return int(2 * h * q * (k3 * (q2 - 1) + k5 * (q2 * q2 - 1)));
}

} // namespace tessary
