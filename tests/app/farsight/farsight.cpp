// A stand-in for the import library, built with the tests. What it does is
// chosen at run time by FARSIGHT_TEST_MODE:
//   (unset), document   the document: the file FARSIGHT_TEST_FILE names
//                       (UTF-8), or a small built-in one
//   empty               size 0
//   negative            size -4
//   odd                 an odd size (UTF-16 only)
//   huge                one byte above 64 MB
//   wrongsize           the fill call returns one byte less than announced
//   oldversion          version 0x6FFFF
// Built three times: with both text entry points, with only the 8-bit one
// (FARSIGHT_ONLY_A) and with none (FARSIGHT_NO_TEXT).
#include "dialogs/importlibrary.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#if defined(_WIN32)
#define FARSIGHT_EXPORT extern "C" __declspec(dllexport)
#else
#define FARSIGHT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace
{

[[maybe_unused]] std::string mode()
{
    const char *value = std::getenv("FARSIGHT_TEST_MODE");
    return value ? value : "document";
}

// The document as UTF-8.
[[maybe_unused]] std::string document()
{
    if (const char *path = std::getenv("FARSIGHT_TEST_FILE")) {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    return "<!DOCTYPE Pultora>\n<PultoraConfig version=\"1\">\n"
           " <control version=\"1\" name=\"Пульт\"/>\n"
           " <control version=\"1\" name=\"Café\"/>\n"
           "</PultoraConfig>\n";
}

// UTF-8 to UTF-16 for the documents above (no checks: test data).
[[maybe_unused]] std::u16string utf16(const std::string &in)
{
    std::u16string out;
    for (size_t i = 0; i < in.size();) {
        const auto c = static_cast<unsigned char>(in[i]);
        char32_t cp;
        int n;
        if (c < 0x80) {
            cp = c;
            n = 1;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            n = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            n = 3;
        } else {
            cp = c & 0x07;
            n = 4;
        }
        for (int k = 1; k < n && i + k < in.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

// The size protocol over `bytes`, bent by the mode.
[[maybe_unused]] int answer(void *buffer, int size, const void *bytes, int length)
{
    const std::string m = mode();
    int announced = length;
    if (m == "empty")
        announced = 0;
    else if (m == "negative")
        announced = -4;
    else if (m == "odd")
        announced = length + 1;
    else if (m == "huge")
        announced = 64 * 1024 * 1024 + 1;
    if (!buffer)
        return announced;
    if (size < length)
        return -1;
    std::memcpy(buffer, bytes, size_t(length));
    return m == "wrongsize" ? size - 1 : size;
}

} // namespace

FARSIGHT_EXPORT unsigned FARSIGHT_CALL getVersion()
{
    return mode() == "oldversion" ? 0x6FFFFu : farsight::MIN_VERSION;
}

#if !defined(FARSIGHT_NO_TEXT)
FARSIGHT_EXPORT int FARSIGHT_CALL getImportStringA(char *buffer, int size)
{
    const std::string text = document();
    return answer(buffer, size, text.data(), int(text.size()));
}
#endif

#if !defined(FARSIGHT_NO_TEXT) && !defined(FARSIGHT_ONLY_A)
FARSIGHT_EXPORT int FARSIGHT_CALL getImportStringW(char16_t *buffer, int size)
{
    const std::u16string text = utf16(document());
    return answer(buffer, size, text.data(), int(text.size() * 2));
}
#endif
