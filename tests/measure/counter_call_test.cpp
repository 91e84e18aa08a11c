// The counter call through the real binding. Binding happens once per process,
// so each suite runs in its own process, with its own counter library beside
// the test program (see tests/CMakeLists.txt).
#include "counter_call.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime_error.h"

namespace measure {
namespace {

std::string BindingError() {
  try {
    ReadTicks();
  } catch (const RuntimeError& error) {
    return error.what();
  }
  return "no error";
}

// Whether the binding failed because no file was found at all.
bool SaysNotFound(const std::string& error) {
  return error.find("No such file") != std::string::npos || error.find("system error 126") != std::string::npos;
}

TEST(DeclarationRecord, HoldsCountedNamesAndAnEmptyCache) {
  EXPECT_EQ(kCounterLibraryName.length, 12u);
  EXPECT_STREQ(kCounterLibraryName.text, "Vantrel.dll");
  EXPECT_EQ(kReadTicksName.length, 10u);
  EXPECT_STREQ(kReadTicksName.text, "ReadTicks");
  EXPECT_EQ(std::strlen(kCounterLibraryName.text) + 1, kCounterLibraryName.length);

  const DeclarationRecord& record = kReadTicksDeclaration;
  EXPECT_EQ(record.library_name, kCounterLibraryName.text);
  EXPECT_EQ(record.function_name, kReadTicksName.text);
  EXPECT_EQ(record.reserved, 0);
  EXPECT_EQ(record.argument_bytes, 4);
  EXPECT_EQ(record.cache->function_address, 0u) << "nothing is bound before the first call";
#if defined(_WIN32) && !defined(_WIN64)
  static_assert(sizeof(DeclarationRecord) == 16, "four 32-bit fields");
  static_assert(sizeof(BindingCache) == 12, "three 32-bit words");
#endif
}

// Our own Vantrel.dll beside the program.
TEST(RealCounter, BindsOnceAndEveryLaterCallGoesToTheBoundAddress) {
  const std::int32_t first = ReadTicks();
  const std::uintptr_t bound = kReadTicksDeclaration.cache->function_address;
  ASSERT_NE(bound, 0u);
  std::int32_t previous = first;
  for (int i = 0; i < 1000; ++i) {
    const std::int32_t reading = ReadTicks();
    EXPECT_EQ(kReadTicksDeclaration.cache->function_address, bound);
    EXPECT_GE(reading, 0);
    // Rising, or started again from 0 after 2147483647.
    EXPECT_TRUE(reading >= previous || previous - reading > 1000000000) << previous << " then " << reading;
    previous = reading;
  }
}

// A library that scribbles over its argument and sets the last error.
TEST(Scribbler, ArgumentIsZeroOnEveryCallAndLastErrorIsCaptured) {
  // The library returns -1 whenever the argument did not hold 0 on entry.
  EXPECT_EQ(ReadTicks(), 1000);
  EXPECT_EQ(LastLibraryError(), 4711u);
  EXPECT_EQ(ReadTicks(), 2000);
  EXPECT_EQ(ReadTicks(), 3000);
  EXPECT_EQ(LastLibraryError(), 4711u);
}

// A library that plays back VANTREL_SCRIPT: every value is a reading, handed on unchanged.
TEST(Scripted, EveryReadingIsHandedOnUnchanged) {
  for (std::int32_t expected : {0, -1, 2147483647, -2147483647 - 1, 1000, 0}) {
    EXPECT_EQ(ReadTicks(), expected);
  }
}

TEST(MissingLibrary, RaisesNamingTheFile) {
  const std::string error = BindingError();
  EXPECT_NE(error.find("\"Vantrel.dll\""), std::string::npos) << error;
  EXPECT_TRUE(SaysNotFound(error)) << error;
  EXPECT_EQ(kReadTicksDeclaration.cache->function_address, 0u);
}

// A Vantrel.dll beside the program that the loader refuses: built for the
// other architecture, empty, or cut short. The file is found, refused and
// named; the process lives on to report it.
TEST(UnloadableLibrary, RaisesNamingTheFile) {
  const std::string error = BindingError();
  EXPECT_NE(error.find("\"Vantrel.dll\""), std::string::npos) << error;
  EXPECT_FALSE(SaysNotFound(error)) << error;
  EXPECT_EQ(error.find("%1"), std::string::npos) << "the system's text names the file: " << error;
  EXPECT_EQ(error.find("\"ReadTicks\""), std::string::npos) << "the library failed, not the lookup: " << error;
  EXPECT_EQ(kReadTicksDeclaration.cache->function_address, 0u);
}

TEST(NoReadTicks, RaisesNamingTheFileAndTheFunction) {
  const std::string error = BindingError();
  EXPECT_NE(error.find("\"Vantrel.dll\""), std::string::npos) << error;
  EXPECT_NE(error.find("\"ReadTicks\""), std::string::npos) << error;
  EXPECT_EQ(kReadTicksDeclaration.cache->function_address, 0u);
}

}  // namespace
}  // namespace measure
