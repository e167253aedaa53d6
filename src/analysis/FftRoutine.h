#pragma once

namespace quelvar {

// The fast Fourier transform of the built-in spectrum analysis: radix-8
// decimation in frequency (as many radix-8 passes as the length allows,
// then one radix-4 or radix-2 pass for the remaining factor), then a
// bit-reversal unscramble. In place on two float arrays of n values each.
//
// inverse == 1: x[t] = (1/n) sum_k X[k] e^(+j2 pi tk/n).
// Any other value: forward, X[k] = sum_t x[t] e^(-j2 pi tk/n), unscaled.
// n must be 2^m with 1 <= m <= 15; any other n leaves both arrays as they
// were. Always returns 0 (callers do not test it).
int FFT842(float* real, float* imag, int n, int inverse);

// The passes, on sub-arrays given as starting positions in the same two
// arrays. The radix-8 pass's sub-arrays start span apart; the radix-4 and
// radix-2 passes' start one element apart. Sub-arrays laid out as FFT842
// lays them out are taken several butterflies at a time; any other layout
// one butterfly at a time, with the same results.
void Radix8Pass(int span, int n, int length, float* cr0, float* cr1, float* cr2, float* cr3, float* cr4,
                float* cr5, float* cr6, float* cr7, float* ci0, float* ci1, float* ci2, float* ci3, float* ci4,
                float* ci5, float* ci6, float* ci7);
void Radix4Pass(int n, float* cr0, float* cr1, float* cr2, float* cr3, float* ci0, float* ci1, float* ci2,
                float* ci3);
void Radix2Pass(int n, float* cr0, float* cr1, float* ci0, float* ci1);

// The radix-8 pass's first twiddle for j = first .. first + count - 1: cos
// and sin of the float angle j * scale, evaluated in double and rounded to
// float. Only for angles below pi/4, the only ones the passes use. Exposed
// so the tests can hold it to the standard library's cos and sin on every
// angle the passes use.
void FftAngleCosSin(int first, int count, float scale, float* cosOut, float* sinOut);

}  // namespace quelvar
