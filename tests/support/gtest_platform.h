#pragma once
#include "support/fake_platform.h"

#include <gtest/gtest.h>

namespace tessary::testing {

// A fake platform whose unexpected messages fail the running GoogleTest with their text.
class GTestPlatform : public FakePlatform {
public:
    GTestPlatform()
        : FakePlatform([](const std::string& text) { ADD_FAILURE() << text; })
    {
    }
};

} // namespace tessary::testing
