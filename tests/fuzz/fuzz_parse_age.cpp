#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view all(reinterpret_cast<const char*>(data), size);
    // Three texts separated by NUL bytes (the fields never hold one).
    size_t a = all.find('\0');
    std::string_view years = all.substr(0, a);
    std::string_view rest = a == std::string_view::npos ? std::string_view{} : all.substr(a + 1);
    size_t b = rest.find('\0');
    std::string_view months = rest.substr(0, b);
    std::string_view days = b == std::string_view::npos ? std::string_view{} : rest.substr(b + 1);
    AgeSpec age = parseAge(years, months, days);
    FUZZ_CHECK(age.rangeLow >= 0 && age.rangeHigh >= 0 && age.atLeast >= 0, "negative bound");
    FUZZ_CHECK(age.rangeLow <= age.rangeHigh, "range %d-%d", age.rangeLow, age.rangeHigh);
    FUZZ_CHECK(age.kind == AgeKind::Range || (age.rangeLow == 0 && age.rangeHigh == 0), "bounds outside a range");
    FUZZ_CHECK(age.kind == AgeKind::AtLeast || age.atLeast == 0, "lower bound outside AtLeast");
    FUZZ_CHECK(age.months == leadingNumber(months) && age.days == leadingNumber(days), "months/days");
    FUZZ_CHECK(!age.monthsGiven || age.kind == AgeKind::Plain, "months given with a range");
    std::string text = numberText(leadingNumber(years));
    FUZZ_CHECK(leadingNumber(text) == leadingNumber(years), "numberText round trip [%s]", text.c_str());
    return 0;
}
