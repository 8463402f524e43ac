#include "entry.h"
#include "fuzz_support.h"

// "&Calc" on five fields as the window holds them, with any remembered fact.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    EntryRequest request;
    request.remembered = static_cast<MissingFact>(data[0] % 4);
    request.datesShown = true;
    std::array<std::string, 5> fields;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    for (size_t i = 0; i < 5; ++i) {
        size_t cut = rest.find('\0');
        fields[i].assign(rest.substr(0, cut));
        request.fields[i] = fields[i];
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    }
    EntryAnswer answer;
    answerRequest(request, answer);
    if (answer.box != EntryBox::None) {
        FUZZ_CHECK(answer.box == EntryBox::Calculation, "a shown date failed validation");
        // Only the field of a remembered fact may be shown again behind the box.
        for (size_t i : {size_t{1}, size_t{2}, size_t{3}})
            FUZZ_CHECK(answer.fields[i] == fields[i], "an age field changed although an error was shown");
    } else {
        FUZZ_CHECK(answer.missing != MissingFact::None, "calculated nothing without an error");
        int field = answer.missing == MissingFact::BirthDate ? 4 : answer.missing == MissingFact::EventDate ? 0 : -1;
        if (field >= 0) {
            const std::string& out = answer.fields[static_cast<size_t>(field)];
            FUZZ_CHECK(!out.empty() && out.front() != ' ' && out.back() != ' ', "result [%s]", out.c_str());
        } else {
            FUZZ_CHECK(answer.fields[1].size() >= 2 && answer.fields[1][1] != '-', "negative age [%s]",
                       answer.fields[1].c_str());
        }
    }
    return 0;
}
