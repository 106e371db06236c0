#pragma once
// Numeric routines of the level stage: Hann window, element-wise product, radix-2 complex FFT
// and logarithmic magnitudes. All work on caller-supplied arrays.

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

// M[i] = max(0, log10(|A[i]|) + Offset), and 0 where |A[i]| is 0.
void LogMagnitudes(const TComplex* A, double* M, int N, int Offset);

}  // namespace kestova
