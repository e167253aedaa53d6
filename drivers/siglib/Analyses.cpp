#include "Analyses.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <memory>
#include <new>
#include <numbers>

namespace siglib {

namespace {

using Complex = std::complex<double>;

// FFTW's aligned buffers and plans, released on every path.
struct FftwFree {
  void operator()(void* p) const { fftw_free(p); }
};
template <typename T>
using FftwBuffer = std::unique_ptr<T[], FftwFree>;

template <typename T>
FftwBuffer<T> AllocateFftw(size_t count) {
  auto* p = static_cast<T*>(fftw_malloc(sizeof(T) * std::max<size_t>(count, 1)));
  if (p == nullptr) throw std::bad_alloc();
  return FftwBuffer<T>(p);
}

struct PlanDestroy {
  void operator()(fftw_plan_s* p) const { fftw_destroy_plan(p); }
};
using Plan = std::unique_ptr<fftw_plan_s, PlanDestroy>;

// Real-to-half-complex transforms of one length, on buffers of their own.
class RealFft {
 public:
  explicit RealFft(size_t length)
      : length_(length), in_(AllocateFftw<double>(length)), out_(AllocateFftw<fftw_complex>(length / 2 + 1)) {
    plan_.reset(fftw_plan_dft_r2c_1d(static_cast<int>(length), in_.get(), out_.get(), FFTW_ESTIMATE));
    if (!plan_) throw std::bad_alloc();
  }
  double* In() { return in_.get(); }
  // Bins 0 .. length / 2 of the last transform.
  Complex Bin(size_t k) const { return {out_[k][0], out_[k][1]}; }
  void Run() { fftw_execute(plan_.get()); }
  size_t Length() const { return length_; }

 private:
  size_t length_;
  FftwBuffer<double> in_;
  FftwBuffer<fftw_complex> out_;
  Plan plan_;
};

// Bins 1 .. below Nfft / 2 stand for their mirror bin too.
bool Doubled(size_t k, size_t nfft) { return k > 0 && 2 * k < nfft; }

std::vector<double> Frequencies(size_t count, double fs, size_t nfft) {
  std::vector<double> f(count);
  const double step = fs / static_cast<double>(nfft);
  for (size_t k = 0; k < count; ++k) f[k] = static_cast<double>(k) * step;
  return f;
}

// Zero-padded copy of at least `length` samples.
std::vector<double> PaddedTo(const double* x, size_t n, size_t length) {
  std::vector<double> v(std::max(n, length), 0.0);
  std::copy(x, x + n, v.begin());
  return v;
}

// The symmetric window a0 - (1 - a0) cos(2 pi k / (L - 1)), k = 0 .. L - 1.
std::vector<double> CosineWindow(size_t length, double a0) {
  std::vector<double> w(length);
  const double step = 2.0 * std::numbers::pi / static_cast<double>(length - 1);
  for (size_t k = 0; k < length; ++k) w[k] = a0 - (1.0 - a0) * std::cos(step * static_cast<double>(k));
  return w;
}

bool ValidRate(double fs) { return std::isfinite(fs) && fs > 0.0; }

}  // namespace

std::optional<Curve> WelchPsd(const double* x, size_t n, int32_t nfftArg, double fs) {
  if (x == nullptr || n == 0 || nfftArg < 2 || !ValidRate(fs)) return std::nullopt;
  // Segment length for half overlap: 2^ceil(log2(sqrt(n / 0.5))), evaluated
  // as Octave does (its factor just below 1 keeps exact powers of two).
  constexpr double kNearlyOne = 0.99999999999;
  const double exponent =
      std::ceil(std::log(std::sqrt(static_cast<double>(n) / 0.5)) * kNearlyOne / std::log(2.0));
  const auto segLen = static_cast<size_t>(std::ldexp(1.0, static_cast<int>(exponent)));
  const std::vector<double> window = CosineWindow(segLen, 0.54);
  const size_t overlap = segLen / 2;
  const size_t step = segLen - overlap;
  const size_t nfft = std::max(static_cast<size_t>(nfftArg), segLen);

  std::vector<double> data = PaddedTo(x, n, segLen);
  size_t len = data.size();
  // The mean of the samples the segments cover, taken off every sample.
  const size_t segments = (len - segLen) / step + 1;
  len = std::min(len, step * (segments - 1) + segLen);
  double sum = 0.0;
  for (size_t i = 0; i < len; ++i) sum += data[i];
  const double mean = sum / static_cast<double>(len);
  for (double& v : data) v -= mean;

  RealFft fft(nfft);
  const size_t bins = nfft / 2 + 1;
  std::vector<double> pxx(bins, 0.0);
  std::fill(fft.In(), fft.In() + nfft, 0.0);
  for (size_t s = 0; s < segments; ++s) {
    const double* seg = data.data() + s * step;
    for (size_t k = 0; k < segLen; ++k) fft.In()[k] = window[k] * seg[k];
    fft.Run();
    for (size_t k = 0; k < bins; ++k) pxx[k] += std::norm(fft.Bin(k));
  }
  double windowPower = 0.0;
  for (double w : window) windowPower += w * w;
  const double scale =
      static_cast<double>(segments) * static_cast<double>(segLen) * fs * (windowPower / static_cast<double>(segLen));
  Curve c;
  c.y.resize(bins);
  for (size_t k = 0; k < bins; ++k) c.y[k] = (Doubled(k, nfft) ? 2.0 * pxx[k] : pxx[k]) / scale;
  c.x = Frequencies(bins, fs, nfft);
  return c;
}

std::optional<Curve> WelchCross(const double* x, const double* y, size_t n, int32_t nfftArg, double fs,
                                CrossKind kind) {
  if (x == nullptr || y == nullptr || n == 0 || nfftArg < 2 || !ValidRate(fs)) return std::nullopt;
  const auto nfft = static_cast<size_t>(nfftArg);
  const size_t segLen = nfft;
  const std::vector<double> window = CosineWindow(segLen, 0.5);
  const size_t step = segLen - segLen / 2;
  const std::vector<double> xs = PaddedTo(x, n, segLen);
  const std::vector<double> ys = PaddedTo(y, n, segLen);
  const size_t segments = (xs.size() - segLen) / step + 1;

  RealFft fx(nfft);
  RealFft fy(nfft);
  const size_t bins = nfft / 2 + 1;
  std::vector<double> pxx(bins, 0.0);
  std::vector<double> pyy(bins, 0.0);
  std::vector<Complex> pxy(bins, 0.0);
  for (size_t s = 0; s < segments; ++s) {
    const size_t at = s * step;
    for (size_t k = 0; k < segLen; ++k) {
      fx.In()[k] = window[k] * xs[at + k];
      fy.In()[k] = window[k] * ys[at + k];
    }
    fx.Run();
    fy.Run();
    for (size_t k = 0; k < bins; ++k) {
      const Complex a = fx.Bin(k);
      const Complex b = fy.Bin(k);
      pxx[k] += std::norm(a);
      pyy[k] += std::norm(b);
      pxy[k] += b * std::conj(a);
    }
  }
  double windowPower = 0.0;
  for (double w : window) windowPower += w * w;
  const double scale = static_cast<double>(segments) * fs * windowPower;

  Curve c;
  c.y.resize(bins);
  for (size_t k = 0; k < bins; ++k) {
    const double twice = Doubled(k, nfft) ? 2.0 : 1.0;
    const Complex sxy = twice * pxy[k];
    const double sxx = twice * pxx[k];
    const double syy = twice * pyy[k];
    switch (kind) {
      case CrossKind::Cross:
        c.y[k] = std::abs(sxy / scale);
        break;
      case CrossKind::Transfer:
        c.y[k] = sxx > 0.0 ? std::abs(sxy / sxx) : 0.0;
        break;
      case CrossKind::Coherence:
        c.y[k] = sxx > 0.0 && syy > 0.0 ? std::norm(sxy) / sxx / syy : 0.0;
        break;
    }
  }
  c.x = Frequencies(bins, fs, nfft);
  return c;
}

std::optional<Curve> BurgPsd(const double* x, size_t n, int32_t order, int32_t nfftArg, double fs) {
  if (x == nullptr || nfftArg < 2 || !ValidRate(fs) || order < 1) return std::nullopt;
  if (n < 3 || static_cast<size_t>(order) >= n - 2) return std::nullopt;
  const auto poles = static_cast<size_t>(order);

  // Burg's recursion on the forward and backward prediction errors.
  std::vector<double> f(x + 1, x + n);
  std::vector<double> b(x, x + n - 1);
  double v = 0.0;
  for (size_t i = 0; i < n; ++i) v += x[i] * x[i];
  v /= static_cast<double>(n);
  std::vector<double> a;  // a(1..p), a(0) = 1 implied
  a.reserve(poles);
  for (size_t p = 1; p <= poles; ++p) {
    double bf = 0.0;
    double energy = 0.0;
    for (size_t i = 0; i < f.size(); ++i) {
      bf += b[i] * f[i];
      energy += f[i] * f[i] + b[i] * b[i];
    }
    if (!(energy > 0.0)) return std::nullopt;
    const double k = -2.0 * bf / energy;
    v *= 1.0 - k * k;
    const std::vector<double> prev = a;
    for (size_t j = 0; j < prev.size(); ++j) a[j] = prev[j] + k * prev[prev.size() - 1 - j];
    a.push_back(k);
    if (p < poles) {
      const size_t nn = n - p;
      std::vector<double> nf(nn - 1);
      std::vector<double> nb(nn - 1);
      for (size_t i = 0; i + 1 < nn; ++i) {
        nf[i] = f[i + 1] + k * b[i + 1];
        nb[i] = b[i] + k * f[i];
      }
      f.swap(nf);
      b.swap(nb);
    }
  }

  // A(e^-jw) at w = pi k / nfft: the coefficients folded into 2 nfft points.
  const auto nfft = static_cast<size_t>(nfftArg);
  const size_t len = 2 * nfft;
  RealFft fft(len);
  std::fill(fft.In(), fft.In() + len, 0.0);
  fft.In()[0] = 1.0;
  for (size_t j = 0; j < a.size(); ++j) fft.In()[(j + 1) % len] += a[j];
  fft.Run();
  Curve c;
  c.y.resize(nfft);
  c.x.resize(nfft);
  const double level = v / fs;
  const double step = fs / 2.0 / static_cast<double>(nfft);
  for (size_t k = 0; k < nfft; ++k) {
    c.y[k] = 2.0 * (level / std::norm(fft.Bin(k)));
    c.x[k] = step * static_cast<double>(k);
  }
  return c;
}

std::optional<Curve> Correlation(const double* x, const double* y, size_t n, double fs) {
  if (x == nullptr || n == 0 || !ValidRate(fs)) return std::nullopt;
  // Every lag -(n-1) .. n-1 without wrapping: a transform of at least 2n - 1.
  const size_t count = 2 * n - 1;
  if (count > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return std::nullopt;
  size_t m = 1;
  while (m < count) m *= 2;
  if (m > (size_t{1} << 30)) return std::nullopt;

  const bool autocorrelation = y == nullptr;
  RealFft fx(m);
  std::fill(fx.In(), fx.In() + m, 0.0);
  std::copy(x, x + n, fx.In());
  fx.Run();
  const size_t bins = m / 2 + 1;
  auto spectrum = AllocateFftw<fftw_complex>(bins);
  auto cor = AllocateFftw<double>(m);
  Plan inverse(fftw_plan_dft_c2r_1d(static_cast<int>(m), spectrum.get(), cor.get(), FFTW_ESTIMATE));
  if (!inverse) throw std::bad_alloc();
  double energy = 0.0;
  for (size_t i = 0; i < n; ++i) energy += x[i] * x[i];
  if (autocorrelation) {
    for (size_t k = 0; k < bins; ++k) {
      spectrum[k][0] = std::norm(fx.Bin(k));
      spectrum[k][1] = 0.0;
    }
  } else {
    RealFft fy(m);
    std::fill(fy.In(), fy.In() + m, 0.0);
    std::copy(y, y + n, fy.In());
    fy.Run();
    double energyY = 0.0;
    for (size_t i = 0; i < n; ++i) energyY += y[i] * y[i];
    energy = std::sqrt(energy * energyY);
    for (size_t k = 0; k < bins; ++k) {
      const Complex p = fx.Bin(k) * std::conj(fy.Bin(k));
      spectrum[k][0] = p.real();
      spectrum[k][1] = p.imag();
    }
  }
  fftw_execute(inverse.get());  // unnormalised: every value m times too large

  Curve c;
  c.y.assign(count, 0.0);
  c.x.resize(count);
  const double md = static_cast<double>(m);
  // The autocorrelation is divided by its own value at lag 0.
  const double norm = autocorrelation ? cor[0] / md : energy;
  const bool silent = !(energy > 0.0) || !(norm > 0.0);
  const auto lag0 = static_cast<int64_t>(n) - 1;
  for (size_t j = 0; j < count; ++j) {
    const int64_t lag = static_cast<int64_t>(j) - lag0;
    c.x[j] = static_cast<double>(lag) / fs;
    if (silent) continue;
    size_t at = 0;
    if (autocorrelation) at = static_cast<size_t>(lag < 0 ? -lag : lag);  // symmetric
    else at = lag < 0 ? m - static_cast<size_t>(-lag) : static_cast<size_t>(lag);
    c.y[j] = cor[at] / md / norm;
  }
  return c;
}

}  // namespace siglib
