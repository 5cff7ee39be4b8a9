#include "net/oscpattern.h"

#include <QtGlobal>

#include <algorithm>
#include <array>
#include <cstring>

namespace oscpattern
{

namespace
{

bool isPatternChar(char c)
{
    return c == '?' || c == '*' || c == '[' || c == ']' || c == '{' || c == '}';
}

// Matches one part of a valid pattern against one part of an address by
// backtracking. Failed (pattern, address) positions are remembered when
// the part is small enough, so backtracking does not repeat itself; the
// step budget bounds the rest.
class PartMatcher
{
public:
    static constexpr int MEMO_BITS = 4096;

    PartMatcher(QByteArrayView pattern, QByteArrayView address, int *steps, int maxSteps)
        : m_p(pattern), m_a(address), m_steps(steps), m_maxSteps(maxSteps),
          m_memo((pattern.size() + 1) * (address.size() + 1) <= MEMO_BITS)
    {
        // Only the bits this part can use are cleared.
        if (m_memo)
            std::memset(m_failed.data(), 0,
                        size_t((pattern.size() + 1) * (address.size() + 1) + 63) / 64 *
                            sizeof(quint64));
    }

    bool run() { return at(0, 0); }
    bool overBudget() const { return m_overBudget; }

private:
    bool at(qsizetype pi, qsizetype ai)
    {
        if (++*m_steps > m_maxSteps) {
            m_overBudget = true;
            return false;
        }
        const qsizetype bit = pi * (m_a.size() + 1) + ai;
        if (m_memo && (m_failed[size_t(bit / 64)] >> (bit % 64) & 1))
            return false;
        const bool matched = step(pi, ai);
        if (!matched && m_memo && !m_overBudget)
            m_failed[size_t(bit / 64)] |= quint64(1) << (bit % 64);
        return matched;
    }

    bool step(qsizetype pi, qsizetype ai)
    {
        const bool more = ai < m_a.size();
        if (pi == m_p.size())
            return !more;
        switch (m_p[pi]) {
        case '*':
            return at(pi + 1, ai) || (more && at(pi, ai + 1));
        case '?':
            return more && at(pi + 1, ai + 1);
        case '[': {
            qsizetype end = pi + 1;
            const bool in = more && inSet(pi + 1, m_a[ai], &end);
            return in && at(end, ai + 1);
        }
        case '{': {
            const qsizetype close = m_p.indexOf('}', pi);
            for (qsizetype from = pi + 1; from <= close;) {
                qsizetype to = m_p.indexOf(',', from);
                if (to < 0 || to > close)
                    to = close;
                const QByteArrayView alternative = m_p.sliced(from, to - from);
                if (m_a.size() - ai >= alternative.size() &&
                    m_a.sliced(ai, alternative.size()) == alternative &&
                    at(close + 1, ai + alternative.size()))
                    return true;
                if (m_overBudget)
                    return false;
                from = to + 1;
            }
            return false;
        }
        default:
            return more && m_p[pi] == m_a[ai] && at(pi + 1, ai + 1);
        }
    }

    // Whether c is in the set that starts at `from` (past '['); *end is set
    // past its ']'.
    bool inSet(qsizetype from, char c, qsizetype *end) const
    {
        const qsizetype close = m_p.indexOf(']', from);
        *end = close + 1;
        const bool negate = m_p[from] == '!';
        if (negate)
            ++from;
        bool in = false;
        for (qsizetype i = from; i < close; ++i) {
            // '-' between two characters is a range; first or last it is literal.
            if (i + 2 < close && m_p[i + 1] == '-') {
                in = in || (c >= m_p[i] && c <= m_p[i + 2]);
                i += 2;
            } else {
                in = in || c == m_p[i];
            }
        }
        return in != negate;
    }

    QByteArrayView m_p, m_a;
    int *m_steps;
    int m_maxSteps;
    bool m_memo;
    bool m_overBudget = false;
    std::array<quint64, MEMO_BITS / 64> m_failed; // the first bits, see the constructor
};

} // namespace

bool isValidPattern(QByteArrayView pattern)
{
    if (pattern.isEmpty() || pattern[0] != '/')
        return false;
    char open = 0;      // '[' or '{' while inside one
    qsizetype part = 0; // characters of the current part
    qsizetype group = 0;
    for (qsizetype i = 1; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c <= ' ' || c > '~' || c == '#')
            return false;
        if (c == '/') {
            if (open || part == 0)
                return false;
            part = 0;
            continue;
        }
        ++part;
        if (open == '[') {
            if (c == ']') {
                const bool negated = pattern[i - group] == '!';
                if (group - (negated ? 1 : 0) <= 0)
                    return false;
                open = 0;
            } else if (c == '[' || c == '{' || c == '}') {
                return false;
            }
            ++group;
            continue;
        }
        if (open == '{') {
            if (c == '}')
                open = 0;
            else if (isPatternChar(c))
                return false;
            continue;
        }
        if (c == '[' || c == '{') {
            open = c;
            group = 0;
        } else if (c == ']' || c == '}' || c == ',') {
            return false;
        }
    }
    return !open && part > 0;
}

bool isLiteral(QByteArrayView pattern)
{
    for (char c : pattern)
        if (isPatternChar(c))
            return false;
    return true;
}

MatchResult match(QByteArrayView pattern, QByteArrayView address, int maxSteps)
{
    return Pattern(pattern).match(address, maxSteps);
}

Pattern::Pattern(QByteArrayView pattern) : m_pattern(pattern), m_valid(isValidPattern(pattern))
{
    if (!m_valid)
        return;
    for (qsizetype from = 1; from <= pattern.size();) {
        qsizetype end = pattern.indexOf('/', from);
        if (end < 0)
            end = pattern.size();
        const QByteArrayView part = pattern.sliced(from, end - from);
        m_pieces.append({from, end - from, isLiteral(part)});
        from = end + 1;
    }
}

MatchResult Pattern::match(QByteArrayView address, int maxSteps) const
{
    if (!m_valid)
        return MatchResult::Malformed;
    if (address.isEmpty() || address[0] != '/' ||
        std::count(address.begin(), address.end(), '/') != m_pieces.size())
        return MatchResult::NoMatch;
    int steps = 0;
    qsizetype a = 1; // past the leading '/'
    for (const Piece &piece : m_pieces) {
        qsizetype aEnd = address.indexOf('/', a);
        if (aEnd < 0)
            aEnd = address.size();
        const QByteArrayView part = m_pattern.sliced(piece.from, piece.size);
        const QByteArrayView addressPart = address.sliced(a, aEnd - a);
        if (piece.literal) {
            // One step per character compared, as the matcher would take.
            steps += int(qMin(part.size(), addressPart.size())) + 1;
            if (steps > maxSteps)
                return MatchResult::TooManySteps;
            if (part != addressPart)
                return MatchResult::NoMatch;
        } else {
            PartMatcher matcher(part, addressPart, &steps, maxSteps);
            if (!matcher.run())
                return matcher.overBudget() ? MatchResult::TooManySteps : MatchResult::NoMatch;
        }
        a = aEnd + 1;
    }
    return MatchResult::Match;
}

} // namespace oscpattern
