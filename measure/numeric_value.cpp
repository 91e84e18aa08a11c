#include "numeric_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace measure {
namespace {

template <typename T>
bool Fits(std::int64_t v) {
  return v >= std::numeric_limits<T>::min() && v <= std::numeric_limits<T>::max();
}

// An exact integer result in the given kind, widened as far as it must go.
NumericValue Widened(std::int64_t exact, NumericKind kind) {
  if (kind == NumericKind::Int16 && Fits<std::int16_t>(exact)) {
    return NumericValue(static_cast<std::int16_t>(exact));
  }
  if (Fits<std::int32_t>(exact)) {
    return NumericValue(static_cast<std::int32_t>(exact));
  }
  // Two 32-bit operands give at most 33 bits: a double holds it exactly.
  return NumericValue(static_cast<double>(exact));
}

std::int64_t AsInteger(const NumericValue& v) { return static_cast<std::int64_t>(v.AsDouble()); }

template <typename IntegerOp, typename DoubleOp>
NumericValue Combine(const NumericValue& a, const NumericValue& b, IntegerOp integer_op,
                     DoubleOp double_op) {
  if (a.empty() && b.empty()) return Widened(0, NumericKind::Int16);
  // An empty operand counts as 0 and the result takes the other one's kind.
  const NumericKind kind =
      a.empty() ? b.kind() : b.empty() ? a.kind() : std::max(a.kind(), b.kind());
  if (kind == NumericKind::Double) return NumericValue(double_op(a.AsDouble(), b.AsDouble()));
  return Widened(integer_op(AsInteger(a), AsInteger(b)), kind);
}

}  // namespace

double NumericValue::AsDouble() const {
  return std::visit(
      [](auto v) -> double {
        if constexpr (std::is_same_v<decltype(v), std::monostate>) {
          return 0.0;
        } else {
          return static_cast<double>(v);
        }
      },
      value_);
}

NumericValue operator+(const NumericValue& a, const NumericValue& b) {
  return Combine(a, b, std::plus<std::int64_t>(), std::plus<double>());
}

NumericValue operator-(const NumericValue& a, const NumericValue& b) {
  return Combine(a, b, std::minus<std::int64_t>(), std::minus<double>());
}

NumericValue operator/(const NumericValue& a, const NumericValue& b) {
  return NumericValue(a.AsDouble() / b.AsDouble());
}

NumericValue FloorValue(const NumericValue& v) {
  return v.kind() == NumericKind::Double ? NumericValue(std::floor(v.AsDouble())) : v;
}

std::string NumericValue::ToText() const {
  // Any value fits: the longest text, the smallest subnormal double negated
  // in fixed notation, has 327 characters.
  char buffer[330];
  const auto result = std::visit(
      [&](auto v) -> std::to_chars_result {
        if constexpr (std::is_same_v<decltype(v), std::monostate>) {
          return {buffer, std::errc()};
        } else if constexpr (std::is_same_v<decltype(v), double>) {
          // Fixed notation: the shortest form would write 100000 as "1e+05".
          return std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
        } else {
          return std::to_chars(buffer, buffer + sizeof buffer, v);
        }
      },
      value_);
  return std::string(buffer, result.ptr);
}

}  // namespace measure
