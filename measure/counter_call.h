#pragma once
// The call into the counter library: ReadTicks in "Vantrel.dll".
//
// Contract:
// - The library is bound late, at the first call, by file name and function
//   name, through the declaration record below; the function's address is
//   then kept in the third word of the binding cache and every later call goes
//   straight to it: no search, no lookup, no allocation.
// - The library is looked for beside the program first, then where the system
//   keeps its own libraries; never in the current working directory.
// - A library that cannot be loaded, or holds no "ReadTicks", raises
//   RuntimeError naming the file (and the function where the library loaded).
// - ReadTicks passes the address of an integer set to 0 just before the call,
//   never reads it afterwards, captures the thread's last system error code at
//   once after the call, and returns the reading unchanged.
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define TICKMETER_COUNTER_CALL __stdcall
#else
#define TICKMETER_COUNTER_CALL
#endif

namespace measure {

using ReadTicksFunction = std::int32_t(TICKMETER_COUNTER_CALL*)(std::int32_t* argument);

// A name stored with its length (characters and the ending NUL) just ahead of it.
template <std::uint32_t N>
struct CountedName {
  std::uint32_t length;
  char text[N];
};

// Three words, all 0 at start. The late-binding service owns the first two;
// the third holds the bound function's address once bound.
struct BindingCache {
  std::uintptr_t service_words[2];
  std::uintptr_t function_address;
};

struct DeclarationRecord {
  const char* library_name;
  const char* function_name;
  std::uint16_t reserved;        // 0
  std::uint16_t argument_bytes;  // 4: one 32-bit argument
  BindingCache* cache;
};

extern const CountedName<12> kCounterLibraryName;
extern const CountedName<10> kReadTicksName;
extern const DeclarationRecord kReadTicksDeclaration;

// Loads the declared library, looks the function up, stores its address in
// the record's cache and returns it. Throws RuntimeError on failure.
std::uintptr_t BindDeclaredFunction(const DeclarationRecord& record);

// The call entry that every call of ReadTicks passes through.
std::int32_t CallReadTicks(std::int32_t* argument);

// One counter reading, through the calling sequence above.
std::int32_t ReadTicks();

// The thread's last system error code as captured right after the latest
// ReadTicks. The meter itself never looks at it.
std::uint32_t LastLibraryError();

}  // namespace measure
