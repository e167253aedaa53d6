#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace siglib {

// One curve: y over x (Hz or s), of equal length.
struct Curve {
  std::vector<double> y;
  std::vector<double> x;
};

// The analyses follow GNU Octave's signal package (version 1.4) on the
// commands the engine panel sends, so that both panels show the same curves.
// Each returns nothing when the arguments are refused.

// pwelch(x,[],[],nfft,fs): one-sided power spectral density. Segments of
// 2^ceil(log2(sqrt(2 n))) points with a Hamming window of that length and
// half overlap, each zero-padded to max(nfft, segment); the mean of the
// samples the segments cover is removed first; scaled by
// segments x fs x sum(window^2). Frequencies k fs / Nfft.
std::optional<Curve> WelchPsd(const double* x, size_t n, int32_t nfft, double fs);

// csd, tfe and cohere(x,y,nfft,fs) (pwelch in its R11 compatibility mode):
// segments of nfft points with a Hann window 0.5 - 0.5 cos(2 pi k/(nfft-1)),
// overlap nfft/2, no mean removed, data shorter than nfft zero-padded.
//   Cross:     |sum Y conj(X)| scaled as the power spectral density.
//   Transfer:  |Pxy / Pxx|.
//   Coherence: |Pxy|^2 / (Pxx Pyy).
// A bin with no power in the denominator reads 0.
enum class CrossKind { Cross, Transfer, Coherence };
std::optional<Curve> WelchCross(const double* x, const double* y, size_t n, int32_t nfft, double fs, CrossKind kind);

// pburg(x,order,nfft,fs): AR model by Burg's method (no mean removed), its
// one-sided spectrum 2 (v / fs) / |A(e^jw)|^2 at nfft frequencies
// k fs / (2 nfft), k = 0 .. nfft - 1. Refused for an order outside
// 1 .. n - 3, or when the prediction errors vanish (no model to fit).
std::optional<Curve> BurgPsd(const double* x, size_t n, int32_t order, int32_t nfft, double fs);

// xcorr(x,y,'coeff') and xcorr(x,'coeff') (y null) with lags / fs: every
// lag -(n-1) .. n-1, R(k) = sum x(i+k) y(i), divided by
// sqrt(sum x^2 sum y^2) (by R(0) for the autocorrelation). A signal without
// energy correlates to 0 everywhere.
std::optional<Curve> Correlation(const double* x, const double* y, size_t n, double fs);

}  // namespace siglib
