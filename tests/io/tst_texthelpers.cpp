// URL joining and the small text functions of the batch editor and the
// save dialogs, each checked against a table of cases.
#include "io/http.h"
#include "io/texthelpers.h"

#include <QtTest>

class TestTextHelpers : public QObject
{
    Q_OBJECT
private slots:
    void joinUrlCases()
    {
        const struct {
            const char *server, *link, *url;
        } cases[] = {
            {"http://127.0.0.1/", "/set?v=200", "http://127.0.0.1/set?v=200"}, // one slash dropped
            {"http://h/", "a/b", "http://h/a/b"},
            {"http://h", "/a", "http://h/a"},
            {"http://h:8080", "a", "http://h:8080/a"}, // one slash inserted
            {"http://h", "", "http://h/"},
            {"", "a", "/a"},
            {"http://h//", "//a", "http://h///a"}, // only one slash removed
        };
        for (const auto &c : cases)
            QCOMPARE(joinUrl(c.server, c.link), QString(c.url));
    }

    void extractFirstNumberCases()
    {
        const struct {
            QString text;
            bool found;
            int number; // untouched (-1) when nothing is found
        } cases[] = {
            {"Fader 12b 7", true, 12},
            {"x007y", true, 7},
            {"x-5", true, 5}, // the minus is not part of it
            {"Fader", false, -1},
            {"n99999999999", false, -1},                    // too large for int
            {QString::fromUtf8("\u0663\u0664"), false, -1}, // non-ASCII digits do not count
        };
        for (const auto &c : cases) {
            int value = -1;
            QCOMPARE(extractFirstNumber(c.text, value), c.found);
            QCOMPARE(value, c.number);
        }
    }

    void replaceNumbersCases()
    {
        const struct {
            const char *text;
            int number;
            const char *result;
        } cases[] = {
            {"Fader 1 / 10", 7, "Fader 7 / 7"},
            {"a1b22c333", 0, "a0b0c0"},
            {"Fader", 7, "Fader"},
            {"x1", -2, "x-2"},
            {"set?ch=3&v=%1", 4, "set?ch=4&v=%4"},
        };
        for (const auto &c : cases)
            QCOMPARE(replaceNumbers(c.text, c.number), QString(c.result));
    }

    void sanitizeFileNameCases()
    {
        const struct {
            const char *text, *result;
        } cases[] = {
            {"a b?c/d\"e'f\\g", "a_b_c_d_e_f_g"}, // every replaced character
            {"  ??", "____"},                     // every occurrence
            {"C:*x", "C:*x"},
            {"a\tü", "a\tü"},
        };
        for (const auto &c : cases)
            QCOMPARE(sanitizeFileName(QString::fromUtf8(c.text)), QString::fromUtf8(c.result));
    }
};

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
