#pragma once
// How a counter library exports ReadTicks: by its plain name, and on 32-bit
// Windows with the stdcall convention (undecorated through --kill-at).
#include <cstdint>

#ifdef _WIN32
#define VANTREL_EXPORT extern "C" __declspec(dllexport)
#else
#define VANTREL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#if defined(_WIN32) && !defined(_WIN64)
#define VANTREL_CALL __stdcall
#else
#define VANTREL_CALL
#endif
