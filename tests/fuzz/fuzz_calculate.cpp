#include "fuzz_support.h"
#include "memory_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    MissingPart = static_cast<MissingFact>(data[0] % 4);
    EntryError = 0;
    MemoryDialog dialog;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    for (size_t i = 0; i < 5; ++i) {
        size_t cut = rest.find('\0');
        dialog.fields[i].assign(rest.substr(0, cut));
        rest = cut == std::string_view::npos ? std::string_view{} : rest.substr(cut + 1);
    }
    const auto before = dialog.fields;
    calculate(dialog);
    FUZZ_CHECK(dialog.boxes.size() <= 1, "%zu boxes", dialog.boxes.size());
    if (!dialog.boxes.empty()) {
        FUZZ_CHECK(dialog.fields == before, "a field changed although an error was shown");
        FUZZ_CHECK(dialog.focusMoves == 1, "focus moves %d", dialog.focusMoves);
    } else {
        FUZZ_CHECK(MissingPart != MissingFact::None, "calculated nothing without an error");
        int field = MissingPart == MissingFact::BirthDate ? 4 : MissingPart == MissingFact::EventDate ? 0 : -1;
        if (field >= 0) {
            const std::string& out = dialog.fields[static_cast<size_t>(field)];
            FUZZ_CHECK(!out.empty() && out.front() != ' ' && out.back() != ' ', "result [%s]", out.c_str());
        } else {
            FUZZ_CHECK(dialog.fields[1].size() >= 2 && dialog.fields[1][1] != '-', "negative age [%s]",
                       dialog.fields[1].c_str());
        }
    }
    return 0;
}
