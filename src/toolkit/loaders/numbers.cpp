// Plain decimal numbers (a sign, at most 19 significant digits, a point, a small exponent) are
// converted here; everything else (blanks before the number, hexadecimal, "inf", "nan", more
// digits, large exponents, values near the ends of the float range) goes to the C library.
//
// A float value is found in two exactly rounded steps: the digits (below 2^53) and a power of
// ten up to 10^22 are exact doubles, so one multiplication or division gives the double
// nearest the number.  Rounding that double to a float gives the float nearest the number
// unless the double lies exactly halfway between two floats (then the number itself may lie on
// either side of it): those few go to the C library too.
#include "toolkit/loaders/numbers.h"

#include <float.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

namespace {

constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxPower = 22;
constexpr int kMaxDigits = 19;
constexpr uint64_t kExactLimit = uint64_t(1) << 53;
// Digits that always fit a long (32 or 64 bits).
constexpr int kLongDigits = sizeof(long) >= 8 ? 18 : 9;

bool digit(char c) { return c >= '0' && c <= '9'; }

// The digits of a decimal number as an integer and a power of ten.
struct Decimal {
  uint64_t digits = 0;
  int exponent = 0;
  bool negative = false;
  const char *end = nullptr;  // past the number
};

// Digits with an optional point; false when there are none or too many to hold.
bool readdigits(const char *&p, Decimal *d) {
  bool any = false;
  int count = 0;
  for (bool fraction = false;; p++) {
    if (*p == '.' && !fraction) {
      fraction = true;
      continue;
    }
    if (!digit(*p)) break;
    any = true;
    if (d->digits || *p != '0') {
      if (++count > kMaxDigits) return false;
      d->digits = d->digits * 10 + uint64_t(*p - '0');
    }
    if (fraction) d->exponent--;
  }
  return any;
}

// An exponent after the digits, when one follows; false when it is too large to take here.
bool readexponent(const char *&p, Decimal *d) {
  if (*p != 'e' && *p != 'E') return true;
  const char *q = p + 1;
  const bool negative = *q == '-';
  if (*q == '-' || *q == '+') q++;
  if (!digit(*q)) return true;  // "1e" ends before the e
  int value = 0;
  for (; digit(*q); q++) {
    if (value > 1000) return false;
    value = value * 10 + (*q - '0');
  }
  d->exponent += negative ? -value : value;
  p = q;
  return true;
}

// The decimal at the text, or false when the C library should read it.
bool readdecimal(const char *text, Decimal *d) {
  const char *p = text;
  if (*p == '-' || *p == '+') d->negative = *p++ == '-';
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return false;
  if (!readdigits(p, d) || !readexponent(p, d)) return false;
  d->end = p;
  return true;
}

bool halfway(double value) {
  uint64_t bits;
  memcpy(&bits, &value, sizeof bits);
  return (bits & ((uint64_t(1) << 29) - 1)) == uint64_t(1) << 28;
}

// The float nearest the decimal; false when this cannot tell it.
bool nearestfloat(const Decimal &d, float *out) {
  if (d.digits == 0) {
    *out = d.negative ? -0.0f : 0.0f;
    return true;
  }
  if (d.digits >= kExactLimit || d.exponent < -kMaxPower || d.exponent > kMaxPower) return false;
  const double value = d.exponent < 0 ? double(d.digits) / kPowers[-d.exponent]
                                      : double(d.digits) * kPowers[d.exponent];
  if (value < double(FLT_MIN) || value > double(FLT_MAX) || halfway(value)) return false;
  *out = float(d.negative ? -value : value);
  return true;
}

}  // namespace

extern "C" {

float _WTtext_strtof(const char *text, char **end) {
  Decimal d;
  float value;
  if (!readdecimal(text, &d) || !nearestfloat(d, &value)) return strtof(text, end);
  if (end) *end = const_cast<char *>(d.end);
  return value;
}

long _WTtext_strtol(const char *text, char **end) {
  const char *p = text;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') p++;
  long value = 0;
  int count = 0;
  for (; digit(*p); p++, count++) {
    if (count == kLongDigits) return strtol(text, end, 10);
    value = value * 10 + (*p - '0');
  }
  if (count == 0) return strtol(text, end, 10);
  if (end) *end = const_cast<char *>(p);
  return negative ? -value : value;
}
}
