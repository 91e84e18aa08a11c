#include "numeric_value.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

namespace measure {
namespace {

using K = NumericKind;

NumericValue I16(std::int16_t v) { return NumericValue(v); }
NumericValue I32(std::int32_t v) { return NumericValue(v); }
NumericValue D(double v) { return NumericValue(v); }

constexpr std::int16_t kI16Max = std::numeric_limits<std::int16_t>::max();
constexpr std::int16_t kI16Min = std::numeric_limits<std::int16_t>::min();
constexpr std::int32_t kI32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kI32Min = std::numeric_limits<std::int32_t>::min();

struct ArithmeticCase {
  const char* name;
  NumericValue a;
  char op;
  NumericValue b;
  NumericValue expected;  // kind and value
};

TEST(NumericValueTest, AdditionAndSubtractionWidenAtEveryKindBoundary) {
  const ArithmeticCase cases[] = {
      {"empty+empty is a 16-bit zero", {}, '+', {}, I16(0)},
      {"empty+16 takes 16", {}, '+', I16(1), I16(1)},
      {"32+empty takes 32", I32(7), '+', {}, I32(7)},
      {"empty-32 takes 32", {}, '-', I32(5), I32(-5)},
      {"empty-double takes double", {}, '-', D(2.5), D(-2.5)},
      {"empty-(-32768) leaves 16 bits", {}, '-', I16(kI16Min), I32(32768)},
      {"16+16 stays 16 at the top", I16(32766), '+', I16(1), I16(kI16Max)},
      {"16+16 widens to 32 past the top", I16(kI16Max), '+', I16(1), I32(32768)},
      {"16-16 widens to 32 past the bottom", I16(kI16Min), '-', I16(1), I32(-32769)},
      {"16+32 is 32 even when small", I16(1), '+', I32(1), I32(2)},
      {"32+32 stays 32 at the top", I32(kI32Max - 1), '+', I32(1), I32(kI32Max)},
      {"32+16 widens to double past the top", I32(kI32Max), '+', I16(1), D(2147483648.0)},
      {"32-32 widens to double past the bottom", I32(kI32Min), '-', I32(1), D(-2147483649.0)},
      {"full 32-bit span is exact", I32(kI32Max), '-', I32(kI32Min), D(4294967295.0)},
      {"32-32 back into range is 32 again", I32(kI32Max), '-', I32(kI32Max), I32(0)},
      {"double+16 is double", D(0.5), '+', I16(1), D(1.5)},
      {"double+32 is double", D(4294967295.0), '+', I32(1), D(4294967296.0)},
      {"double result small stays double", D(3.0), '-', D(3.0), D(0.0)},
  };
  for (const ArithmeticCase& c : cases) {
    SCOPED_TRACE(c.name);
    const NumericValue result = c.op == '+' ? c.a + c.b : c.a - c.b;
    EXPECT_EQ(result.kind(), c.expected.kind());
    EXPECT_EQ(result.AsDouble(), c.expected.AsDouble());
  }
}

TEST(NumericValueTest, DivisionFloorAndComparisonWithZero) {
  const NumericValue quotient = I32(3001) / I16(3);
  EXPECT_EQ(quotient.kind(), K::Double);
  EXPECT_EQ(FloorValue(quotient), D(1000.0));
  EXPECT_EQ(FloorValue(D(-0.5)), D(-1.0));
  EXPECT_EQ(FloorValue(I32(-7)), I32(-7));
  EXPECT_EQ(FloorValue(D(4294967295.0) / I16(1)), D(4294967295.0));

  struct SignCase {
    NumericValue value;
    bool above;
    bool below;
  };
  const SignCase signs[] = {
      {{}, false, false},       {I16(0), false, false}, {I16(1), true, false},
      {I16(-1), false, true},   {I32(kI32Min), false, true},
      {D(0.25), true, false},   {D(-2147483649.0), false, true},
  };
  for (const SignCase& s : signs) {
    SCOPED_TRACE(s.value.AsDouble());
    EXPECT_EQ(s.value.IsAboveZero(), s.above);
    EXPECT_EQ(s.value.IsBelowZero(), s.below);
  }
}

TEST(NumericValueTest, TextIsBareDigitsWhicheverKindHoldsAWholeNumber) {
  const std::pair<NumericValue, std::string> cases[] = {
      {{}, ""},
      {I16(1), "1"},
      {I16(kI16Max), "32767"},
      {I32(32768), "32768"},
      {I32(kI32Max), "2147483647"},
      {I32(-5), "-5"},
      {D(2147483648.0), "2147483648"},
      {D(4294967295.0), "4294967295"},
      {D(1000.0), "1000"},
      {D(999999999999999.0), "999999999999999"},
      {D(9007199254740992.0), "9007199254740992"},
      // Round figures, which a shortest form would give an exponent.
      {D(100000.0), "100000"},
      {D(2000000000.0), "2000000000"},
      {D(1e15), "1000000000000000"},
      {D(1152921504606846976.0), "1152921504606846976"},
      {D(0.5), "0.5"},
  };
  for (const auto& [value, text] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(value.ToText(), text);
  }
}

// The same rules, seen from each operand kind.
template <typename T>
class NumericKindTest : public testing::Test {};
using OperandKinds = testing::Types<std::int16_t, std::int32_t, double>;
TYPED_TEST_SUITE(NumericKindTest, OperandKinds);

TYPED_TEST(NumericKindTest, EmptyCountsAsZeroAndYieldsTheOtherKind) {
  const NumericValue x(static_cast<TypeParam>(123));
  EXPECT_EQ(NumericValue() + x, x);
  EXPECT_EQ(x + NumericValue(), x);
  EXPECT_EQ(x - NumericValue(), x);
  EXPECT_EQ((x - x).kind(), x.kind());
  EXPECT_EQ((x - x).AsDouble(), 0.0);
  EXPECT_EQ(x.ToText(), "123");
}

// Reference: the exact result in 64 bits, with the kind tracked beside it.
struct Reference {
  K kind;
  std::int64_t value;
};

Reference ReferenceResult(const Reference& a, const Reference& b, bool add) {
  K kind = a.kind == K::Empty ? b.kind : b.kind == K::Empty ? a.kind : std::max(a.kind, b.kind);
  if (kind == K::Empty) kind = K::Int16;
  const std::int64_t exact = add ? a.value + b.value : a.value - b.value;
  if (kind == K::Int16 && (exact < kI16Min || exact > kI16Max)) kind = K::Int32;
  if (kind == K::Int32 && (exact < kI32Min || exact > kI32Max)) kind = K::Double;
  return {kind, exact};
}

TEST(NumericValueTest, RandomSumsAndDifferencesMatchAnExactReference) {
  std::mt19937 random(20261211);
  auto pick = [&](Reference& ref) -> NumericValue {
    switch (random() % 4) {
      case 0:
        ref = {K::Empty, 0};
        return {};
      case 1: {
        const auto v = static_cast<std::int16_t>(random());
        ref = {K::Int16, v};
        return NumericValue(v);
      }
      case 2: {
        const auto v = static_cast<std::int32_t>(random());
        ref = {K::Int32, v};
        return NumericValue(v);
      }
      default: {
        // Whole doubles up to 2^40, so every result stays exact.
        const auto v = static_cast<std::int64_t>(random() % (1u << 31)) * 512 - (std::int64_t{1} << 39);
        ref = {K::Double, v};
        return NumericValue(static_cast<double>(v));
      }
    }
  };
  for (int i = 0; i < 100000; ++i) {
    Reference ra{}, rb{};
    const NumericValue a = pick(ra);
    const NumericValue b = pick(rb);
    const bool add = random() % 2 == 0;
    const NumericValue got = add ? a + b : a - b;
    const Reference want = ReferenceResult(ra, rb, add);
    ASSERT_EQ(got.kind(), want.kind) << ra.value << (add ? " + " : " - ") << rb.value;
    ASSERT_EQ(got.AsDouble(), static_cast<double>(want.value)) << ra.value << (add ? " + " : " - ") << rb.value;
  }
}

}  // namespace
}  // namespace measure
