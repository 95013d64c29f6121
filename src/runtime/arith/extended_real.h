#pragma once
// ExtendedReal: what every extended type offers, the x87 unit's (X87Extended) and the one in
// integers (SoftExtended). The 80-bit extended real: sign, 15-bit exponent biased by 16383,
// 64-bit significand with its explicit leading bit. Every operation rounds once to 64 bits,
// nearest even, as the x87 unit at the program's setting does; invalid operations,
// division by zero and overflow are faults that stop the run at the next checkpoint.
//
//   T::FromFields(false, 16383, 0x8000000000000000) == T(1.0)
//   T(1.0) / T(3.0)                                  rounded to 64 bits, nearest even
//   T::Infinity(true).IsInfinite()                   -> true
//   T(0.75).BinaryExponent()                         -> -1
//
// Each implementation states that it meets this beside its code, so that the build of
// either type checks both where the processor has the x87 unit.

#include <concepts>
#include <cstdint>

template <typename T>
concept ExtendedReal = requires(T a, T b, float f, double d, int64_t i, uint64_t u, bool negative,
                                uint16_t exponent) {
  // +0; exact widenings of a float, a double and a 64-bit integer (an int64 rounds above
  // 2^64 only: never).
  T();
  T(f);
  T(d);
  { T::FromInt(i) } -> std::same_as<T>;
  { T::FromUnsigned(u) } -> std::same_as<T>;
  // The value of these fields as they are, any encoding; infinity with a sign.
  { T::FromFields(negative, exponent, u) } -> std::same_as<T>;
  { T::Infinity(negative) } -> std::same_as<T>;

  // The fields, and what they say.
  { a.Negative() } -> std::same_as<bool>;
  { a.Exponent() } -> std::same_as<uint16_t>;     // the biased field, 0..0x7FFF
  { a.Significand() } -> std::same_as<uint64_t>;  // with its explicit leading bit
  { a.IsFinite() } -> std::same_as<bool>;         // the exponent is not the special one
  { a.IsNaN() } -> std::same_as<bool>;
  { a.IsInfinite() } -> std::same_as<bool>;  // exactly the leading bit: no pseudo-infinity
  // e with 2^e <= |a| < 2^(e+1), for a finite a with a non-zero significand.
  { a.BinaryExponent() } -> std::same_as<int32_t>;

  // Arithmetic, each rounded once.
  { a + b } -> std::same_as<T>;
  { a - b } -> std::same_as<T>;
  { a* b } -> std::same_as<T>;
  { a / b } -> std::same_as<T>;
  { -a } -> std::same_as<T>;
  // Quiet compares: a NaN gives false (true for !=) without a fault.
  { a < b } -> std::same_as<bool>;
  { a > b } -> std::same_as<bool>;
  { a <= b } -> std::same_as<bool>;
  { a >= b } -> std::same_as<bool>;
  { a == b } -> std::same_as<bool>;
  { a != b } -> std::same_as<bool>;

  // Narrowings, nearest even; beyond the range: overflow.
  { a.RoundToFloat() } -> std::same_as<float>;
  { a.RoundToDouble() } -> std::same_as<double>;
  // Toward zero, resp. nearest even. A NaN or a value out of the int64 range is an invalid
  // operation (INT64_MIN meanwhile).
  { a.TruncateToInt64() } -> std::same_as<int64_t>;
  { a.RoundToInt64() } -> std::same_as<int64_t>;

  // The two steps of the program's arithmetic that run most, each step rounded to 64 bits
  // as the separate operations would, the result then to float. The point f of the way
  // from `from` to `to`, (1 - f) * from + f * to:
  { T::Blend(f, f, f) } -> std::same_as<float>;
  // x + d * m:
  { T::AddProduct(f, d, f) } -> std::same_as<float>;
};
