// The consistency tests of a show: controls that cover each other, controls
// that send to the same address, controls outside the background.
//
// Pure functions over records: findings are values naming the controls by
// their index in the list and by id; nothing here knows a widget.
//
// Promises:
// - Geometry is in stored background units, computed in 64 bits: no sum of
//   a position and a size can overflow.
// - A pair of controls is reported at most once per test, the control
//   earlier in the list first (a complete overlap names the outer control
//   first).
// - Numbers in the texts are the ones the user sees: universes, DMX
//   channels and MIDI channels from 1, MIDI notes as they are.
// - The whole-surface run is not quadratic: rectangles go through a grid,
//   outputs through a sort; its cost grows with the findings, not with the
//   number of pairs, and only the findings asked for get a text.
// - Group frames take no part in the overlap tests: they lie beneath the
//   controls they gather.
// - Findings come in list order of their first control: its pair findings
//   (by the other control), then its own ones.
// - OSC outputs are duplicates when they send the same address to the same
//   target, the show's default target filled in from the preferences given
//   (none given: the default preferences); two inputs are duplicates when
//   they listen to the same OSC address. Both are findings of test 3.
#pragma once

#include "model/settingstruct.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <climits>

#include <functional>

struct ConsistencyFinding {
    enum Severity { Information = 0, Warning = 1, Error = 2 };
    enum Test {
        CompleteOverlap = 1,
        PartialOverlap = 2,
        DuplicateOutput = 3,
        CompletelyOutside = 4,
        PartiallyOutside = 5
    };

    Severity severity = Information;
    Test test = CompleteOverlap;
    int first = -1;  // index in the list; -1: the control checked alone
    int second = -1; // -1: a finding about one control
    quint32 firstId = 0;
    quint32 secondId = 0;
    QString text;

    bool operator==(const ConsistencyFinding &o) const;
};

struct ConsistencyResult {
    QList<ConsistencyFinding> findings; // the first ones, up to the limit asked for
    int total = 0;                      // all that were found
    bool skipped = false;               // the progress callback asked to stop
};

// Told how far a run is (done of total steps); returning false stops it.
using ConsistencyProgress = std::function<bool(int done, int total)>;

class Consistency
{
    Q_DECLARE_TR_FUNCTIONS(Consistency)

public:
    // True when at least one of the five tests is switched on.
    static bool anyEnabled(const ConsistenceCheckStruct &checks);

    // The whole surface: every enabled test over every control and pair;
    // the first `limit` findings in list order come with their texts.
    static ConsistencyResult checkAll(const QList<SettingStruct> &controls,
                                      const BackgroundStruct &background,
                                      const ConsistenceCheckStruct &checks,
                                      const ConsistencyProgress &progress = {}, int limit = INT_MAX,
                                      const PreferencesStruct *prefs = nullptr);

    // One control (as the editor holds it) against the controls of the
    // show; the show's record with the same id is left out. Findings name
    // the candidate as `first` = -1 with its own id.
    static QList<ConsistencyFinding> checkOne(const SettingStruct &candidate,
                                              const QList<SettingStruct> &controls,
                                              const BackgroundStruct &background,
                                              const ConsistenceCheckStruct &checks,
                                              const PreferencesStruct *prefs = nullptr);

    // The same tests, pairwise over every pair in list order: the slow
    // reference the grid is measured and tested against.
    static QList<ConsistencyFinding> checkAllPairwise(const QList<SettingStruct> &controls,
                                                      const BackgroundStruct &background,
                                                      const ConsistenceCheckStruct &checks,
                                                      int limit = INT_MAX,
                                                      const PreferencesStruct *prefs = nullptr);

    // The single tests; each returns true and fills `finding` (text,
    // severity, test) when it finds something. For the pair tests, `a` is
    // named first.
    static bool completeOverlap(const SettingStruct &a, const SettingStruct &b,
                                ConsistencyFinding *finding);
    static bool partialOverlap(const SettingStruct &a, const SettingStruct &b,
                               ConsistencyFinding *finding);
    // Compares every output the two controls send on (the output, and the
    // second output of the types that have one), also across the two, and
    // their OSC inputs.
    static QList<ConsistencyFinding> duplicateOutputs(const SettingStruct &a,
                                                      const SettingStruct &b,
                                                      const PreferencesStruct *prefs = nullptr);
    static bool completelyOutside(const SettingStruct &a, const BackgroundStruct &background,
                                  ConsistencyFinding *finding);
    static bool partiallyOutside(const SettingStruct &a, const BackgroundStruct &background,
                                 ConsistencyFinding *finding);
};
