#pragma once

// The entry points of the signal-processing library ("Tamberlo.DLL"), bound
// by name: plain C functions, i32 = int32_t, f32 = float.
//
// "SendADToMatlabArray" keeps a copy of the shown range (DisplayWidth rows
// of the buffer from row XPosition, cut to the rows the buffer holds) of
// every analog channel in engineering units, A + B x (code - VZero) / (ADMax
// - VZero) x 5, held column-major as MATLAB holds a matrix: points x
// Analog_Num, column c is channel c. Both arguments count buffer rows, one
// point per row: the library has no sub-sample tables, so on multi-rate data
// (MaxMultiFreq display points a row) the caller passes the rows holding the
// shown points and the library takes word c of each row, channel c's base
// sample, at ChannelRate. Every call first drops the previous copy; 0 when it
// refuses (no buffer, no analog channel, an empty range, a rate that is not
// positive), and then the Calc entries and "SaveAD" refuse too.
//
// "SaveAD" writes that copy as a MATLAB (level 5) data file with the
// variables AD (points x channels, doubles) and Fs (the rate given at
// preparation), through a temporary file renamed over the target; nonzero
// when written, 0 (nothing left behind) otherwise.
//
// Calc entries: nonzero on success, with *y and *x pointing at n (>= 1)
// doubles: y the result, x the frequency in Hz or the lag in s. Refused (0,
// *y, *x and *n untouched) without prepared data, with a channel outside
// 0 .. Analog_Num - 1, NFFT below 2 or above kSignalLibMaxNfft, or a Burg
// order outside 1 .. points - 3 (or a channel without signal: no Burg model).
// The analyses are those of GNU Octave's signal package on the engine panel's
// commands: pwelch(x,[],[],NFFT,Fs), csd, cohere and tfe(x,y,NFFT,Fs),
// pburg(x,order,NFFT,Fs), xcorr(x,'coeff') and xcorr(x,y,'coeff') with the
// lags divided by Fs. Complex results (cross spectrum, transfer function) are
// given as their magnitude; a ratio without power in its denominator, and the
// correlation of a channel without energy, read 0. The correlations span
// every lag -(points - 1) .. points - 1, as xcorr does; NFFT is checked but
// sets nothing there.
//
// Ownership: the two arrays belong to the library. The caller copies the n
// values out into memory of its own and hands each pointer back to
// "FreeResult"; it never frees, resizes or keeps them. The values *y and *x
// hold on entry are never read or freed by the library, so the caller passes
// the addresses of pointers of its own, never of arrays it owns.

#include <stdint.h>

extern "C" {

typedef int32_t (*SignalLibSendArrayFn)(const uint16_t* dispData, int32_t dispTriggerBlock,
                                        int32_t dispTriggerPoint, int32_t numSamp, int32_t dispRows,
                                        int32_t dispFirstBlock, int32_t numChn, int32_t analogNum,
                                        const float* chnCoeA, const float* chnCoeB, int32_t xPosition,
                                        int32_t displayWidth, float channelRate, float vZero, float adMax);
typedef int32_t (*SignalLibSaveADFn)(const char* fileName);
// "CalcPSD", "CalcAutoCorr": Y, X, n, c1, NFFT.
typedef int32_t (*SignalLibCalcOneFn)(double** y, double** x, int32_t* n, int32_t c1, int32_t nfft);
// "CalcCPSD", "CalcCohere", "CalcTFE", "CalcCorr": Y, X, n, c1, c2, NFFT.
typedef int32_t (*SignalLibCalcTwoFn)(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft);
// "CalcPBurg": Y, X, n, c1, order, NFFT.
typedef int32_t (*SignalLibCalcBurgFn)(double** y, double** x, int32_t* n, int32_t c1, int32_t order,
                                       int32_t nfft);
// "FreeResult": releases an array a Calc entry handed out; null is ignored.
typedef void (*SignalLibFreeResultFn)(double* array);

}  // extern "C"

// The largest NFFT the Calc entries accept (the panel offers up to 65536).
inline constexpr int32_t kSignalLibMaxNfft = 1 << 24;
