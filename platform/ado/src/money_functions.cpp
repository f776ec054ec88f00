#include <cstdint>
#include <limits>
#include <string>

#include "com/currency.h"
#include "com/error.h"
#include "com/variant.h"
#include "money_sql.h"

namespace ado::detail {

namespace {

void moneyText(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_NULL) return sqlite3_result_null(ctx);
    try {
        const int64_t units =
            type == SQLITE_FLOAT ? com::roundHalfEven(sqlite3_value_double(argv[0])) : sqlite3_value_int64(argv[0]);
        const std::string text = com::Variant(com::Currency::fromUnits(units)).toString();
        sqlite3_result_text(ctx, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    } catch (const com::Error& e) {
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

int64_t unitsOf(sqlite3_value* v) {
    return sqlite3_value_type(v) == SQLITE_FLOAT ? com::roundHalfEven(sqlite3_value_double(v)) : sqlite3_value_int64(v);
}

// money * money, exact, rounded half to even to the ten-thousandth.
void moneyProduct(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    try {
        const __int128 product = static_cast<__int128>(unitsOf(argv[0])) * unitsOf(argv[1]);
        __int128 quotient = product / com::Currency::Scale;
        const __int128 rest = product % com::Currency::Scale;
        const __int128 twice = (rest < 0 ? -rest : rest) * 2;
        if (twice > com::Currency::Scale || (twice == com::Currency::Scale && quotient % 2 != 0))
            quotient += product < 0 ? -1 : 1;
        if (quotient > std::numeric_limits<int64_t>::max() || quotient < std::numeric_limits<int64_t>::min())
            return sqlite3_result_error(ctx, "Overflow in a money product.", -1);
        sqlite3_result_int64(ctx, static_cast<int64_t>(quotient));
    } catch (const com::Error& e) {
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

// Money rounded to `digits` decimals (0 to 4), half to even.
void moneyRound(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_null(ctx);
    const int64_t digits = sqlite3_value_int64(argv[1]);
    if (digits < 0) return sqlite3_result_error(ctx, "Invalid procedure call: Round with negative decimals.", -1);
    try {
        const int64_t units = unitsOf(argv[0]);
        if (digits >= 4) return sqlite3_result_int64(ctx, units);
        int64_t step = 1;
        for (int64_t d = digits; d < 4; ++d) step *= 10;
        int64_t quotient = units / step;
        const int64_t rest = units % step;
        const int64_t twice = (rest < 0 ? -rest : rest) * 2;
        if (twice > step || (twice == step && quotient % 2 != 0)) quotient += units < 0 ? -1 : 1;
        // Rounded up past the largest amount money holds.
        int64_t rounded = 0;
        if (__builtin_mul_overflow(quotient, step, &rounded)) com::raise(com::errc::Overflow, "ado");
        sqlite3_result_int64(ctx, rounded);
    } catch (const com::Error& e) {
        sqlite3_result_error(ctx, e.description().c_str(), -1);
    }
}

}  // namespace

int registerMoneyFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    int rc = sqlite3_create_function_v2(db, "CstrMoney", 1, flags, nullptr, moneyText, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "MoneyMul", 2, flags, nullptr, moneyProduct, nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "MoneyRound", 2, flags, nullptr, moneyRound, nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace ado::detail
