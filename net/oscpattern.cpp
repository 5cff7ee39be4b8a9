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

// The first c in text at or after `from`, or text.size(): parts are short,
// a loop beats a call.
qsizetype find(QByteArrayView text, char c, qsizetype from)
{
    while (from < text.size() && text[from] != c)
        ++from;
    return from;
}

// Matches one part of a valid pattern against one part of an address by
// backtracking. Failed (pattern, address) positions are remembered when
// the part is small enough, so backtracking does not repeat itself; the
// step budget bounds the rest.
class PartMatcher
{
public:
    static constexpr int MEMO_BITS = 4096;

    // backtracks: the part has a '*' or a '{', else one way through it is
    // all there is and nothing needs remembering.
    PartMatcher(QByteArrayView pattern, QByteArrayView address, int *steps, int maxSteps,
                bool backtracks = true)
        : m_p(pattern), m_a(address), m_steps(steps), m_maxSteps(maxSteps),
          m_memo(backtracks && (pattern.size() + 1) * (address.size() + 1) <= MEMO_BITS)
    {
        // Only the words this part can use are cleared; mostly one.
        if (m_memo) {
            m_failed[0] = 0;
            const qsizetype words = ((pattern.size() + 1) * (address.size() + 1) + 63) / 64;
            if (words > 1)
                std::memset(&m_failed[1], 0, size_t(words - 1) * sizeof(quint64));
        }
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
            const qsizetype close = find(m_p, '}', pi);
            for (qsizetype from = pi + 1; from <= close;) {
                const qsizetype to = qMin(find(m_p, ',', from), close);
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
        const qsizetype close = find(m_p, ']', from);
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
        m_pieces.append(
            {from, end - from, isLiteral(part), part.contains('*') || part.contains('{')});
        from = end + 1;
    }
}

MatchResult Pattern::match(QByteArrayView address, int maxSteps) const
{
    if (!m_valid)
        return MatchResult::Malformed;
    if (address.isEmpty() || address[0] != '/')
        return MatchResult::NoMatch;
    // Where each part of the address ends: another number of parts than the
    // pattern's is no match, whatever the parts.
    QVarLengthArray<qsizetype, 8> ends;
    for (qsizetype i = 1; i < address.size(); ++i)
        if (address[i] == '/') {
            if (ends.size() == m_pieces.size())
                return MatchResult::NoMatch;
            ends.append(i);
        }
    ends.append(address.size());
    if (ends.size() != m_pieces.size())
        return MatchResult::NoMatch;
    const auto part = [&](qsizetype i) {
        const qsizetype from = i == 0 ? 1 : ends[i - 1] + 1;
        return address.sliced(from, ends[i] - from);
    };
    // The literal parts first: they rule an address out for the least.
    int steps = 0;
    for (qsizetype i = 0; i < m_pieces.size(); ++i) {
        const Piece &piece = m_pieces[i];
        if (!piece.literal)
            continue;
        const QByteArrayView a = part(i);
        // One step per character compared, as the matcher would take.
        steps += int(qMin(piece.size, a.size())) + 1;
        if (steps > maxSteps)
            return MatchResult::TooManySteps;
        if (a.size() != piece.size ||
            std::memcmp(a.data(), m_pattern.data() + piece.from, size_t(a.size())) != 0)
            return MatchResult::NoMatch;
    }
    for (qsizetype i = 0; i < m_pieces.size(); ++i) {
        const Piece &piece = m_pieces[i];
        if (piece.literal)
            continue;
        PartMatcher matcher(m_pattern.sliced(piece.from, piece.size), part(i), &steps, maxSteps,
                            piece.backtracks);
        if (!matcher.run())
            return matcher.overBudget() ? MatchResult::TooManySteps : MatchResult::NoMatch;
    }
    return MatchResult::Match;
}

} // namespace oscpattern
