// The compiler flags every target is built with keep float results the same on every machine: no
// fused multiply-add where the source has a product and a sum, and no fast-math shortcuts.
#include <gtest/gtest.h>

#include <cmath>

namespace {

// Compiled for processors with fused multiply-add, as a build for a newer processor (or a
// compiler that targets one by default) would compile every function.
__attribute__((target("fma"))) float multiplyAdd(float a, float b, float c) {
    return a * b + c;
}

} // namespace

TEST(BuildFlags, ProductIsRoundedBeforeTheSum) {
    if (!__builtin_cpu_supports("fma"))
        GTEST_SKIP() << "this processor has no fused multiply-add to tempt the compiler";
    // (1 + 2^-12)^2 = 1 + 2^-11 + 2^-24: the last term is lost when the product is rounded to a
    // float, and is all that is left after the sum when it is not.
    volatile float a = 1.0f + 0x1p-12f;
    volatile float c = -(1.0f + 0x1p-11f);
    ASSERT_EQ(std::fma(a, a, c), 0x1p-24f) << "the inputs no longer tell the two apart";
    EXPECT_EQ(multiplyAdd(a, a, c), 0.0f) << "a * b + c was fused into one rounding";
}

TEST(BuildFlags, NoFastMath) {
#if defined(__FAST_MATH__) || defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__
    ADD_FAILURE() << "built with fast-math-like flags";
#endif
    volatile float zero = 0.0f;
    float nan = zero / zero;
    EXPECT_TRUE(std::isnan(nan));
    // Addition is not reassociated: (big + 1) - big loses the 1 in single precision.
    volatile float big = 0x1p24f;
    volatile float one = 1.0f;
    float sum = big + one;
    EXPECT_EQ(sum - big, 0.0f);
}
