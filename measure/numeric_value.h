#pragma once
// A small dynamically typed number: empty, a signed 16-bit integer, a signed
// 32-bit integer or an IEEE 754 double, carrying its kind with it.
//
// Contract:
// - Kinds rank Int16 < Int32 < Double.
// - Addition and subtraction: an empty operand counts as 0 and the result takes
//   the other operand's kind (two empties give a 16-bit 0). Otherwise the exact
//   result is formed in the higher kind of the two; a 16-bit result outside
//   -32768..32767 becomes 32-bit, a 32-bit result outside the 32-bit range
//   becomes a double holding the exact value. Nothing wraps, nothing fails.
// - Division takes both operands as doubles and gives a double.
// - FloorValue turns a double into the greatest whole number not above it,
//   still a double; integers are already whole and stay as they are.
// - Comparison with zero is by value, whatever the kind (empty is 0).
// - Text: integers as decimal digits; a double in decimal notation without
//   an exponent (the fewest digits that read back as the same double), so a
//   whole double reads as its bare digits, like an integer.
#include <cstdint>
#include <string>
#include <variant>

namespace measure {

enum class NumericKind { Empty, Int16, Int32, Double };

class NumericValue {
 public:
  NumericValue() = default;
  explicit NumericValue(std::int16_t v) : value_(v) {}
  explicit NumericValue(std::int32_t v) : value_(v) {}
  explicit NumericValue(double v) : value_(v) {}

  NumericKind kind() const { return static_cast<NumericKind>(value_.index()); }
  bool empty() const { return kind() == NumericKind::Empty; }
  double AsDouble() const;

  friend NumericValue operator+(const NumericValue& a, const NumericValue& b);
  friend NumericValue operator-(const NumericValue& a, const NumericValue& b);
  friend NumericValue operator/(const NumericValue& a, const NumericValue& b);

  // Same kind and same value.
  friend bool operator==(const NumericValue& a, const NumericValue& b) = default;

  bool IsAboveZero() const { return AsDouble() > 0; }
  bool IsBelowZero() const { return AsDouble() < 0; }

  std::string ToText() const;

 private:
  std::variant<std::monostate, std::int16_t, std::int32_t, double> value_;
};

NumericValue FloorValue(const NumericValue& v);

}  // namespace measure
