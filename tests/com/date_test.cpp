// The Automation date: serials, parts, leap days, ISO text and the locale's short date.
#include <gtest/gtest.h>

#include "com/date.h"
#include "com/error.h"
#include "com/variant.h"
#include "error_number.h"
#include "locale_fixture.h"

namespace {

using com::Date;
using com::DateParts;
using comtest::errorNumber;

void expectParts(const DateParts& p, int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    EXPECT_EQ(p.year, y);
    EXPECT_EQ(p.month, mo);
    EXPECT_EQ(p.day, d);
    EXPECT_EQ(p.hour, h);
    EXPECT_EQ(p.minute, mi);
    EXPECT_EQ(p.second, s);
}

TEST(Date, SerialZeroIsTheThirtiethOfDecember1899) {
    expectParts(Date(0).parts(), 1899, 12, 30);
    EXPECT_EQ(Date::fromYmd(1899, 12, 30).serial(), 0.0);
    EXPECT_EQ(Date::fromYmd(1900, 1, 1).serial(), 2.0);
    EXPECT_EQ(Date::fromYmd(1970, 1, 1).serial(), 25569.0);
    EXPECT_EQ(Date::fromYmd(2000, 1, 1).serial(), 36526.0);
    EXPECT_EQ(Date::fromParts({2000, 1, 1, 12, 0, 0}).serial(), 36526.5);
}

TEST(Date, PartsRoundTrip) {
    const DateParts samples[] = {{100, 1, 1, 0, 0, 0},    {1899, 12, 29, 6, 0, 0},    {1899, 12, 30, 23, 59, 59},
                                 {1900, 2, 28, 13, 5, 7}, {1999, 12, 31, 23, 59, 59}, {2024, 2, 29, 0, 0, 1},
                                 {2026, 7, 15, 8, 30, 0}, {9999, 12, 31, 23, 59, 59}};
    for (const auto& p : samples) {
        SCOPED_TRACE(Date::fromParts(p).toIso());
        const DateParts back = Date::fromParts(p).parts();
        expectParts(back, p.year, p.month, p.day, p.hour, p.minute, p.second);
        EXPECT_EQ(Date::fromIso(Date::fromParts(p).toIso()), Date::fromParts(p));
    }
}

TEST(Date, NegativeSerialsCountTheTimeAwayFromZero) {
    expectParts(Date(-1).parts(), 1899, 12, 29);
    expectParts(Date(-1.25).parts(), 1899, 12, 29, 6);
    expectParts(Date(-2.5).parts(), 1899, 12, 28, 12);
    expectParts(Date(-0.5).parts(), 1899, 12, 30, 12);
    EXPECT_EQ(Date::fromParts({1899, 12, 29, 6, 0, 0}).serial(), -1.25);
    EXPECT_LT(Date::fromYmd(1800, 1, 1), Date(0));
    EXPECT_EQ(Date::fromYmd(1800, 1, 1).toIso(), "1800-01-01 00:00:00");
}

TEST(Date, PartsRoundToTheNearestSecondIntoTheNextDay) {
    EXPECT_EQ(Date(2 - 0.1 / 86400).toIso(), "1900-01-01 00:00:00");
    // A negative serial's time counts away from zero: just before midnight of its day.
    EXPECT_EQ(Date(-(1 - 0.1 / 86400)).toIso(), "1899-12-31 00:00:00");
    EXPECT_EQ(Date(-(2 - 0.1 / 86400)).toIso(), "1899-12-30 00:00:00");
}

TEST(Date, LeapDays) {
    EXPECT_EQ(Date::fromYmd(2024, 2, 29).toIso(), "2024-02-29 00:00:00");
    EXPECT_EQ(Date::fromYmd(2000, 2, 29).toIso(), "2000-02-29 00:00:00");
    EXPECT_EQ(Date::fromYmd(2024, 3, 1).serial() - Date::fromYmd(2024, 2, 28).serial(), 2.0);
    EXPECT_EQ(Date::fromYmd(2023, 3, 1).serial() - Date::fromYmd(2023, 2, 28).serial(), 1.0);
    for (int year : {2023, 1900, 2100}) {
        SCOPED_TRACE(year);
        EXPECT_EQ(errorNumber([&] { (void)Date::fromYmd(year, 2, 29); }), com::errc::InvalidProcedureCall);
        EXPECT_FALSE(Date::tryFromParts({year, 2, 29, 0, 0, 0}));
    }
}

TEST(Date, DatesThatDoNotExistRaise) {
    const DateParts bad[] = {{2023, 4, 31, 0, 0, 0}, {2023, 13, 1, 0, 0, 0}, {2023, 0, 1, 0, 0, 0},
                             {2023, 1, 0, 0, 0, 0},  {2023, 1, 1, 24, 0, 0}, {2023, 1, 1, 0, 60, 0},
                             {2023, 1, 1, 0, 0, 60}, {2023, 1, 1, -1, 0, 0}, {10000, 1, 1, 0, 0, 0}};
    for (const auto& p : bad) {
        const auto e = comtest::errorOf([&] { (void)Date::fromParts(p); });
        ASSERT_TRUE(e);
        EXPECT_EQ(e->number(), com::errc::InvalidProcedureCall);
        EXPECT_NE(e->description().find(std::to_string(p.year)), std::string::npos) << e->description();
    }
}

TEST(Date, IsoTextAlwaysHasTheTime) {
    EXPECT_EQ(Date::fromYmd(2026, 1, 5).toIso(), "2026-01-05 00:00:00");
    EXPECT_EQ(Date::fromParts({2026, 1, 5, 7, 8, 9}).toIso(), "2026-01-05 07:08:09");
    EXPECT_EQ(Date::fromIso("2026-01-05"), Date::fromYmd(2026, 1, 5));
    EXPECT_EQ(Date::fromIso("2026-01-05T07:08:09"), Date::fromParts({2026, 1, 5, 7, 8, 9}));
    // Text comparison orders dates.
    EXPECT_LT(Date::fromParts({2026, 1, 5, 7, 8, 9}).toIso(), Date::fromYmd(2026, 1, 6).toIso());
    for (const char* text : {"", "2026-02-30", "2026-01-05 ", "2026-01-05x", "2026-01-05 25:00:00", "05/01/2026",
                             "2026-01-05 07:08", "2026-01-05Z07:08:09", "not a date"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(errorNumber([&] { (void)Date::fromIso(text); }), com::errc::TypeMismatch);
    }
}

class DateText : public comtest::PinnedLocale {};

TEST_F(DateText, ShortDateFollowsTheLocale) {
    pin(comtest::romanian());
    const Date d = Date::fromParts({2026, 3, 4, 0, 0, 0});
    EXPECT_EQ(com::Variant(d).toString(), "04.03.2026");
    EXPECT_EQ(com::Variant("04.03.2026").toDate(), d);
    EXPECT_EQ(com::Variant("2026-03-04").toDate(), d);
    EXPECT_EQ(com::Variant(Date::fromParts({2026, 3, 4, 14, 5, 0})).toString(), "04.03.2026 14:05:00");
    EXPECT_EQ(errorNumber([] { (void)com::Variant("31.02.2026").toDate(); }), com::errc::TypeMismatch);
    EXPECT_EQ(errorNumber([] { (void)com::Variant("sometime").toDate(); }), com::errc::TypeMismatch);
    pin(comtest::english());
    EXPECT_EQ(com::Variant(d).toString(), "03/04/2026");
    EXPECT_EQ(com::Variant("03/04/2026").toDate(), d);
}

// The one reader of text as a date: Variant's, and through it the controls' and the reports'.
TEST_F(DateText, ReadsTheMonthNamesOfTheLocaleAndOfEnglish) {
    pin(comtest::romanian());
    const Date february3 = Date::fromYmd(2006, 2, 3);
    for (const char* text : {"3 februarie 2006", "3 February 2006", "3 feb. 2006", "3 FEB 2006", "Feb 3, 2006",
                             "3-feb-06", "2006 Feb 3", "3Feb2006", "3.2.2006", "03/02/2006", "3-2-06", "2006-02-03"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(com::Variant(text).toDate(), february3);
    }
    EXPECT_EQ(com::Variant("1 ianuarie 1999").toDate(), Date::fromYmd(1999, 1, 1));
    EXPECT_EQ(com::Variant("15 iun 2010").toDate(), Date::fromYmd(2010, 6, 15));
    EXPECT_EQ(com::Variant("15 iul. 2010").toDate(), Date::fromYmd(2010, 7, 15));
    EXPECT_EQ(com::Variant("30 noie 2010").toDate(), Date::fromYmd(2010, 11, 30));
    EXPECT_EQ(com::Variant("30 Sept 2010").toDate(), Date::fromYmd(2010, 9, 30));
    EXPECT_EQ(com::Variant("1 mai 2010").toDate(), Date::fromYmd(2010, 5, 1));
    EXPECT_EQ(com::Variant("May 1 2010").toDate(), Date::fromYmd(2010, 5, 1));
    pin(comtest::english());
    EXPECT_EQ(com::Variant("3 February 2006").toDate(), february3);
    // Romanian names are the Romanian locale's only.
    EXPECT_EQ(errorNumber([] { (void)com::Variant("3 februarie 2006").toDate(); }), com::errc::TypeMismatch);
}

TEST_F(DateText, ReadsATimeBeforeOrAfterTheDateOrAlone) {
    pin(comtest::romanian());
    const Date afternoon = Date::fromParts({2026, 3, 4, 14, 5, 0});
    for (const char* text : {"04.03.2026 14:05:00", "2026-03-04T14:05:00", "2026-03-04 14:05", "14:05 4.3.2026",
                             "4 mar 2026 2:05 PM", " 4/3/2026   14:05 "}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(com::Variant(text).toDate(), afternoon);
    }
    EXPECT_EQ(com::Variant("4.3.2026 2 PM").toDate(), Date::fromParts({2026, 3, 4, 14, 0, 0}));
    EXPECT_EQ(com::Variant("4.3.2026 12 AM").toDate(), Date::fromYmd(2026, 3, 4));
    // A time alone is on day 0.
    EXPECT_EQ(com::readDateText("10:30 PM"), Date::fromParts({1899, 12, 30, 22, 30, 0}));
    EXPECT_EQ(com::readDateText("10:30:15"), Date::fromParts({1899, 12, 30, 10, 30, 15}));
    for (const char* bad : {"", "sometime", "25:00", "10:61", "13:00 PM", "10:30 10:30", "3 Feb 2006 x", "3+2+2006",
                            "ma 3 2006", "3 Feb", "3 Feb Mar 2006", "30 februarie 2006", "3 Fbr 2006", "01.03",
                            "2006-13-01", "31.02.2026", "2026-01-05Z07:08:09"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(com::readDateText(bad).has_value());
        EXPECT_EQ(errorNumber([&] { (void)com::Variant(bad).toDate(); }), com::errc::TypeMismatch);
    }
}

TEST_F(DateText, NumbersComeInTheLocaleOrderUnlessTheYearComesFirst) {
    pin(comtest::romanian());
    EXPECT_EQ(com::Variant("5/3/2006").toDate(), Date::fromYmd(2006, 3, 5));
    EXPECT_EQ(com::Variant("05.03.29").toDate(), Date::fromYmd(2029, 3, 5));
    EXPECT_EQ(com::Variant("05.03.30").toDate(), Date::fromYmd(1930, 3, 5));
    EXPECT_EQ(com::Variant("2006/03/05").toDate(), Date::fromYmd(2006, 3, 5));
    pin(comtest::english());
    EXPECT_EQ(com::Variant("5/3/2006").toDate(), Date::fromYmd(2006, 5, 3));
    EXPECT_EQ(com::Variant("2006-03-05").toDate(), Date::fromYmd(2006, 3, 5));
    EXPECT_EQ(errorNumber([] { (void)com::Variant("13/5/2006").toDate(); }), com::errc::TypeMismatch);
    pin({".", ",", "-", "ymd"});
    EXPECT_EQ(com::Variant("06-03-05").toDate(), Date::fromYmd(2006, 3, 5));
}

}  // namespace
