// The web remote's HTTP/1.1: an incremental request reader, the map from a
// request to what is served, and a response writer. Only what the remote
// page needs: GET and POST, small bodies with a Content-Length, no chunked
// bodies, no keep-alive (every answer closes the connection).
//
// Promises:
// - RequestReader never holds more than MAX_HEAD bytes of request line and
//   headers plus MAX_BODY bytes of body: a request line longer than MAX_HEAD
//   is refused with 414, a head longer than MAX_HEAD (the blank line that
//   ends it included) with 431, a body over MAX_BODY with 413.
// - The verdict does not depend on how the bytes are split over feed() calls.
// - A path is percent-decoded exactly once; a `..` or `.` segment, a
//   backslash, NUL or any control character, an encoded '/' or a broken
//   escape makes it unservable, and only the paths listed in route() are
//   served at all: there is no file system behind it.
// - Every response carries the security headers (no-store, nosniff, the
//   content security policy, no referrer) and `Connection: close`.
// - Pure: no sockets, no clock, no state but the reader's.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>

namespace remotehttp
{

// Request line and headers, up to and including the blank line.
constexpr int MAX_HEAD = 8192;
// A body (a PIN) is never longer than this.
constexpr int MAX_BODY = 64;

constexpr int STATUS_OK = 200;
constexpr int STATUS_NO_CONTENT = 204;
constexpr int STATUS_BAD_REQUEST = 400;
constexpr int STATUS_FORBIDDEN = 403;
constexpr int STATUS_NOT_FOUND = 404;
constexpr int STATUS_METHOD_NOT_ALLOWED = 405;
constexpr int STATUS_LENGTH_REQUIRED = 411;
constexpr int STATUS_PAYLOAD_TOO_LARGE = 413;
constexpr int STATUS_URI_TOO_LONG = 414;
constexpr int STATUS_TOO_MANY_REQUESTS = 429;
constexpr int STATUS_HEADERS_TOO_LARGE = 431;
constexpr int STATUS_UNAVAILABLE = 503;

constexpr char SESSION_COOKIE[] = "pultora_session";

struct Request {
    enum Method { Get, Post };
    Method method = Get;
    QByteArray path;                              // percent-decoded; empty when it cannot be served
    QByteArray rawPath;                           // as sent, before the '?'
    QByteArray query;                             // after the '?', as sent
    QList<QPair<QByteArray, QByteArray>> headers; // names in lower case, values trimmed
    QByteArray body;

    // The first header of that (lower-case) name; empty when there is none.
    QByteArray header(QByteArrayView name) const;
    QList<QByteArray> headerValues(QByteArrayView name) const;
};

class RequestReader
{
public:
    enum State { Incomplete, Complete, Refused };

    // Takes the next bytes of the connection. Once Complete or Refused the
    // verdict stays and further bytes are ignored.
    State feed(QByteArrayView bytes);
    State state() const { return m_state; }
    // When Refused: the status to answer with (400, 405, 411, 413, 414, 431).
    int status() const { return m_status; }
    // When Complete.
    const Request &request() const { return m_request; }

private:
    State refuse(int status);
    State parseHead(QByteArrayView head);

    QByteArray m_buffer;
    qsizetype m_scanned = 0; // where to go on looking for the blank line
    qsizetype m_bodyStart = -1;
    qsizetype m_bodyLength = 0;
    State m_state = Incomplete;
    int m_status = 0;
    Request m_request;
};

// The path as served: decoded once; empty when it is unsafe (see above).
QByteArray decodePath(QByteArrayView rawPath);

enum class Route { Page, Pin, Background, Picture, WebSocket, NotFound, MethodNotAllowed };
// GET / and /index.html: Page; POST /pin: Pin; GET /background; GET
// /picture/ID (ID: 1 to 10 digits): Picture; GET /ws: WebSocket (upgrade
// headers not checked here). POST elsewhere and GET of /pin are
// MethodNotAllowed, any other GET NotFound.
Route route(const Request &request);
// The ID of a Picture route's path.
quint32 pictureId(const Request &request);

// Upgrade: websocket and Connection: upgrade (as tokens, any case).
bool isWebSocketUpgrade(const Request &request);
// Origin equals "http://" + Host, each present exactly once.
bool isSameOrigin(const Request &request);
// The value of the session cookie among the Cookie headers; empty if none.
QByteArray sessionCookie(const Request &request);

QByteArray reasonPhrase(int status);
// "HTTP/1.1 <status> <reason>", the headers given, Content-Type when given,
// Content-Length, the security headers, Connection: close, then the body.
QByteArray response(int status, QByteArrayView contentType = {}, const QByteArray &body = {},
                    const QList<QPair<QByteArray, QByteArray>> &headers = {});

} // namespace remotehttp
