#pragma once
// STAND-IN: a minimal x87 extended type with the interface of SoftExtended, for the
// differential tests until the real X87Extended (runtime/number/extended_x87.h) arrives.
// When the branches meet, delete this file and point `X87Reference` in
// extended_differential.h at X87Extended.
//
// Each operand goes through memory behind an empty asm, so the compiler cannot fold the
// operation at build time: the x87 unit itself computes every reference result.

#if !defined(__x86_64__)
#error "the x87 reference exists only on x86-64"
#endif

#include <cstdint>
#include <cstring>

class X87Reference {
 public:
  X87Reference() = default;
  explicit X87Reference(float x) : value_(Opaque(x)) {}
  explicit X87Reference(double x) : value_(Opaque(x)) {}
  static X87Reference FromInt(int64_t n) { return Wrap(Opaque(n)); }
  static X87Reference FromUnsigned(uint64_t n) { return Wrap(Opaque(n)); }
  static X87Reference FromFields(bool negative, uint16_t exponent, uint64_t significand) {
    unsigned char bytes[sizeof(long double)] = {};
    uint16_t signExponent = static_cast<uint16_t>((negative ? 0x8000 : 0) | (exponent & 0x7FFF));
    std::memcpy(bytes, &significand, 8);  // x86-64: little-endian, significand first
    std::memcpy(bytes + 8, &signExponent, 2);
    X87Reference x;
    std::memcpy(&x.value_, bytes, sizeof bytes);
    return x;
  }

  bool Negative() const { return (SignExponent() & 0x8000) != 0; }
  uint16_t Exponent() const { return SignExponent() & 0x7FFF; }
  uint64_t Significand() const {
    uint64_t s;
    std::memcpy(&s, &value_, 8);
    return s;
  }

  friend X87Reference operator+(X87Reference a, X87Reference b) {
    return Wrap(Opaque(a.value_) + Opaque(b.value_));
  }
  friend X87Reference operator-(X87Reference a, X87Reference b) {
    return Wrap(Opaque(a.value_) - Opaque(b.value_));
  }
  friend X87Reference operator*(X87Reference a, X87Reference b) {
    return Wrap(Opaque(a.value_) * Opaque(b.value_));
  }
  friend X87Reference operator/(X87Reference a, X87Reference b) {
    return Wrap(Opaque(a.value_) / Opaque(b.value_));
  }
  friend X87Reference operator-(X87Reference a) { return Wrap(-Opaque(a.value_)); }
  // The quiet compares (fucomi): no fault for a quiet NaN.
  friend bool operator<(X87Reference a, X87Reference b) {
    return __builtin_isless(Opaque(a.value_), Opaque(b.value_));
  }
  friend bool operator>(X87Reference a, X87Reference b) {
    return __builtin_isgreater(Opaque(a.value_), Opaque(b.value_));
  }
  friend bool operator<=(X87Reference a, X87Reference b) {
    return __builtin_islessequal(Opaque(a.value_), Opaque(b.value_));
  }
  friend bool operator>=(X87Reference a, X87Reference b) {
    return __builtin_isgreaterequal(Opaque(a.value_), Opaque(b.value_));
  }
  friend bool operator==(X87Reference a, X87Reference b) {
    return Opaque(a.value_) == Opaque(b.value_);
  }
  friend bool operator!=(X87Reference a, X87Reference b) {
    return Opaque(a.value_) != Opaque(b.value_);
  }

  float RoundToFloat() const { return static_cast<float>(Opaque(value_)); }
  int64_t TruncateToInt64() const { return static_cast<int64_t>(Opaque(value_)); }
  int64_t RoundToInt64() const {
    int64_t n;
    asm volatile("fistpll %0" : "=m"(n) : "t"(Opaque(value_)) : "st");
    return n;
  }

 private:
  template <typename T>
  static T Opaque(T x) {
    asm volatile("" : "+m"(x));
    return x;
  }
  static X87Reference Wrap(long double v) {
    X87Reference x;
    x.value_ = Opaque(v);
    return x;
  }
  uint16_t SignExponent() const {
    uint16_t se;
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&value_) + 8, 2);
    return se;
  }

  long double value_ = 0;
};
