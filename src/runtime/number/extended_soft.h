#pragma once
// SoftExtended: the 80-bit extended real (sign, 15-bit exponent with bias 16383, 64-bit
// significand with an explicit top bit) computed in integer arithmetic, so every processor
// gives the bits the x87 unit gives at the program's setting: precision 64 bits, round to
// nearest even, underflow, denormal and inexact masked.
//
// The faults the x87 setting leaves unmasked are recorded instead of trapped, in sticky flags
// the checkpoint reads (Faults, FaultStopCode). The value returned with a fault is the x87's
// masked answer (infinity for overflow, the default NaN for invalid), which the stop at the
// checkpoint makes irrelevant to the run.
//
//   SoftExtended x(0.1f);                  // exactly 13421773 * 2^-27
//   (x * SoftExtended(3.0f)).RoundToFloat()  // 0.3f, rounded once from the 64-bit product
//   SoftExtended(1.0f) / SoftExtended()    // +infinity, records kSoftZeroDivide
//   SoftExtended::FaultStopCode()          // 200

#include <cstdint>

class SoftExtended {
 public:
  SoftExtended() = default;  // +0
  explicit SoftExtended(float x);
  explicit SoftExtended(double x);
  static SoftExtended FromInt(int64_t n);
  static SoftExtended FromUnsigned(uint64_t n);
  static SoftExtended FromFields(bool negative, uint16_t exponent, uint64_t significand) {
    SoftExtended x;
    x.signExponent_ = static_cast<uint16_t>((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    x.significand_ = significand;
    return x;
  }

  bool Negative() const { return (signExponent_ & 0x8000) != 0; }
  uint16_t Exponent() const { return signExponent_ & 0x7FFF; }
  uint64_t Significand() const { return significand_; }
  bool IsNaN() const { return Exponent() == 0x7FFF && (significand_ << 1) != 0; }
  bool IsInfinite() const { return Exponent() == 0x7FFF && significand_ == kTopBit; }

  friend SoftExtended operator+(SoftExtended a, SoftExtended b);
  friend SoftExtended operator-(SoftExtended a, SoftExtended b);
  friend SoftExtended operator*(SoftExtended a, SoftExtended b);
  friend SoftExtended operator/(SoftExtended a, SoftExtended b);
  friend SoftExtended operator-(SoftExtended a) {
    a.signExponent_ ^= 0x8000;
    return a;
  }

  // Quiet compares: a NaN operand makes every one false but !=, with no fault. (Like the
  // x87's unordered compare, a signalling NaN or an encoding the x87 rejects records invalid.)
  friend bool operator<(SoftExtended a, SoftExtended b) { return Compare(a, b) == kLess; }
  friend bool operator>(SoftExtended a, SoftExtended b) { return Compare(a, b) == kGreater; }
  friend bool operator<=(SoftExtended a, SoftExtended b) {
    Order o = Compare(a, b);
    return o == kLess || o == kEqual;
  }
  friend bool operator>=(SoftExtended a, SoftExtended b) {
    Order o = Compare(a, b);
    return o == kGreater || o == kEqual;
  }
  friend bool operator==(SoftExtended a, SoftExtended b) { return Compare(a, b) == kEqual; }
  friend bool operator!=(SoftExtended a, SoftExtended b) { return Compare(a, b) != kEqual; }

  float RoundToFloat() const;       // nearest even; beyond the float range: overflow
  double RoundToDouble() const;     // likewise
  int64_t TruncateToInt64() const;  // toward zero; NaN or beyond int64: invalid, INT64_MIN
  int64_t RoundToInt64() const;     // nearest even; the same fault rule

  // Sticky fault flags, at the bits the x87 status word gives them. Per thread, as the
  // x87 unit's are.
  static constexpr unsigned kSoftInvalid = 0x01;
  static constexpr unsigned kSoftZeroDivide = 0x04;
  static constexpr unsigned kSoftOverflow = 0x08;
  static unsigned Faults();
  static void ClearFaults();
  // The exit code of the stop a recorded fault calls for, 0 when none: invalid 207 before
  // zero-divide 200 before overflow 205.
  static uint8_t FaultStopCode();

 private:
  static constexpr uint64_t kTopBit = uint64_t{1} << 63;
  enum Order { kLess, kEqual, kGreater, kUnordered };
  static Order Compare(SoftExtended a, SoftExtended b);

  uint16_t signExponent_ = 0;
  uint64_t significand_ = 0;
};
