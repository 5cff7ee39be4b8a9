// URL joining and the small text functions of the batch editor and the
// save dialogs.
#include "http.h"
#include "texthelpers.h"

#include <QtTest>

class TestTextHelpers : public QObject
{
    Q_OBJECT
private slots:
    void joinUrlCases_data();
    void joinUrlCases();
    void extractFirstNumberCases_data();
    void extractFirstNumberCases();
    void replaceNumbersCases_data();
    void replaceNumbersCases();
    void sanitizeFileNameCases_data();
    void sanitizeFileNameCases();
};

void TestTextHelpers::joinUrlCases_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("url");
    QTest::newRow("slash both sides: one dropped") << "http://127.0.0.1/"
                                                   << "/set?v=200"
                                                   << "http://127.0.0.1/set?v=200";
    QTest::newRow("slash on server only") << "http://h/"
                                          << "a/b"
                                          << "http://h/a/b";
    QTest::newRow("slash on link only") << "http://h"
                                        << "/a"
                                        << "http://h/a";
    QTest::newRow("no slash: one inserted") << "http://h:8080"
                                            << "a"
                                            << "http://h:8080/a";
    QTest::newRow("server slash, empty link") << "http://h/"
                                              << ""
                                              << "http://h/";
    QTest::newRow("no slash, empty link") << "http://h"
                                          << ""
                                          << "http://h/";
    QTest::newRow("empty server, plain link") << ""
                                              << "a"
                                              << "/a";
    QTest::newRow("empty server, slash link") << ""
                                              << "/a"
                                              << "/a";
    QTest::newRow("both empty") << ""
                                << ""
                                << "/";
    QTest::newRow("only one slash removed") << "http://h//"
                                            << "//a"
                                            << "http://h///a";
}

void TestTextHelpers::joinUrlCases()
{
    QFETCH(QString, server);
    QFETCH(QString, link);
    QFETCH(QString, url);
    QCOMPARE(joinUrl(server, link), url);
}

void TestTextHelpers::extractFirstNumberCases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("number");
    QTest::newRow("digits then letter") << "12a" << true << 12;
    QTest::newRow("inside a name") << "Fader 12b 7" << true << 12;
    QTest::newRow("digits at the end") << "Channel 512" << true << 512;
    QTest::newRow("only digits") << "3" << true << 3;
    QTest::newRow("leading zeros") << "x007y" << true << 7;
    QTest::newRow("minus is not part of it") << "x-5" << true << 5;
    QTest::newRow("no digits") << "Fader" << false << -1;
    QTest::newRow("empty") << "" << false << -1;
    QTest::newRow("too large for int") << "n99999999999" << false << -1;
    QTest::newRow("non-ASCII digits do not count")
        << QString::fromUtf8("\u0663\u0664") << false << -1;
}

void TestTextHelpers::extractFirstNumberCases()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(int, number);
    int value = -1;
    QCOMPARE(extractFirstNumber(text, value), found);
    QCOMPARE(value, number); // untouched when nothing is found
}

void TestTextHelpers::replaceNumbersCases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("result");
    QTest::newRow("every run") << "Fader 1 / 10" << 7 << "Fader 7 / 7";
    QTest::newRow("adjacent runs") << "a1b22c333" << 0 << "a0b0c0";
    QTest::newRow("no digits") << "Fader" << 7 << "Fader";
    QTest::newRow("empty") << "" << 7 << "";
    QTest::newRow("larger number") << "ch 9" << 1024 << "ch 1024";
    QTest::newRow("negative number") << "x1" << -2 << "x-2";
    QTest::newRow("link with query") << "set?ch=3&v=%1" << 4 << "set?ch=4&v=%4";
}

void TestTextHelpers::replaceNumbersCases()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(QString, result);
    QCOMPARE(replaceNumbers(text, number), result);
}

void TestTextHelpers::sanitizeFileNameCases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("blank and question mark") << "My Show?"
                                             << "My_Show_";
    QTest::newRow("every replaced character") << "a b?c/d\"e'f\\g"
                                              << "a_b_c_d_e_f_g";
    QTest::newRow("every occurrence") << "  ??"
                                      << "____";
    QTest::newRow("colon and star kept") << "C:*x"
                                         << "C:*x";
    QTest::newRow("tab and umlaut kept") << QString::fromUtf8("a\tü") << QString::fromUtf8("a\tü");
    QTest::newRow("empty") << ""
                           << "";
}

void TestTextHelpers::sanitizeFileNameCases()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(sanitizeFileName(text), result);
}

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "tst_texthelpers.moc"
