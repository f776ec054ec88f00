// The shared routines: the number key filter, the day-month-year date text, and the
// number texts of number fields under a decimal point and a decimal comma.
#include <gtest/gtest.h>

#include "com/error.h"
#include "com/locale.h"
#include "global.h"
#include "number_text.h"
#include "support.h"

namespace quillon {
namespace {

struct KeyCase {
    int caret;
    char key;
    const char* text;
    int decimals;
    int expected;
};

TEST(KeyFilter, JudgesSignSeparatorAndDigitsAgainstTheWholeText) {
    const KeyCase cases[] = {
        {0, '-', "12", 2, '-'},   {1, '-', "12", 2, 0},    {0, '-', "-12", 2, 0},     {2, '.', "12", 2, '.'},
        {0, '.', "12", 2, 0},     {1, '.', "-", 2, 0},     {1, '.', "1234", 2, 0},    {4, '.', "12.5", 2, 0},
        {1, '.', "12.5", 2, 0},   {2, '.', "12", 0, 0},    {5, '7', "12.34", 2, 0},   {1, '7', "12.34", 2, '7'},
        {4, '7', "12.3", 2, '7'}, {3, '7', "12.34", 2, 0}, {2, '7', "12.34", 2, '7'}, {0, 'a', "", 2, 0},
        {0, ' ', "", 2, 0},       {1, ',', "1", 2, 0},     {0, 22, "", 2, 0},         {3, '5', "123", 0, '5'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(validezTastaNumar(static_cast<int16_t>(c.caret), c.key, QString::fromLatin1(c.text),
                                    static_cast<uint8_t>(c.decimals)),
                  c.expected)
            << "key '" << c.key << "' at " << c.caret << " in \"" << c.text << "\" with " << c.decimals;
}

TEST(KeyFilter, LetsTheDecimalKeyThroughAsAPointUnderADecimalComma) {
    test::pinRomanian();
    EXPECT_EQ(separatorZecimal(), ",");
    // The edit text keeps "." whatever the locale, so a second separator is refused too.
    EXPECT_EQ(validezTastaNumar(2, '.', "12", 2), '.');
    EXPECT_EQ(validezTastaNumar(2, '.', "12.5", 2), 0);
    EXPECT_EQ(validezTastaNumar(2, ',', "12", 2), 0);
    test::pinEnglish();
}

TEST(FormatData, WritesDayMonthYearWithTheLocaleSeparator) {
    test::pinLocale(QLocale::German, QLocale::Germany);
    EXPECT_EQ(separatorData(), ".");
    EXPECT_EQ(formatData("05.03.2006"), "05.03.2006");
    EXPECT_EQ(formatData("1/12/2005"), "01.12.2005");
    test::pinEnglish();
    EXPECT_EQ(separatorData(), "/");
    EXPECT_EQ(formatData("05/03/2006"), "05/03/2006");
    EXPECT_EQ(formatData("2006-03-05"), "05/03/2006");
    EXPECT_EQ(formatData("05/03/06"), "05/03/2006");
    // The text is read in the user's order of day and month; the written one is always day first.
    com::UserLocale monthFirst = com::userLocale();
    monthFirst.dateOrder = "mdy";
    com::setUserLocale(monthFirst);
    EXPECT_EQ(formatData("05/03/2006"), "03/05/2006");
    EXPECT_EQ(formatData("2006-03-05"), "05/03/2006");
    test::pinEnglish();
}

TEST(FormatData, RefusesTextThatIsNoDate) {
    test::pinEnglish();  // day first: no thirteenth month
    for (const char* bad : {"", "abc", "31/02/2006", "12/13/2006", "1/2"}) {
        try {
            formatData(QString::fromLatin1(bad));
            ADD_FAILURE() << bad << " was taken for a date";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), com::errc::TypeMismatch) << bad;
        }
    }
}

TEST(FormatData, ReadsMonthNamesTimesAndTimeAlone) {
    test::pinEnglish();
    for (const char* text :
         {"3 Feb 2006", "3 february 2006", "3 FEB 2006", "3 feb. 2006", "Feb 3, 2006", "3-feb-06", "2006 Feb 3",
          "03/02/2006 10:30", "3 Feb 2006 10:30 PM", "2006-02-03T08:15:00", "10:30 3.2.2006"})
        EXPECT_EQ(formatData(QString::fromLatin1(text)), "03/02/2006") << text;
    EXPECT_EQ(formatData("30 Sept 2010"), "30/09/2010");
    EXPECT_EQ(formatData("May 1 2010"), "01/05/2010");
    // The months' names of the user's language, besides the English ones.
    test::pinRomanian();
    EXPECT_EQ(formatData("3 februarie 2006"), "03.02.2006");
    EXPECT_EQ(formatData("1 ianuarie 1999"), "01.01.1999");
    EXPECT_EQ(formatData("15 iun 2010"), "15.06.2010");
    EXPECT_EQ(formatData("15 iul 2010"), "15.07.2010");
    EXPECT_EQ(formatData("30 noiembrie 2010"), "30.11.2010");
    EXPECT_EQ(formatData("1 mai 2010"), "01.05.2010");
    EXPECT_EQ(formatData("May 1 2010"), "01.05.2010");
    test::pinEnglish();
    // A time alone is a time on day 0.
    EXPECT_EQ(formatData("10:30"), "30/12/1899");
    EXPECT_EQ(formatData("10:30:15 AM"), "30/12/1899");
}

TEST(FormatData, RefusesWhatNoConversionReads) {
    for (const char* bad : {"3 Fbr 2006", "3 Feb", "Feb 2006 3 4", "3 Feb Mar 2006", "30 februarie 2006", "25:00",
                            "10:61", "13:00 PM", "3 Feb 2006 x", "3+2+2006", "ma 3 2006", "10:30 10:30"}) {
        try {
            formatData(QString::fromLatin1(bad));
            ADD_FAILURE() << bad << " was taken for a date";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), com::errc::TypeMismatch) << bad;
        }
    }
}

TEST(NumberText, FormatsWithExactDecimalsRoundedHalfAwayFromZero) {
    test::pinEnglish();
    EXPECT_EQ(formatNumber(com::Variant(1234.5), 2, true), "1,234.50");
    EXPECT_EQ(formatNumber(com::Variant(1234.5), 2, false), "1234.50");
    EXPECT_EQ(formatNumber(com::Variant(2.675), 2, false), "2.68");  // not the binary 2.67499...
    EXPECT_EQ(formatNumber(com::Variant(-0.5), 0, false), "-1");
    EXPECT_EQ(formatNumber(com::Variant(-0.001), 2, false), "0.00");
    EXPECT_EQ(formatNumber(com::Variant(com::Currency::fromUnits(-12345678)), 2, true), "-1,234.57");
    EXPECT_EQ(formatNumber(com::Variant(int16_t{0}), 3, true), "0.000");
    EXPECT_EQ(formatNumber(com::Variant(999.995), 2, true), "1,000.00");
    EXPECT_EQ(formatNumber(com::Variant(1e20), 0, true), "100,000,000,000,000,000,000");
    test::pinRomanian();
    EXPECT_EQ(formatNumber(com::Variant(1234.5), 2, true), "1.234,50");
    EXPECT_EQ(editNumber(com::Variant(1234.5), 2), "1234.50");
    EXPECT_THROW(formatNumber(com::Variant("abc"), 2, true), com::Error);
    test::pinEnglish();
}

TEST(NumberText, ReadsEditTextWithAPointInEveryLocale) {
    test::pinRomanian();
    EXPECT_EQ(parseEditNumber("1.5"), com::Variant(com::Currency::fromUnits(15000)));
    EXPECT_EQ(parseEditNumber("-12"), com::Variant(com::Currency::fromInteger(-12)));
    for (const char* empty : {"", "-", ".", "-."}) EXPECT_EQ(parseEditNumber(empty), com::Variant(int16_t{0})) << empty;
    for (const char* bad : {"1,5", "1.2.3", "abc", "1-2", "1e5", " 1"}) EXPECT_FALSE(parseEditNumber(bad)) << bad;
    // Beyond the Currency's four decimals or range the number stays a Double.
    EXPECT_EQ(parseEditNumber("0.123456"), com::Variant(0.123456));
    EXPECT_EQ(parseEditNumber("99999999999999999999"), com::Variant(1e20));
    EXPECT_FALSE(parseEditNumber(QString(400, u'9')));  // beyond any number a field can hold
    // What a field displays reads back too; the edit text comes first.
    EXPECT_EQ(parseNumberText("1.234,507"), com::Variant(com::Currency::fromUnits(12345070)));
    EXPECT_EQ(parseNumberText("1.234"), com::Variant(com::Currency::fromUnits(12340)));
    EXPECT_FALSE(parseNumberText("1,2,3x"));
    test::pinEnglish();
}

}  // namespace
}  // namespace quillon
