// The calling interface of the foreign-GUI import library (Farsight32),
// shared by the importer and the tests' stand-in library.
//
// Size protocol of both text entry points: called with (no buffer, 0) they
// return the size of the text in bytes; called with a buffer of exactly
// that size they fill it and return the same size. The UTF-16 entry point
// gives UTF-16 code units (two bytes each), the 8-bit one bytes that may
// end early with a zero byte.
#pragma once

#if defined(_WIN32) && !defined(_WIN64)
#define FARSIGHT_CALL __stdcall
#else
#define FARSIGHT_CALL
#endif

namespace farsight
{

using GetImportStringA = int(FARSIGHT_CALL *)(char *buffer, int size);
using GetImportStringW = int(FARSIGHT_CALL *)(char16_t *buffer, int size);
using GetVersion = unsigned(FARSIGHT_CALL *)();

constexpr const char *ENTRY_STRING_A = "getImportStringA";
constexpr const char *ENTRY_STRING_W = "getImportStringW";
constexpr const char *ENTRY_VERSION = "getVersion";

// Versions below this one speak an older protocol.
constexpr unsigned MIN_VERSION = 0x70000;

} // namespace farsight
