// libFuzzer target: hostile OSC input. The first byte picks the decoder (even)
// or the pattern matcher (odd); for the matcher the rest is split at its
// first NUL into pattern and address.
#include "net/oscpacket.h"
#include "net/oscpattern.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // An exact-size copy so reads past the input are caught.
    const std::vector<char> rest(data + 1, data + size);
    const int n = int(rest.size());
    if ((data[0] & 1) == 0) {
        int messages = 0;
        oscpacket::decode(
            rest.data(), n,
            [&messages](const oscpacket::Message &m) {
                if (m.address.isEmpty() || m.address[0] != '/')
                    __builtin_trap();
                ++messages;
            },
            nullptr);
        return 0;
    }
    const void *nul = std::memchr(rest.data(), 0, rest.size());
    const int split = nul ? int(static_cast<const char *>(nul) - rest.data()) : n;
    const QByteArrayView pattern(rest.data(), split);
    const QByteArrayView address(rest.data() + std::min(split + 1, n), n - std::min(split + 1, n));
    const oscpattern::Pattern compiled(pattern);
    const auto r = compiled.match(address, 1 + (data[0] >> 1) * 100);
    if ((r == oscpattern::MatchResult::Malformed) == oscpattern::isValidPattern(pattern) ||
        compiled.isValid() != oscpattern::isValidPattern(pattern))
        __builtin_trap();
    if (r != oscpattern::MatchResult::TooManySteps && oscpattern::isLiteral(pattern) &&
        oscpattern::isValidPattern(pattern) &&
        (r == oscpattern::MatchResult::Match) != (pattern == address))
        __builtin_trap();
    return 0;
}
