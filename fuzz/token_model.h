#pragma once
// Independent models of the input rules, written from the rules and not from the program's
// code, for the fuzz targets to compare the program against.
//
//   ReferenceInteger("-$10")  -> {true, -16}       ReferenceInteger("2147483648") -> {false}
//   ReferenceReal("-.e2")     -> valid, negative, every digit zero
//   Classify(ReferenceReal("1e4933")) -> kOverflow

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace model {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

struct IntegerReference {
  bool ok = false;
  int32_t value = 0;
};

// Blanks, one sign, then a hexadecimal form ("$", "x", "X", "0x", "0X" and at most 8
// significant hex digits, taken as 32-bit two's complement) or a decimal form (digits whose
// signed value lies in -2^31 .. 2^31 - 1).
inline IntegerReference ReferenceInteger(std::string_view token) {
  size_t at = 0;
  while (at < token.size() && token[at] == ' ') ++at;
  bool negative = false;
  if (at < token.size() && (token[at] == '+' || token[at] == '-')) negative = token[at++] == '-';
  std::string_view rest = token.substr(at);
  bool hex = false;
  if (!rest.empty() && (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X')) {
    hex = true;
    rest.remove_prefix(1);
  } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
    hex = true;
    rest.remove_prefix(2);
  }
  if (rest.empty()) return {};
  for (char c : rest)
    if (hex ? HexValue(c) < 0 : !IsDigit(c)) return {};
  size_t first = rest.find_first_not_of('0');
  std::string_view significant =
      first == std::string_view::npos ? std::string_view{} : rest.substr(first);
  if (significant.size() > (hex ? 8u : 10u)) return {};
  int64_t magnitude = 0;
  for (char c : significant)
    magnitude = magnitude * (hex ? 16 : 10) + (hex ? HexValue(c) : c - '0');
  if (hex) {
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    return {true, static_cast<int32_t>(bits)};
  }
  int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return {};
  return {true, static_cast<int32_t>(value)};
}

struct RealReference {
  enum Validity { kInvalid, kValid, kEmpty };
  Validity validity = kInvalid;
  bool negative = false;
  std::string significant;  // mantissa digits without leading zeros; empty for zero
  int64_t scale = 0;        // value = significant * 10^scale (exponent - fraction digits)
};

// Blanks, one sign that must be followed by something, digits, an optional "." with digits,
// an optional exponent letter with a sign and at least one digit, and nothing else.
inline RealReference ReferenceReal(std::string_view token) {
  RealReference r;
  size_t at = 0;
  while (at < token.size() && token[at] == ' ') ++at;
  if (at == token.size()) {
    r.validity = RealReference::kEmpty;  // no token at all: the reader never makes one
    return r;
  }
  if (token[at] == '+' || token[at] == '-') {
    r.negative = token[at++] == '-';
    if (at == token.size()) return r;
  }
  std::string mantissa;
  int64_t fractionDigits = 0;
  while (at < token.size() && IsDigit(token[at])) mantissa += token[at++];
  if (at < token.size() && token[at] == '.') {
    ++at;
    while (at < token.size() && IsDigit(token[at])) {
      mantissa += token[at++];
      ++fractionDigits;
    }
  }
  int64_t exponent = 0;
  if (at < token.size() && (token[at] == 'e' || token[at] == 'E')) {
    ++at;
    bool minus = false;
    if (at < token.size() && (token[at] == '+' || token[at] == '-')) minus = token[at++] == '-';
    if (at == token.size() || !IsDigit(token[at])) return r;
    // Beyond a billion the value is decided (the overflow trap or zero) whatever follows.
    while (at < token.size() && IsDigit(token[at])) {
      exponent = exponent * 10 + (token[at++] - '0');
      if (exponent > 1000000000) exponent = 1000000000;
    }
    if (minus) exponent = -exponent;
  }
  if (at != token.size()) return r;
  r.validity = RealReference::kValid;
  size_t first = mantissa.find_first_not_of('0');
  if (first != std::string::npos) r.significant = mantissa.substr(first);
  r.scale = exponent - fractionDigits;
  return r;
}

// What an extended-precision reading of a valid real must give.
enum class RealClass {
  kZero,              // a signed zero
  kFinite,            // finite and not zero
  kZeroOrDenormal,    // about the smallest denormal: either
  kOverflow,          // beyond the extended range: the overflow trap
  kFiniteOrOverflow,  // about the largest extended value: either
};

// floor(log10 |value|) of a non-zero valid real.
inline int64_t DecimalMagnitude(const RealReference& r) {
  return static_cast<int64_t>(r.significant.size()) - 1 + r.scale;
}

// The extended range: largest about 1.19e4932, smallest denormal about 3.6e-4951.
// Zero digits give zero whatever the exponent; any other value beyond the range traps,
// also where the scale alone reaches 5120.
inline RealClass Classify(const RealReference& r) {
  if (r.scale <= -5120 || r.significant.empty()) return RealClass::kZero;
  int64_t magnitude = DecimalMagnitude(r);
  if (magnitude >= 4933) return RealClass::kOverflow;
  if (magnitude == 4932) return RealClass::kFiniteOrOverflow;
  if (magnitude <= -4952) return RealClass::kZero;
  if (magnitude == -4951) return RealClass::kZeroOrDenormal;
  return RealClass::kFinite;
}

// Stored into a float: beyond about 3.4028235e38 the store traps.
enum class FloatStore { kFits, kOverflow, kEither };
inline FloatStore ClassifyFloatStore(const RealReference& r) {
  RealClass c = Classify(r);
  if (c == RealClass::kZero || c == RealClass::kZeroOrDenormal) return FloatStore::kFits;
  if (c == RealClass::kOverflow) return FloatStore::kOverflow;
  int64_t magnitude = DecimalMagnitude(r);
  if (magnitude >= 39) return FloatStore::kOverflow;
  if (magnitude == 38) return FloatStore::kEither;
  return FloatStore::kFits;
}

// The token rules of the reader over a byte stream: a byte 0x1A ends the input, bytes up
// to 0x20 separate tokens, and a line ends after LF. A token is read whole, whatever its
// length; one longer than the reader's area is invalid (TooLong).
class Stream {
 public:
  explicit Stream(std::string_view bytes) : data_(bytes.substr(0, bytes.find('\x1A'))) {}

  // The next token, or nothing at the end of the input (skipping the separators).
  std::optional<std::string_view> NextToken() {
    while (at_ < data_.size() && static_cast<unsigned char>(data_[at_]) <= 0x20) ++at_;
    if (at_ == data_.size()) return std::nullopt;
    size_t start = at_;
    while (at_ < data_.size() && static_cast<unsigned char>(data_[at_]) > 0x20) ++at_;
    return data_.substr(start, at_ - start);
  }

  void SkipLine() {
    while (at_ < data_.size())
      if (data_[at_++] == '\n') return;
  }

  size_t consumed() const { return at_; }
  size_t size() const { return data_.size(); }

 private:
  std::string_view data_;
  size_t at_ = 0;
};

// The reader's areas: 32 bytes for an integer, 64 for a real.
inline constexpr size_t kIntegerArea = 32;
inline constexpr size_t kRealArea = 64;
inline bool TooLong(std::string_view token, size_t area) { return token.size() > area; }

inline uint64_t Hash(const uint8_t* data, size_t size) {  // FNV-1a
  uint64_t h = 0xCBF29CE484222325u;
  for (size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3u;
  return h;
}

}  // namespace model
