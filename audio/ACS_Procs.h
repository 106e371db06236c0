#pragma once
// Numeric routines of the level stage: Hann window, element-wise product, radix-2 complex FFT,
// its real-input form and logarithmic magnitudes. All work on caller-supplied arrays.
#include <vector>

namespace kestova {

// A complex value as the FFT stores it: real part first, 16 bytes, contiguous in arrays.
struct TComplex {
    double Re;
    double Im;
};

// W[i] = (1 - cos(6.28318530718 * i / D)) / 2 with D = N - 1 (Symmetric) or N.
void MakeHannWindow(double* W, int N, bool Symmetric);

// X[i] = W[i] * X[i], in place.
void ApplyWindow(const double* W, double* X, int N);

// In-place radix-2 FFT of N (a power of two) entries. Direction 1 is the forward transform
// scaled by 1/N; any other value the unscaled transform with the opposite exponent sign.
void FftInPlace(TComplex* A, int N, int Direction);

// The forward transform scaled by 1/N of N real values (N a power of two, at least 4), bins
// 0..N/2-1 only, as FftInPlace gives them for the values with zero imaginary parts; the upper
// half mirrors them. Done as one N/2-point complex transform of the even and odd values side
// by side and a split of its result: under half the work of the N-point transform.
class TRealFft {
public:
    explicit TRealFft(int N);
    // Half receives N/2 entries.
    void Transform(const double* X, TComplex* Half) const;

private:
    int half_;
    std::vector<TComplex> twiddles_;  // e^(-2 pi i k / N) for k < N/2
};

// M[i] = max(0, log10(|A[i]|) + Offset), and 0 where |A[i]| is 0.
void LogMagnitudes(const TComplex* A, double* M, int N, int Offset);

}  // namespace kestova
