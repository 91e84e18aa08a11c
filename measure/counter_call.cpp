#include "counter_call.h"

#include <string>

#include "runtime_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>
#endif

namespace measure {
namespace {

BindingCache read_ticks_cache{};
std::uint32_t last_library_error = 0;

std::string Quoted(const char* name) { return std::string("\"") + name + "\""; }

#ifdef _WIN32

using LibraryHandle = HMODULE;

// The system's text for an error about the file `name`, which the text's
// "%1" stands for (as in "%1 is not a valid Win32 application").
std::string SystemErrorText(DWORD code, const char* name) {
  char text[256] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  if (const auto insert = message.find("%1"); insert != std::string::npos) message.replace(insert, 2, name);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return "system error " + std::to_string(code) + (message.empty() ? "" : ": " + message);
}

// The file name in the program's own folder, or in the system folder.
std::wstring ProgramDirectoryFile(const char* name) {
  wchar_t path[MAX_PATH];
  std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  file.resize(file.find_last_of(L"\\/") + 1);
  return file.append(name, name + std::char_traits<char>::length(name));
}

std::wstring SystemDirectoryFile(const char* name) {
  wchar_t path[MAX_PATH];
  std::wstring file(path, GetSystemDirectoryW(path, MAX_PATH));
  file += L'\\';
  return file.append(name, name + std::char_traits<char>::length(name));
}

// Beside the program, then the system folder; the current directory never.
LibraryHandle LoadLibraryOrThrow(const char* name) {
  HMODULE module =
      LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER) {
    // A system without the search flags: name the two folders outright.
    module = LoadLibraryExW(ProgramDirectoryFile(name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module == nullptr) {
      module = LoadLibraryExW(SystemDirectoryFile(name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
  }
  if (module == nullptr) {
    throw RuntimeError("Cannot load the counter library " + Quoted(name) + " (" +
                       SystemErrorText(GetLastError(), name) + ").");
  }
  return module;
}

std::uintptr_t FunctionAddress(LibraryHandle library, const char* name) {
  return reinterpret_cast<std::uintptr_t>(GetProcAddress(library, name));
}

std::uint32_t CaptureLastSystemError() { return GetLastError(); }

#else

using LibraryHandle = void*;

std::string ProgramDirectoryFile(const char* name) {
  std::error_code unknown;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", unknown);
  return program.empty() ? std::string() : (program.parent_path() / name).string();
}

// Whether an ELF file of this program's class ends before the last of the
// segments that the loader maps from it. The loader maps them without that
// check, and the first touch of a page past the end of the file kills the
// process with SIGBUS. Anything else wrong with the file is the loader's to
// find and report.
bool CutShort(const std::string& file) {
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  const auto size = static_cast<std::uint64_t>(in.tellg());
  ElfW(Ehdr) header{};
  if (!in.seekg(0) || !in.read(reinterpret_cast<char*>(&header), sizeof header)) return false;
  constexpr unsigned char kOwnClass = __ELF_NATIVE_CLASS == 64 ? ELFCLASS64 : ELFCLASS32;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kOwnClass ||
      header.e_phentsize != sizeof(ElfW(Phdr))) {
    return false;
  }
  for (unsigned i = 0; i < header.e_phnum; ++i) {
    ElfW(Phdr) segment{};
    if (!in.seekg(static_cast<std::streamoff>(header.e_phoff + i * sizeof segment)) ||
        !in.read(reinterpret_cast<char*>(&segment), sizeof segment)) {
      return false;
    }
    if (segment.p_type == PT_LOAD && segment.p_offset + segment.p_filesz > size) return true;
  }
  return false;
}

// Beside the program, named outright: a run path of $ORIGIN serves only
// dlopen calls made from the executable itself, not those that pass through a
// wrapper such as a sanitizer's. A file found there is the one loaded or
// reported. Otherwise the bare name, which the loader looks for in the
// system's library folders and never in the current directory.
LibraryHandle LoadLibraryOrThrow(const char* name) {
  const std::string beside = ProgramDirectoryFile(name);
  const bool found_beside = !beside.empty() && access(beside.c_str(), F_OK) == 0;
  if (found_beside && CutShort(beside)) {
    throw RuntimeError("Cannot load the counter library " + Quoted(name) + " (" + beside +
                       ": the file is cut short).");
  }
  void* library = dlopen(found_beside ? beside.c_str() : name, RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    throw RuntimeError("Cannot load the counter library " + Quoted(name) + " (" +
                       (reason ? reason : "unknown reason") + ").");
  }
  return library;
}

std::uintptr_t FunctionAddress(LibraryHandle library, const char* name) {
  return reinterpret_cast<std::uintptr_t>(dlsym(library, name));
}

std::uint32_t CaptureLastSystemError() { return static_cast<std::uint32_t>(errno); }

#endif

}  // namespace

constinit const CountedName<12> kCounterLibraryName{12, "Vantrel.dll"};
constinit const CountedName<10> kReadTicksName{10, "ReadTicks"};
constinit const DeclarationRecord kReadTicksDeclaration{
    kCounterLibraryName.text, kReadTicksName.text, 0, 4, &read_ticks_cache};

std::uintptr_t BindDeclaredFunction(const DeclarationRecord& record) {
  // The library stays loaded for the rest of the run.
  const LibraryHandle library = LoadLibraryOrThrow(record.library_name);
  record.cache->service_words[0] = reinterpret_cast<std::uintptr_t>(library);
  const std::uintptr_t address = FunctionAddress(library, record.function_name);
  if (address == 0) {
    throw RuntimeError("The counter library " + Quoted(record.library_name) +
                       " has no function " + Quoted(record.function_name) + ".");
  }
  record.cache->function_address = address;
  return address;
}

std::int32_t CallReadTicks(std::int32_t* argument) {
  std::uintptr_t address = read_ticks_cache.function_address;
  if (address == 0) address = BindDeclaredFunction(kReadTicksDeclaration);
  return reinterpret_cast<ReadTicksFunction>(address)(argument);
}

std::int32_t ReadTicks() {
  std::int32_t argument = 0;
  const std::int32_t reading = CallReadTicks(&argument);
  last_library_error = CaptureLastSystemError();
  return reading;
}

std::uint32_t LastLibraryError() { return last_library_error; }

}  // namespace measure
