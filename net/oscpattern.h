// OSC address patterns: which of the console's addresses a received
// address names. Rules, per part between slashes: '?' one character, '*' any
// run of characters (never a '/'), "[abc]", "[a-z]", "[!a-z]" one character
// of a set ('-' first or last is literal), "{foo,bar}" one of the literal
// alternatives. A pattern and an address match part for part, with the same
// number of parts. The path traversal "//" is not supported: such a pattern
// is malformed.
//
// Promises:
// - match() takes at most maxSteps steps, whatever the pattern: a pattern
//   built to backtrack ends with TooManySteps instead of hanging a pass.
// - A malformed pattern never matches (Malformed).
// - Pattern(p).match(a) answers as match(p, a) does.
// - Pure: no state.
#pragma once

#include <QByteArrayView>
#include <QVarLengthArray>

namespace oscpattern
{

constexpr int DEFAULT_MAX_STEPS = 10000;

// Starts with '/'; parts not empty; printable ASCII without space, '#' or a
// ',' outside braces; '[...]' and '{...}' closed within their part, not
// nested, not empty ('[' needs a character).
bool isValidPattern(QByteArrayView pattern);

// None of ?*[]{}: the address can be looked up, not matched.
bool isLiteral(QByteArrayView pattern);

enum class MatchResult {
    Match,
    NoMatch,
    Malformed,   // isValidPattern() says no
    TooManySteps // gave up after maxSteps: the caller treats it as no match
};
MatchResult match(QByteArrayView pattern, QByteArrayView address, int maxSteps = DEFAULT_MAX_STEPS);

// A pattern checked and cut into its parts once, for matching one received
// pattern against many addresses. It points into the pattern's bytes, which
// must outlive it.
class Pattern
{
public:
    explicit Pattern(QByteArrayView pattern);
    bool isValid() const { return m_valid; }
    // An address with another number of parts is told apart before any
    // part is compared.
    MatchResult match(QByteArrayView address, int maxSteps = DEFAULT_MAX_STEPS) const;

private:
    struct Piece {
        qsizetype from = 0, size = 0;
        bool literal = true;     // none of ?*[]{}: compared, not matched
        bool backtracks = false; // a '*' or a '{'
    };
    QByteArrayView m_pattern;
    QVarLengthArray<Piece, 8> m_pieces;
    bool m_valid = false;
};

} // namespace oscpattern
