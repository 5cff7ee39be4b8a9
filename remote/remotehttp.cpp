#include "remote/remotehttp.h"

#include <algorithm>

namespace remotehttp
{

namespace
{

constexpr QByteArrayView CRLF("\r\n");
constexpr QByteArrayView BLANK_LINE("\r\n\r\n");
constexpr char PICTURE_PREFIX[] = "/picture/";

// RFC 9110 tchar.
bool isTokenChar(char c)
{
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView s)
{
    return !s.isEmpty() && std::all_of(s.begin(), s.end(), isTokenChar);
}

bool isControl(char c)
{
    const uchar u = uchar(c);
    return u < 0x20 || u == 0x7f;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Comma-separated tokens of a header, compared in any case.
bool hasToken(const QList<QByteArray> &values, QByteArrayView token)
{
    for (const QByteArray &value : values) {
        for (const QByteArray &part : value.split(',')) {
            if (part.trimmed().compare(token, Qt::CaseInsensitive) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

QByteArray Request::header(QByteArrayView name) const
{
    for (const auto &h : headers) {
        if (h.first == name)
            return h.second;
    }
    return {};
}

QList<QByteArray> Request::headerValues(QByteArrayView name) const
{
    QList<QByteArray> out;
    for (const auto &h : headers) {
        if (h.first == name)
            out << h.second;
    }
    return out;
}

RequestReader::State RequestReader::refuse(int status)
{
    m_status = status;
    m_state = Refused;
    m_buffer.clear();
    return m_state;
}

RequestReader::State RequestReader::feed(QByteArrayView bytes)
{
    if (m_state != Incomplete)
        return m_state;
    // More than a whole head and body is never needed to decide.
    const qsizetype room = MAX_HEAD + MAX_BODY - m_buffer.size();
    m_buffer.append(bytes.first(std::min(bytes.size(), std::max<qsizetype>(room, 0))));

    if (m_bodyStart < 0) {
        const qsizetype end = m_buffer.indexOf(BLANK_LINE, std::max<qsizetype>(m_scanned - 3, 0));
        if (end < 0) {
            m_scanned = m_buffer.size();
            if (m_buffer.size() <= MAX_HEAD)
                return m_state;
            const qsizetype lineEnd = m_buffer.indexOf(CRLF);
            return refuse(lineEnd < 0 || lineEnd > MAX_HEAD ? STATUS_URI_TOO_LONG
                                                            : STATUS_HEADERS_TOO_LARGE);
        }
        if (end + BLANK_LINE.size() > MAX_HEAD) {
            return refuse(m_buffer.indexOf(CRLF) > MAX_HEAD ? STATUS_URI_TOO_LONG
                                                            : STATUS_HEADERS_TOO_LARGE);
        }
        if (parseHead(QByteArrayView(m_buffer).first(end)) == Refused)
            return m_state;
        m_bodyStart = end + BLANK_LINE.size();
    }
    if (m_buffer.size() - m_bodyStart < m_bodyLength)
        return m_state;
    m_request.body = m_buffer.mid(m_bodyStart, m_bodyLength);
    m_buffer.clear();
    m_state = Complete;
    return m_state;
}

RequestReader::State RequestReader::parseHead(QByteArrayView head)
{
    const QList<QByteArray> lines = head.toByteArray().split('\n');
    // Every line but the last ends in CRLF (split at '\n' leaves the '\r');
    // a bare CR or LF anywhere is malformed.
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const bool last = i == lines.size() - 1;
        const qsizetype crs = line.count('\r');
        if (last ? crs != 0 : (crs != 1 || !line.endsWith('\r')))
            return refuse(STATUS_BAD_REQUEST);
    }
    auto text = [&lines](qsizetype i) {
        const QByteArray &l = lines[i];
        return l.endsWith('\r') ? l.chopped(1) : l;
    };

    // METHOD SP target SP HTTP/1.x
    const QList<QByteArray> parts = text(0).split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() ||
        (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0"))
        return refuse(STATUS_BAD_REQUEST);
    const QByteArray &target = parts[1];
    if (target[0] != '/' || std::any_of(target.begin(), target.end(), [](char c) {
            return isControl(c) || uchar(c) >= 0x80 || c == ' ';
        }))
        return refuse(STATUS_BAD_REQUEST);

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = text(i);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(QByteArrayView(line).first(colon)))
            return refuse(STATUS_BAD_REQUEST);
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (std::any_of(value.begin(), value.end(), [](char c) { return isControl(c); }))
            return refuse(STATUS_BAD_REQUEST);
        m_request.headers.append({line.left(colon).toLower(), value});
    }

    if (parts[0] == "GET")
        m_request.method = Request::Get;
    else if (parts[0] == "POST")
        m_request.method = Request::Post;
    else
        return refuse(STATUS_METHOD_NOT_ALLOWED);

    if (!m_request.headerValues("transfer-encoding").isEmpty() ||
        m_request.headerValues("host").size() > 1 ||
        (parts[2] == "HTTP/1.1" && m_request.headerValues("host").isEmpty()))
        return refuse(STATUS_BAD_REQUEST);
    const QList<QByteArray> lengths = m_request.headerValues("content-length");
    if (lengths.size() > 1)
        return refuse(STATUS_BAD_REQUEST);
    if (lengths.isEmpty()) {
        if (m_request.method == Request::Post)
            return refuse(STATUS_LENGTH_REQUIRED);
    } else {
        const QByteArray &length = lengths.first();
        if (length.isEmpty() ||
            !std::all_of(length.begin(), length.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return refuse(STATUS_BAD_REQUEST);
        // Leading zeros are allowed; anything of more than a few digits is too long.
        qsizetype first = 0;
        while (first < length.size() - 1 && length[first] == '0')
            ++first;
        if (length.size() - first > 3 || length.mid(first).toInt() > MAX_BODY)
            return refuse(STATUS_PAYLOAD_TOO_LARGE);
        m_bodyLength = length.mid(first).toInt();
    }

    const qsizetype question = target.indexOf('?');
    m_request.rawPath = question < 0 ? target : target.left(question);
    m_request.query = question < 0 ? QByteArray() : target.mid(question + 1);
    m_request.path = decodePath(m_request.rawPath);
    return m_state;
}

QByteArray decodePath(QByteArrayView rawPath)
{
    QByteArray out;
    out.reserve(rawPath.size());
    for (qsizetype i = 0; i < rawPath.size(); ++i) {
        char c = rawPath[i];
        if (c == '%') {
            const int high = i + 2 < rawPath.size() ? hexValue(rawPath[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(rawPath[i + 2]) : -1;
            if (low < 0)
                return {};
            c = char(high * 16 + low);
            if (c == '/')
                return {};
            i += 2;
        }
        if (isControl(c) || c == '\\')
            return {};
        out += c;
    }
    if (!out.startsWith('/'))
        return {};
    for (const QByteArray &segment : out.split('/')) {
        if (segment == ".." || segment == ".")
            return {};
    }
    return out;
}

Route route(const Request &request)
{
    const QByteArray &path = request.path;
    const bool get = request.method == Request::Get;
    if (path == "/pin")
        return get ? Route::MethodNotAllowed : Route::Pin;
    if (!get)
        return Route::MethodNotAllowed;
    if (path == "/" || path == "/index.html")
        return Route::Page;
    if (path == "/background")
        return Route::Background;
    if (path.startsWith(PICTURE_PREFIX)) {
        const QByteArray id = path.mid(qsizetype(sizeof PICTURE_PREFIX) - 1);
        const bool digits =
            !id.isEmpty() && id.size() <= 10 &&
            std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
        return digits && id.toULongLong() <= 0xFFFFFFFFu ? Route::Picture : Route::NotFound;
    }
    if (path == "/ws")
        return Route::WebSocket;
    return Route::NotFound;
}

quint32 pictureId(const Request &request)
{
    return quint32(request.path.mid(qsizetype(sizeof PICTURE_PREFIX) - 1).toULongLong());
}

bool isWebSocketUpgrade(const Request &request)
{
    return hasToken(request.headerValues("upgrade"), "websocket") &&
           hasToken(request.headerValues("connection"), "upgrade");
}

bool isSameOrigin(const Request &request)
{
    const QList<QByteArray> origins = request.headerValues("origin");
    const QList<QByteArray> hosts = request.headerValues("host");
    return origins.size() == 1 && hosts.size() == 1 && !hosts.first().isEmpty() &&
           origins.first() == "http://" + hosts.first();
}

QByteArray sessionCookie(const Request &request)
{
    for (const QByteArray &header : request.headerValues("cookie")) {
        for (const QByteArray &pair : header.split(';')) {
            const QByteArray p = pair.trimmed();
            const qsizetype eq = p.indexOf('=');
            if (eq > 0 && p.left(eq) == SESSION_COOKIE)
                return p.mid(eq + 1);
        }
    }
    return {};
}

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case STATUS_OK:
        return "OK";
    case STATUS_NO_CONTENT:
        return "No Content";
    case STATUS_BAD_REQUEST:
        return "Bad Request";
    case STATUS_FORBIDDEN:
        return "Forbidden";
    case STATUS_NOT_FOUND:
        return "Not Found";
    case STATUS_METHOD_NOT_ALLOWED:
        return "Method Not Allowed";
    case STATUS_LENGTH_REQUIRED:
        return "Length Required";
    case STATUS_PAYLOAD_TOO_LARGE:
        return "Content Too Large";
    case STATUS_URI_TOO_LONG:
        return "URI Too Long";
    case STATUS_TOO_MANY_REQUESTS:
        return "Too Many Requests";
    case STATUS_HEADERS_TOO_LARGE:
        return "Request Header Fields Too Large";
    case STATUS_UNAVAILABLE:
        return "Service Unavailable";
    }
    return "Error";
}

QByteArray response(int status, QByteArrayView contentType, const QByteArray &body,
                    const QList<QPair<QByteArray, QByteArray>> &headers)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto &h : headers)
        out += h.first + ": " + h.second + "\r\n";
    if (!contentType.isEmpty())
        out += "Content-Type: " + contentType.toByteArray() + "\r\n";
    if (status != STATUS_NO_CONTENT)
        out += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    out += "Cache-Control: no-store\r\n"
           "X-Content-Type-Options: nosniff\r\n"
           "Content-Security-Policy: default-src 'self'; script-src 'self' 'unsafe-inline'; "
           "style-src 'self' 'unsafe-inline'; img-src 'self' data:; connect-src 'self' ws: ; "
           "frame-ancestors 'none'\r\n"
           "Referrer-Policy: no-referrer\r\n"
           "Connection: close\r\n\r\n";
    return out + body;
}

} // namespace remotehttp
