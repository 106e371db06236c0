#include "audio/ACS_Procs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {
const double kPi = std::acos(-1.0);
}

using namespace kestova;

TEST(HannWindow, SymmetricTableMatchesTheLevelStageFigures) {
    std::vector<double> w(1024);
    MakeHannWindow(w.data(), 1024, true);
    EXPECT_NEAR(w[0], 0.0, 1e-15);
    EXPECT_NEAR(w[1023], 0.0, 1e-15);
    EXPECT_NEAR(w[1], 9.43e-6, 0.01e-6);
    EXPECT_NEAR(w[63], 0.037, 0.0005);
    // The eleven-decimal constant, not full-precision 2 pi, shows near the steepest point.
    EXPECT_DOUBLE_EQ(w[256], (1.0 - std::cos(6.28318530718 * 256 / 1023)) / 2.0);
    EXPECT_NE(w[256], (1.0 - std::cos(2.0 * kPi * 256 / 1023)) / 2.0);

    MakeHannWindow(w.data(), 8, false);  // periodic: divides by N, so the middle entry peaks
    EXPECT_NEAR(w[4], 1.0, 1e-12);
}

namespace {

std::vector<TComplex> RealSignal(int n, double (*f)(int)) {
    std::vector<TComplex> a(n);
    for (int i = 0; i < n; ++i) a[i] = {f(i), 0.0};
    return a;
}

}  // namespace

TEST(Fft, ConstantInputLandsScaledInBinZero) {
    auto a = RealSignal(64, [](int) { return 3.5; });
    FftInPlace(a.data(), 64, 1);
    EXPECT_NEAR(a[0].Re, 3.5, 1e-12);
    EXPECT_NEAR(a[0].Im, 0.0, 1e-12);
    for (int k = 1; k < 64; ++k) {
        EXPECT_NEAR(a[k].Re, 0.0, 1e-12) << k;
        EXPECT_NEAR(a[k].Im, 0.0, 1e-12) << k;
    }
}

TEST(Fft, ForwardSineHasNegativeImaginaryPartAtItsBin) {
    // sin(2 pi 5 i / 64) = (e^{j..} - e^{-j..}) / 2j: forward bin 5 is -0.5j, bin 59 is +0.5j.
    auto a = RealSignal(64, [](int i) { return std::sin(2.0 * kPi * 5 * i / 64); });
    FftInPlace(a.data(), 64, 1);
    EXPECT_NEAR(a[5].Im, -0.5, 1e-9);
    EXPECT_NEAR(a[59].Im, 0.5, 1e-9);
    EXPECT_NEAR(a[5].Re, 0.0, 1e-9);
    for (int k : {0, 1, 4, 6, 32, 58, 60}) EXPECT_NEAR(std::hypot(a[k].Re, a[k].Im), 0.0, 1e-9) << k;
}

TEST(Fft, OtherDirectionUndoesTheScaledForwardTransform) {
    auto a = RealSignal(16, [](int i) { return double(i * i % 7) - 2.0; });
    const auto original = a;
    FftInPlace(a.data(), 16, 1);
    FftInPlace(a.data(), 16, -1);
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(a[i].Re, original[i].Re, 1e-12) << i;
        EXPECT_NEAR(a[i].Im, 0.0, 1e-12) << i;
    }
}

TEST(LogMagnitudes, FloorsAtZeroAndHonoursOffset) {
    const TComplex a[5] = {{0.0, 0.0}, {0.5, 0.0}, {3.0, 4.0}, {0.0, -100.0}, {0.05, 0.0}};
    double m[5];
    LogMagnitudes(a, m, 5, 0);
    EXPECT_EQ(m[0], 0.0);
    EXPECT_EQ(m[1], 0.0);  // below 1 the logarithm is negative
    EXPECT_NEAR(m[2], std::log10(5.0), 1e-12);
    EXPECT_NEAR(m[3], 2.0, 1e-12);
    LogMagnitudes(a, m, 5, 1);
    EXPECT_EQ(m[0], 0.0);  // zero magnitude stays 0 whatever the offset
    EXPECT_NEAR(m[1], 1.0 + std::log10(0.5), 1e-12);
    EXPECT_EQ(m[4], 0.0);
}

TEST(Fft, RealInputFormGivesTheLowerHalfOfTheComplexTransform) {
    for (int n : {4, 64}) {
        auto full = RealSignal(n, [](int i) { return double((i * 7919) % 601) - 300.0; });
        std::vector<double> real(n);
        for (int i = 0; i < n; ++i) real[i] = full[i].Re;
        FftInPlace(full.data(), n, 1);
        std::vector<TComplex> half(n / 2);
        TRealFft(n).Transform(real.data(), half.data());
        for (int k = 0; k < n / 2; ++k) {
            EXPECT_NEAR(half[k].Re, full[k].Re, 1e-12) << n << " " << k;
            EXPECT_NEAR(half[k].Im, full[k].Im, 1e-12) << n << " " << k;
        }
    }
}
