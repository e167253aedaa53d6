#pragma once

#include <cstdint>

namespace quelvar {

// The printer's lengths and the fixed-scale page model, shared by printing
// and by the print settings dialog's page model. Every count and divisor
// that comes out of here is at least 1, so large margins, fonts or scales
// never divide by zero or loop forever.

// Printer pixels per centimetre from the horizontal resolution (used for
// both directions); at least one dot per inch counts.
double PixelsPerCentimetre(int pixelsPerInchX);
// A length in centimetres as printer pixels, truncated toward zero and kept
// within 0 .. 2^30 (negative and non-finite lengths give 0).
int32_t CentimetresToPixels(double cm, double pixelsPerCentimetre);
// The points in `perSampTimeMs` ms at `channelRate` samples per second,
// rounded, at least 1.
int32_t PerSampTimePointsFor(double perSampTimeMs, double channelRate);
// The page width left for the data: page width less both margins and the
// scale allowance, at least 10.
int32_t FixedScalePrintableWidth(int32_t pageWidth, int32_t leftMargin, int32_t rightMargin,
                                 int32_t scaleAllowance);
// Points on one fixed-scale page: printable width x points per time unit /
// pixels per centimetre unit (64-bit), at least 1.
int32_t FixedScalePagePoints(int32_t printableWidth, int32_t perSampTimePoints, int32_t perPointCMPixels);
// Pages that cover `displayWidth` points with pages of `pagePoints` points,
// each page after the first starting nine tenths of a page later: the
// smallest count from the rounded-up quotient on, but not more than
// (W x 10 / 9 + P) / P; 1 for an empty range.
int32_t FixedScalePageCount(int64_t displayWidth, int32_t pagePoints);

}  // namespace quelvar
