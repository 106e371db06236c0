#include "audio/ACS_Procs.h"

#include <cmath>
#include <utility>

namespace kestova {

namespace {

// Eleven decimals, not 2 pi to full precision: the window values, and with them every level
// figure, depend on this exact constant.
constexpr double kTwoPi = 6.28318530718;

void BitReverse(TComplex* A, int N) {
    const int half = N >> 1;
    int j = 0;
    for (int i = 0; i < N - 1; ++i) {
        if (i < j) std::swap(A[i], A[j]);
        int k = half;
        while (k <= j) {
            j -= k;
            k >>= 1;
        }
        j += k;
    }
}

// One pass over all butterflies l1 apart, with the twiddle factor u advanced by the root c.
void ButterflyStage(TComplex* A, int N, int l1, double c1, double c2) {
    const int l2 = l1 << 1;
    double u1 = 1.0;
    double u2 = 0.0;
    for (int jj = 0; jj < l1; ++jj) {
        for (int i = jj; i < N; i += l2) {
            TComplex& upper = A[i];
            TComplex& lower = A[i + l1];
            const double t1 = u1 * lower.Re - u2 * lower.Im;
            const double t2 = u1 * lower.Im + u2 * lower.Re;
            lower = {upper.Re - t1, upper.Im - t2};
            upper = {upper.Re + t1, upper.Im + t2};
        }
        const double z = u1 * c1 - u2 * c2;
        u2 = u1 * c2 + u2 * c1;
        u1 = z;
    }
}

}  // namespace

void MakeHannWindow(double* W, int N, bool Symmetric) {
    const double D = Symmetric ? N - 1 : N;
    for (int i = 0; i < N; ++i) W[i] = (1.0 - std::cos(kTwoPi * i / D)) / 2.0;
}

void ApplyWindow(const double* W, double* X, int N) {
    for (int i = 0; i < N; ++i) X[i] = W[i] * X[i];
}

void FftInPlace(TComplex* A, int N, int Direction) {
    const int stages = static_cast<int>(std::trunc(std::log2(N)));
    BitReverse(A, N);
    double c1 = -1.0;
    double c2 = 0.0;
    for (int l = 0, l1 = 1; l < stages; ++l, l1 <<= 1) {
        ButterflyStage(A, N, l1, c1, c2);
        c2 = std::sqrt((1.0 - c1) / 2.0);
        if (Direction == 1) c2 = -c2;
        c1 = std::sqrt((1.0 + c1) / 2.0);
    }
    if (Direction == 1) {
        for (int i = 0; i < N; ++i) {
            A[i].Re /= N;
            A[i].Im /= N;
        }
    }
}

TRealFft::TRealFft(int N) : half_(N / 2), twiddles_(size_t(N / 2)) {
    const double step = 2.0 * std::acos(-1.0) / N;
    for (int k = 0; k < half_; ++k) twiddles_[size_t(k)] = {std::cos(step * k), -std::sin(step * k)};
}

void TRealFft::Transform(const double* X, TComplex* Half) const {
    for (int n = 0; n < half_; ++n) Half[n] = {X[2 * n], X[2 * n + 1]};
    FftInPlace(Half, half_, 1);  // scaled by 2/N: the split halves it
    // Bin k from z[k] and z[N/2 - k]: the even values' transform is their conjugate-symmetric
    // part, the odd values' the antisymmetric part, turned by the twiddle.
    const auto bin = [this](int k, const TComplex& a, const TComplex& mirror) -> TComplex {
        const double evenRe = (a.Re + mirror.Re) / 2, evenIm = (a.Im - mirror.Im) / 2;
        const double oddRe = (a.Im + mirror.Im) / 2, oddIm = (mirror.Re - a.Re) / 2;
        const TComplex& w = twiddles_[size_t(k)];
        return {(evenRe + w.Re * oddRe - w.Im * oddIm) / 2, (evenIm + w.Re * oddIm + w.Im * oddRe) / 2};
    };
    for (int k = 0; k <= half_ / 2; ++k) {
        const int j = (half_ - k) % half_;
        const TComplex a = Half[k], b = Half[j];
        Half[k] = bin(k, a, b);
        if (j != k) Half[j] = bin(j, b, a);
    }
}

void LogMagnitudes(const TComplex* A, double* M, int N, int Offset) {
    const double inverseLog2Of10 = 1.0 / std::log2(10.0);
    for (int i = 0; i < N; ++i) {
        const double m = std::sqrt(A[i].Re * A[i].Re + A[i].Im * A[i].Im);
        if (m == 0.0) {
            M[i] = 0.0;
            continue;
        }
        const double v = std::log2(m) * inverseLog2Of10 + Offset;
        M[i] = v >= 0.0 ? v : 0.0;
    }
}

}  // namespace kestova
