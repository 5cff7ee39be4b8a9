// libFuzzer target: hostile input for the web remote. The first byte picks
// the HTTP request reader (even; the rest is fed in pieces as long as the
// byte says) or the client message decoder (odd).
#include "remote/remotehttp.h"
#include "remote/remotemessage.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // An exact-size copy so reads past the input are caught.
    const std::vector<char> rest(data + 1, data + size);
    const QByteArrayView bytes(rest.data(), qsizetype(rest.size()));
    if ((data[0] & 1) == 0) {
        remotehttp::RequestReader reader;
        const qsizetype piece = 1 + (data[0] >> 1);
        auto state = remotehttp::RequestReader::Incomplete;
        for (qsizetype at = 0; at < bytes.size(); at += piece)
            state = reader.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
        if (state == remotehttp::RequestReader::Complete) {
            const remotehttp::Request &r = reader.request();
            // A served path is never one that leaves the list.
            if (r.body.size() > remotehttp::MAX_BODY || r.path.split('/').contains("..") ||
                r.path.contains('\\') || r.path.contains('\0'))
                __builtin_trap();
            if (remotehttp::route(r) != remotehttp::Route::NotFound &&
                remotehttp::route(r) != remotehttp::Route::MethodNotAllowed && r.path.size() > 11)
                __builtin_trap();
            remotehttp::sessionCookie(r);
            remotehttp::isSameOrigin(r);
            remotehttp::isWebSocketUpgrade(r);
        } else if (state == remotehttp::RequestReader::Refused && reader.status() < 400) {
            __builtin_trap();
        }
        return 0;
    }
    remotemessage::Refusal why;
    const auto move = remotemessage::decode(bytes, &why);
    if (move && (move->id == 0 || move->value < remotemessage::MIN_VALUE ||
                 move->value > remotemessage::MAX_VALUE))
        __builtin_trap();
    return 0;
}
