#pragma once
// X87Extended: the 80-bit extended real of the x87 unit (sign, 15-bit exponent biased by
// 16383, 64-bit significand with its explicit leading bit), computed by the unit itself.
// The only code of the program that knows the type behind it, its byte layout or the
// unit's instructions; everything else uses Extended (extended.h). Its interface is the
// one every extended type has (extended_real.h).
//
// Faults (invalid 0/0, inf - inf, 0 * inf; x / 0; overflow) are unmasked: they trap at
// the next waiting instruction, at the latest at ArithmeticCheckpoint.

#if !defined(__x86_64__)
#error "X87Extended needs an x87 unit: build with ALLOCATE_SOFT_EXTENDED"
#endif

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

static_assert(std::numeric_limits<long double>::digits == 64,
              "long double must be the x87 extended format (64-bit significand)");
static_assert(std::numeric_limits<long double>::max_exponent == 16384);
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559);

// x87: precision 64 bits, round to nearest; invalid, zero-divide and overflow unmasked
// (bits 0, 2, 3 clear), denormal, underflow and inexact masked (bits 1, 4, 5 set).
inline constexpr unsigned short kX87ControlWord = 0x1332;
// SSE, where float arithmetic runs: the same three exceptions unmasked.
// 0x1900 = default 0x1F80 less the invalid (0x80), zero-divide (0x200) and overflow (0x400) masks.
inline constexpr unsigned kMxcsr = 0x1900;

class X87Extended {
 public:
  X87Extended() : value_(0.0L) {}
  explicit X87Extended(float x) : value_(x) {}
  explicit X87Extended(double x) : value_(x) {}
  static X87Extended FromInt(int64_t n) { return Of(static_cast<long double>(n)); }
  static X87Extended FromUnsigned(uint64_t n) { return Of(static_cast<long double>(n)); }
  static X87Extended FromFields(bool negative, uint16_t exponent, uint64_t significand) {
    unsigned char bytes[sizeof(long double)] = {};
    uint16_t top = static_cast<uint16_t>((negative ? 0x8000u : 0u) | (exponent & 0x7FFFu));
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &top, 2);
    long double value;
    std::memcpy(&value, bytes, sizeof value);
    return Of(value);
  }
  static X87Extended Infinity(bool negative) {
    return Of(negative ? -std::numeric_limits<long double>::infinity()
                       : std::numeric_limits<long double>::infinity());
  }

  bool Negative() const { return (Top() & 0x8000u) != 0; }
  uint16_t Exponent() const { return static_cast<uint16_t>(Top() & 0x7FFFu); }
  uint64_t Significand() const {
    uint64_t significand;
    std::memcpy(&significand, &value_, 8);
    return significand;
  }
  bool IsFinite() const { return Exponent() != 0x7FFF; }
  bool IsNaN() const { return !IsFinite() && (Significand() << 1) != 0; }
  bool IsInfinite() const { return !IsFinite() && Significand() == 0x8000000000000000u; }
  int32_t BinaryExponent() const {
    int32_t field = Exponent() == 0 ? 1 : static_cast<int32_t>(Exponent());
    return field - 16383 - std::countl_zero(Significand());
  }

  friend X87Extended operator+(X87Extended a, X87Extended b) { return Of(a.value_ + b.value_); }
  friend X87Extended operator-(X87Extended a, X87Extended b) { return Of(a.value_ - b.value_); }
  friend X87Extended operator*(X87Extended a, X87Extended b) { return Of(a.value_ * b.value_); }
  friend X87Extended operator/(X87Extended a, X87Extended b) { return Of(a.value_ / b.value_); }
  friend X87Extended operator-(X87Extended a) { return Of(-a.value_); }

  // Quiet compares: a NaN gives false (true for !=) without a fault.
  friend bool operator<(X87Extended a, X87Extended b) {
    return __builtin_isless(a.value_, b.value_);
  }
  friend bool operator>(X87Extended a, X87Extended b) {
    return __builtin_isgreater(a.value_, b.value_);
  }
  friend bool operator<=(X87Extended a, X87Extended b) {
    return __builtin_islessequal(a.value_, b.value_);
  }
  friend bool operator>=(X87Extended a, X87Extended b) {
    return __builtin_isgreaterequal(a.value_, b.value_);
  }
  // The unit's equality compare is the quiet one.
  friend bool operator==(X87Extended a, X87Extended b) { return a.value_ == b.value_; }
  friend bool operator!=(X87Extended a, X87Extended b) { return !(a == b); }

  // Rounded once, nearest even; an overflow traps at the next checkpoint.
  float RoundToFloat() const { return static_cast<float>(value_); }
  double RoundToDouble() const { return static_cast<double>(value_); }
  // Toward zero, resp. nearest even. A NaN or a value out of the int64 range is an
  // invalid operation (the unit's integer indefinite, 0x8000000000000000, meanwhile).
  int64_t TruncateToInt64() const { return static_cast<int64_t>(value_); }
  int64_t RoundToInt64() const {
    int64_t rounded;
    asm("fistpll %0" : "=m"(rounded) : "t"(value_) : "st");
    return rounded;
  }

  // The two steps of the program's arithmetic that run most, each step rounded to 64
  // bits, the result then to float. The point f of the way from `from` to `to`:
  static float Blend(float f, float from, float to) {
    X87Extended weight = X87Extended(1.0) - X87Extended(f);
    return (weight * X87Extended(from) + X87Extended(f) * X87Extended(to)).RoundToFloat();
  }
  // x + d * m:
  static float AddProduct(float x, double d, float m) {
    return (X87Extended(x) + X87Extended(d) * X87Extended(m)).RoundToFloat();
  }

 private:
  static X87Extended Of(long double value) {
    X87Extended x;
    x.value_ = value;
    return x;
  }
  uint16_t Top() const {
    uint16_t top;
    std::memcpy(&top, reinterpret_cast<const unsigned char*>(&value_) + 8, 2);
    return top;
  }

  long double value_;
};

// The x87 unit's and MXCSR's own setting, for a host that runs the program's code
// within its own (the fuzz targets): saved before, restored after, without the sticky
// exception flags.
struct X87State {
  unsigned short control;
  unsigned mxcsr;
};
inline X87State SaveX87State() {
  X87State state;
  asm volatile("fnstcw %0" : "=m"(state.control));
  asm volatile("stmxcsr %0" : "=m"(state.mxcsr));
  return state;
}
inline void RestoreX87State(X87State state) {
  unsigned mxcsr = state.mxcsr & ~0x3Fu;
  asm volatile("fnclex\n\tfldcw %0" : : "m"(state.control));
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
}
// An unmasked x87 exception that no waiting instruction has raised yet.
inline bool X87FaultPending() {
  unsigned short status;
  asm volatile("fnstsw %0" : "=m"(status));
  return (status & 0x80) != 0;
}

// Resets the x87 unit and loads the setting into it and into MXCSR: at start-up, and
// again before a fault is handled.
void LoadArithmeticSetting();

// An unmasked x87 exception is only raised by the next waiting x87 instruction, so a
// fault could surface late or never. This forces it out here.
inline void ArithmeticCheckpoint() { asm volatile("fwait" ::: "memory"); }
