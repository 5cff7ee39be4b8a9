#include "model/consistency.h"

#include "model/oscvalue.h"
#include "model/typetables.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>
#include <vector>

namespace
{

// Progress is reported about this many times a run: the callback may
// process events.
constexpr qint64 PROGRESS_REPORTS = 200;

struct Rect {
    qint64 x, y, right, bottom; // right and bottom exclusive: x + w, y + h
};

Rect rectOf(const SettingStruct &c)
{
    return {qint64(c.position_x), qint64(c.position_y), qint64(c.position_x) + c.size_x,
            qint64(c.position_y) + c.size_y};
}

// The place of an output, or of an OSC input: two are duplicates when these
// are equal.
struct Address {
    quint8 protocol = PT_NONE;
    quint16 universe = 0;
    quint16 channel = 0;
    quint8 midiType = MT_NONE; // compared for MIDI only
    bool input = false;        // an input's OSC address, never equal to an output's
    QString osc;               // OSC address (or an input's pattern)
    QString target;            // OSC outputs: "host:port" with the defaults filled in

    auto key() const { return std::tie(protocol, universe, channel, midiType, input, osc, target); }
    bool operator==(const Address &o) const { return key() == o.key(); }
    bool operator<(const Address &o) const { return key() < o.key(); }
};

// HTTP and command outputs address no shared channel: never duplicates; nor
// an OSC output without an address, which sends nothing.
bool addressOf(const SettingDmxStruct &out, const PreferencesStruct &prefs, Address *address)
{
    if (out.protocol_type == PT_OSC && !out.osc_address.isEmpty()) {
        *address = Address();
        address->protocol = PT_OSC;
        address->osc = out.osc_address;
        address->target = oscTargetKey(out, prefs);
        return true;
    }
    if (!isAddressedProtocol(out.protocol_type))
        return false;
    *address = Address();
    address->protocol = out.protocol_type;
    address->universe = out.dmx_universe;
    address->channel = out.dmx_channel;
    address->midiType = out.protocol_type == PT_MIDI ? out.dmx_midi_type : quint8(MT_NONE);
    return true;
}

// Of the inputs only OSC ones are compared: two controls listening to one
// OSC address move together, which is rarely meant.
constexpr int MAX_ADDRESSES = 3;

// The addresses a control sends on (one or two, without repeats) and the
// OSC address its input listens to.
int addressesOf(const SettingStruct &c, const PreferencesStruct &prefs,
                Address addresses[MAX_ADDRESSES])
{
    int count = 0;
    if (addressOf(c.dmx_out, prefs, &addresses[count]))
        ++count;
    Address advanced;
    if (hasSecondOutput(c.control_type) && addressOf(c.dmx_out_advanced, prefs, &advanced) &&
        (count == 0 || !(advanced == addresses[0])))
        addresses[count++] = advanced;
    if (c.dmx_in.protocol_type_in == PT_OSC && !c.dmx_in.dmx_in_osc_address.isEmpty()) {
        Address &in = addresses[count++];
        in = Address();
        in.protocol = PT_OSC;
        in.input = true;
        in.osc = c.dmx_in.dmx_in_osc_address;
    }
    return count;
}

QString duplicateText(const QString &a, const QString &b, const Address &address)
{
    if (address.protocol == PT_OSC && address.input)
        return Consistency::tr("Controls '%1' and '%2' are both listening to the OSC address %3!")
            .arg(a, b, address.osc);
    if (address.protocol == PT_OSC)
        return Consistency::tr("Controls '%1' and '%2' are using the same settings OSC address "
                               "%3 / target %4!")
            .arg(a, b, address.osc, address.target);
    if (address.protocol == PT_MIDI)
        return Consistency::tr("Controls '%1' and '%2' are using the same settings MIDI Channel "
                               "%3 / MIDI Note %4 / MIDI Type %5!")
            .arg(a, b)
            .arg(address.universe + 1)
            .arg(address.channel)
            .arg(midiTypeLabel(address.midiType));
    return Consistency::tr("Controls '%1' and '%2' are using the same settings Universe %3 / "
                           "Channel %4!")
        .arg(a, b)
        .arg(address.universe + 1)
        .arg(address.channel + 1);
}

ConsistencyFinding duplicateFinding(const SettingStruct &a, const SettingStruct &b,
                                    const Address &address)
{
    ConsistencyFinding f;
    f.severity = ConsistencyFinding::Warning;
    f.test = ConsistencyFinding::DuplicateOutput;
    f.text = duplicateText(a.name, b.name, address);
    return f;
}

void name(ConsistencyFinding &f, int first, int second, const QList<SettingStruct> &controls)
{
    f.first = first;
    f.second = second;
    f.firstId = first >= 0 ? controls.at(first).id : 0;
    f.secondId = second >= 0 ? controls.at(second).id : 0;
}

bool holds(const Rect &a, const Rect &b)
{
    return a.x <= b.x && a.y <= b.y && b.right <= a.right && b.bottom <= a.bottom;
}

// Half-open rectangles: touching edges and empty rectangles share nothing.
bool share(const Rect &a, const Rect &b)
{
    return std::max(a.x, b.x) < std::min(a.right, b.right) &&
           std::max(a.y, b.y) < std::min(a.bottom, b.bottom);
}

// Group frames are drawn beneath the controls they gather: they hide
// nothing and are meant to hold others.
bool takesPart(const SettingStruct &c)
{
    return controlTraits(c.control_type).overlaps;
}

// The one decision on how two controls cover each other, for the whole
// surface and for one control alike: `outer` is 0 when a holds b (also when
// they are identical), 1 when only b holds a, -1 when neither; `partial`
// when they share area. Touching edges share none; a control inside another
// is held even where their edges touch.
struct Overlap {
    int outer = -1;
    bool partial = false;
};

Overlap overlapOf(const SettingStruct &a, const SettingStruct &b)
{
    Overlap o;
    if (!takesPart(a) || !takesPart(b))
        return o;
    const Rect ra = rectOf(a), rb = rectOf(b);
    o.outer = holds(ra, rb) ? 0 : holds(rb, ra) ? 1 : -1;
    o.partial = share(ra, rb);
    return o;
}

// A finding before its text: a show whose controls all lie on one spot has
// millions of them, and only the first ones are written out.
struct Raw {
    int first;  // named first
    int second; // -1: about one control
    ConsistencyFinding::Test test;
    Address address; // duplicates only

    auto key() const
    {
        const bool single = second < 0;
        return std::make_tuple(single ? first : std::min(first, second), single,
                               single ? -1 : std::max(first, second), int(test), address.key());
    }
};

// Pair findings of (i, j), i before j in the list, for the geometry tests.
void overlapPair(int i, int j, const QList<SettingStruct> &controls,
                 const ConsistenceCheckStruct &checks, std::vector<Raw> &out)
{
    const Overlap o = overlapOf(controls.at(i), controls.at(j));
    // The outer control is named first; identical rectangles once.
    if (checks.check_1 && o.outer >= 0)
        out.push_back({o.outer ? j : i, o.outer ? i : j, ConsistencyFinding::CompleteOverlap, {}});
    if (checks.check_2 && o.partial)
        out.push_back({i, j, ConsistencyFinding::PartialOverlap, {}});
}

void singleTests(int i, const SettingStruct &c, const BackgroundStruct &background,
                 const ConsistenceCheckStruct &checks, std::vector<Raw> &out)
{
    ConsistencyFinding f;
    if (checks.check_4 && Consistency::completelyOutside(c, background, &f))
        out.push_back({i, -1, ConsistencyFinding::CompletelyOutside, {}});
    if (checks.check_5 && Consistency::partiallyOutside(c, background, &f))
        out.push_back({i, -1, ConsistencyFinding::PartiallyOutside, {}});
}

// List order of the first control; its pair findings, then its own. Only
// the first `limit` get their text.
QList<ConsistencyFinding> write(std::vector<Raw> &raws, const QList<SettingStruct> &controls,
                                const BackgroundStruct &background, int limit)
{
    const size_t count = std::min(raws.size(), size_t(std::max(limit, 0)));
    auto less = [](const Raw &a, const Raw &b) { return a.key() < b.key(); };
    if (count < raws.size()) {
        std::nth_element(raws.begin(), raws.begin() + count, raws.end(), less);
        raws.resize(count);
    }
    std::sort(raws.begin(), raws.end(), less);
    QList<ConsistencyFinding> out;
    out.reserve(qsizetype(count));
    for (const Raw &r : raws) {
        ConsistencyFinding f;
        const SettingStruct &a = controls.at(r.first);
        switch (r.test) {
        case ConsistencyFinding::CompleteOverlap:
            Consistency::completeOverlap(a, controls.at(r.second), &f);
            break;
        case ConsistencyFinding::PartialOverlap:
            Consistency::partialOverlap(a, controls.at(r.second), &f);
            break;
        case ConsistencyFinding::DuplicateOutput:
            f = duplicateFinding(a, controls.at(r.second), r.address);
            break;
        case ConsistencyFinding::CompletelyOutside:
            Consistency::completelyOutside(a, background, &f);
            break;
        case ConsistencyFinding::PartiallyOutside:
            Consistency::partiallyOutside(a, background, &f);
            break;
        }
        name(f, r.first, r.second, controls);
        out.append(f);
    }
    return out;
}

// Pairs of rectangles whose closed extents meet, through a grid: each
// rectangle is entered in the cells it covers, and a pair is looked at only
// in the cell that holds the top-left corner of the pair's common part,
// which is always some control's position. So each pair is seen once.
class OverlapGrid
{
public:
    explicit OverlapGrid(const QList<SettingStruct> &controls)
    {
        const int n = int(controls.size());
        m_rects.reserve(n);
        for (const SettingStruct &c : controls)
            m_rects.push_back(rectOf(c));
        if (n == 0)
            return;
        qint64 minX = m_rects[0].x, maxX = minX, minY = m_rects[0].y, maxY = minY;
        std::vector<qint64> widths, heights;
        widths.reserve(n);
        heights.reserve(n);
        for (const Rect &r : m_rects) {
            minX = std::min(minX, r.x);
            maxX = std::max(maxX, r.x);
            minY = std::min(minY, r.y);
            maxY = std::max(maxY, r.y);
            widths.push_back(r.right - r.x);
            heights.push_back(r.bottom - r.y);
        }
        // Cells about the size of a typical control, at most some 4n of them.
        const qint64 side = 2 * qint64(std::ceil(std::sqrt(double(n)))) + 1;
        std::nth_element(widths.begin(), widths.begin() + n / 2, widths.end());
        std::nth_element(heights.begin(), heights.begin() + n / 2, heights.end());
        m_x = Axis(minX, maxX, widths[n / 2], side);
        m_y = Axis(minY, maxY, heights[n / 2], side);

        // Cells as one array of indices (counted first, then filled).
        m_start.assign(size_t(cellCount()) + 1, 0);
        forEachCell([&](qint64 cell, int) { ++m_start[size_t(cell) + 1]; });
        for (size_t k = 1; k < m_start.size(); ++k)
            m_start[k] += m_start[k - 1];
        m_members.resize(size_t(m_start.back()));
        std::vector<qint64> fill(m_start.begin(), m_start.end() - 1);
        forEachCell([&](qint64 cell, int i) { m_members[size_t(fill[size_t(cell)]++)] = i; });
    }

    qint64 cellCount() const { return m_x.cells * m_y.cells; }

    // Calls f(i, j), i < j, for every pair whose closed extents meet; stops
    // when `step` (called every `stride` cells) returns false.
    template <typename F, typename S> bool forEachPair(F f, S step, qint64 stride) const
    {
        for (qint64 cell = 0; cell < cellCount(); ++cell) {
            if (cell % stride == 0 && !step(cell))
                return false;
            const qint64 cx = cell % m_x.cells, cy = cell / m_x.cells;
            const qint64 begin = m_start[size_t(cell)], end = m_start[size_t(cell) + 1];
            for (qint64 p = begin; p < end; ++p) {
                const int i = m_members[size_t(p)];
                const Rect &a = m_rects[size_t(i)];
                for (qint64 q = p + 1; q < end; ++q) {
                    const int j = m_members[size_t(q)];
                    const Rect &b = m_rects[size_t(j)];
                    if (a.x > b.right || b.x > a.right || a.y > b.bottom || b.y > a.bottom)
                        continue;
                    if (m_x.cellOf(std::max(a.x, b.x)) != cx ||
                        m_y.cellOf(std::max(a.y, b.y)) != cy)
                        continue;
                    f(i, j);
                }
            }
        }
        return true;
    }

private:
    struct Axis {
        qint64 min = 0, max = 0, size = 1, cells = 1;
        Axis() = default;
        Axis(qint64 lo, qint64 hi, qint64 typical, qint64 side) : min(lo), max(hi)
        {
            const qint64 span = hi - lo + 1;
            size = std::max<qint64>({1, typical, (span + side - 1) / side});
            cells = (span + size - 1) / size;
        }
        qint64 cellOf(qint64 v) const { return (std::clamp(v, min, max) - min) / size; }
    };

    // Calls f(cell, i) for every cell rectangle i covers (within the span
    // of all positions: the corners looked for never lie beyond it).
    template <typename F> void forEachCell(F f) const
    {
        for (int i = 0; i < int(m_rects.size()); ++i) {
            const Rect &r = m_rects[size_t(i)];
            const qint64 x0 = m_x.cellOf(r.x), x1 = m_x.cellOf(r.right);
            const qint64 y0 = m_y.cellOf(r.y), y1 = m_y.cellOf(r.bottom);
            for (qint64 y = y0; y <= y1; ++y)
                for (qint64 x = x0; x <= x1; ++x)
                    f(y * m_x.cells + x, i);
        }
    }

    std::vector<Rect> m_rects;
    Axis m_x, m_y;
    std::vector<qint64> m_start;
    std::vector<int> m_members;
};

// Pairs of controls sending on the same address, found by sorting the
// addresses: each pair once per address they share.
void duplicatePairs(const QList<SettingStruct> &controls, const PreferencesStruct &prefs,
                    std::vector<Raw> &out)
{
    struct Entry {
        Address address;
        int index;
        bool operator<(const Entry &o) const
        {
            return std::tie(address, index) < std::tie(o.address, o.index);
        }
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(controls.size()) * 2);
    for (int i = 0; i < int(controls.size()); ++i) {
        Address addresses[MAX_ADDRESSES];
        const int count = addressesOf(controls.at(i), prefs, addresses);
        for (int k = 0; k < count; ++k)
            entries.push_back({addresses[k], i});
    }
    std::sort(entries.begin(), entries.end());
    for (size_t begin = 0; begin < entries.size();) {
        size_t end = begin + 1;
        while (end < entries.size() && entries[end].address == entries[begin].address)
            ++end;
        for (size_t p = begin; p < end; ++p)
            for (size_t q = p + 1; q < end; ++q)
                out.push_back({entries[p].index, entries[q].index,
                               ConsistencyFinding::DuplicateOutput, entries[begin].address});
        begin = end;
    }
}

} // namespace

bool ConsistencyFinding::operator==(const ConsistencyFinding &o) const
{
    return severity == o.severity && test == o.test && first == o.first && second == o.second &&
           firstId == o.firstId && secondId == o.secondId && text == o.text;
}

bool Consistency::anyEnabled(const ConsistenceCheckStruct &checks)
{
    return checks.check_1 || checks.check_2 || checks.check_3 || checks.check_4 || checks.check_5;
}

bool Consistency::completeOverlap(const SettingStruct &a, const SettingStruct &b,
                                  ConsistencyFinding *finding)
{
    if (overlapOf(a, b).outer != 0)
        return false;
    finding->severity = ConsistencyFinding::Error;
    finding->test = ConsistencyFinding::CompleteOverlap;
    finding->text = tr("Controls '%1' and '%2' - complete overlap of position (%3/%4) with "
                       "position (%5/%6)!")
                        .arg(a.name, b.name)
                        .arg(a.position_x)
                        .arg(a.position_y)
                        .arg(b.position_x)
                        .arg(b.position_y);
    return true;
}

bool Consistency::partialOverlap(const SettingStruct &a, const SettingStruct &b,
                                 ConsistencyFinding *finding)
{
    if (!overlapOf(a, b).partial)
        return false;
    const Rect ra = rectOf(a), rb = rectOf(b);
    const qint64 left = std::max(ra.x, rb.x), top = std::max(ra.y, rb.y);
    const qint64 right = std::min(ra.right, rb.right), bottom = std::min(ra.bottom, rb.bottom);
    finding->severity = ConsistencyFinding::Warning;
    finding->test = ConsistencyFinding::PartialOverlap;
    finding->text = tr("Controls '%1' and '%2' - partial overlap of position (%3/%4) with "
                       "position (%5/%6)!")
                        .arg(a.name, b.name)
                        .arg(left)
                        .arg(top)
                        .arg(right - 1)
                        .arg(bottom - 1);
    return true;
}

QList<ConsistencyFinding> Consistency::duplicateOutputs(const SettingStruct &a,
                                                        const SettingStruct &b,
                                                        const PreferencesStruct *prefs)
{
    const PreferencesStruct defaults;
    const PreferencesStruct &given = prefs ? *prefs : defaults;
    QList<ConsistencyFinding> out;
    Address mine[MAX_ADDRESSES], theirs[MAX_ADDRESSES];
    const int countA = addressesOf(a, given, mine), countB = addressesOf(b, given, theirs);
    for (int p = 0; p < countA; ++p)
        for (int q = 0; q < countB; ++q)
            if (mine[p] == theirs[q])
                out.append(duplicateFinding(a, b, mine[p]));
    return out;
}

bool Consistency::completelyOutside(const SettingStruct &a, const BackgroundStruct &background,
                                    ConsistencyFinding *finding)
{
    // The background covers 0 to size - 1: a control starting at the size
    // shows nothing of itself.
    if (a.position_x < background.size_x && a.position_y < background.size_y)
        return false;
    finding->severity = ConsistencyFinding::Error;
    finding->test = ConsistencyFinding::CompletelyOutside;
    finding->second = -1;
    finding->secondId = 0;
    finding->text = tr("Control '%1' with position (%2/%3) is located completely out of the "
                       "background size of (%4x%5)!")
                        .arg(a.name)
                        .arg(a.position_x)
                        .arg(a.position_y)
                        .arg(background.size_x)
                        .arg(background.size_y);
    return true;
}

bool Consistency::partiallyOutside(const SettingStruct &a, const BackgroundStruct &background,
                                   ConsistencyFinding *finding)
{
    const Rect r = rectOf(a);
    if (r.right <= qint64(background.size_x) && r.bottom <= qint64(background.size_y))
        return false;
    finding->severity = ConsistencyFinding::Warning;
    finding->test = ConsistencyFinding::PartiallyOutside;
    finding->second = -1;
    finding->secondId = 0;
    finding->text = tr("Control '%1' with position (%2/%3) is located partially out of the "
                       "background size of (%4x%5)!")
                        .arg(a.name)
                        .arg(r.right)
                        .arg(r.bottom)
                        .arg(background.size_x)
                        .arg(background.size_y);
    return true;
}

ConsistencyResult Consistency::checkAll(const QList<SettingStruct> &controls,
                                        const BackgroundStruct &background,
                                        const ConsistenceCheckStruct &checks,
                                        const ConsistencyProgress &progress, int limit,
                                        const PreferencesStruct *prefs)
{
    const PreferencesStruct defaults;
    ConsistencyResult result;
    std::vector<Raw> raws;
    const int n = int(controls.size());
    const bool geometry = checks.check_1 || checks.check_2;
    const OverlapGrid grid(geometry ? controls : QList<SettingStruct>());
    const qint64 cells = geometry ? grid.cellCount() : 0;
    // Steps: the grid's cells, then the controls once for their own tests.
    const qint64 total = cells + n;
    const qint64 stride = std::max<qint64>(1, total / PROGRESS_REPORTS);
    auto step = [&](qint64 done) {
        return !progress || progress(int(done * n / std::max<qint64>(total, 1)), n);
    };

    if (geometry &&
        !grid.forEachPair([&](int i, int j) { overlapPair(i, j, controls, checks, raws); }, step,
                          stride))
        result.skipped = true;
    if (!result.skipped && checks.check_3)
        duplicatePairs(controls, prefs ? *prefs : defaults, raws);
    if (!result.skipped && (checks.check_4 || checks.check_5)) {
        for (int i = 0; i < n; ++i) {
            if (i % stride == 0 && !step(cells + i)) {
                result.skipped = true;
                break;
            }
            singleTests(i, controls.at(i), background, checks, raws);
        }
    }
    result.total = int(std::min<size_t>(raws.size(), INT_MAX));
    result.findings = write(raws, controls, background, limit);
    if (progress && !result.skipped)
        progress(n, n);
    return result;
}

QList<ConsistencyFinding> Consistency::checkOne(const SettingStruct &candidate,
                                                const QList<SettingStruct> &controls,
                                                const BackgroundStruct &background,
                                                const ConsistenceCheckStruct &checks,
                                                const PreferencesStruct *prefs)
{
    QList<ConsistencyFinding> out;
    auto add = [&](ConsistencyFinding f, int first, int second) {
        name(f, first, second, controls);
        (first < 0 ? f.firstId : f.secondId) = candidate.id;
        out.append(f);
    };
    for (int j = 0; j < int(controls.size()); ++j) {
        const SettingStruct &other = controls.at(j);
        if (candidate.id != 0 && other.id == candidate.id)
            continue;
        ConsistencyFinding f;
        // The candidate is named first unless the other control holds it.
        const Overlap o = overlapOf(candidate, other);
        if (checks.check_1 && o.outer == 0 && completeOverlap(candidate, other, &f))
            add(f, -1, j);
        if (checks.check_1 && o.outer == 1 && completeOverlap(other, candidate, &f))
            add(f, j, -1);
        if (checks.check_2 && o.partial && partialOverlap(candidate, other, &f))
            add(f, -1, j);
        if (checks.check_3)
            for (const ConsistencyFinding &d : duplicateOutputs(candidate, other, prefs))
                add(d, -1, j);
    }
    ConsistencyFinding f;
    if (checks.check_4 && completelyOutside(candidate, background, &f))
        add(f, -1, -1);
    if (checks.check_5 && partiallyOutside(candidate, background, &f))
        add(f, -1, -1);
    return out;
}

QList<ConsistencyFinding> Consistency::checkAllPairwise(const QList<SettingStruct> &controls,
                                                        const BackgroundStruct &background,
                                                        const ConsistenceCheckStruct &checks,
                                                        int limit, const PreferencesStruct *prefs)
{
    const PreferencesStruct defaults;
    const PreferencesStruct &given = prefs ? *prefs : defaults;
    std::vector<Raw> raws;
    const int n = int(controls.size());
    for (int i = 0; i < n; ++i) {
        Address mine[MAX_ADDRESSES];
        const int countMine = addressesOf(controls.at(i), given, mine);
        for (int j = i + 1; j < n; ++j) {
            overlapPair(i, j, controls, checks, raws);
            if (!checks.check_3)
                continue;
            Address theirs[MAX_ADDRESSES];
            const int countTheirs = addressesOf(controls.at(j), given, theirs);
            for (int p = 0; p < countMine; ++p)
                for (int q = 0; q < countTheirs; ++q)
                    if (mine[p] == theirs[q])
                        raws.push_back({i, j, ConsistencyFinding::DuplicateOutput, mine[p]});
        }
        singleTests(i, controls.at(i), background, checks, raws);
    }
    return write(raws, controls, background, limit);
}
