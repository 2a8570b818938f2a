// A vector expected to the last bit: figures a module declares are taken as they are given.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "host/math_types.h"

inline void expect_vec(const VECTOR3& got, const VECTOR3& want, const std::string& what) {
    EXPECT_EQ(got.x, want.x) << what;
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.z, want.z) << what;
}
