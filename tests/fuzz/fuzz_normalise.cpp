#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (text.find('\0') != std::string_view::npos) return 0;  // a window text holds no NUL
    EntryCode code = EntryCode::None;
    std::string out = normaliseDateText(text, code);
    FUZZ_CHECK(code == EntryCode::None || code == EntryCode::FourDigitYear, "code %d", static_cast<int>(code));
    if (code == EntryCode::None) {
        FUZZ_CHECK(isCanonical(out), "not canonical: [%s]", out.c_str());
        // Normalising a canonical date with numeric parts changes nothing
        // (other parts are junk the display rejects).
        std::string_view date = beforeTag(out);
        while (!date.empty() && date.back() == ' ') date.remove_suffix(1);
        bool numeric = true;
        for (char c : date) numeric = numeric && ((c >= '0' && c <= '9') || c == '/');
        if (!numeric || out.find("to") != std::string::npos || out.find("or") != std::string::npos) return 0;
        std::string again = normaliseDateText(out, code);
        FUZZ_CHECK(code == EntryCode::None && again == out, "not a fixed point: [%s] -> [%s]", out.c_str(), again.c_str());
    } else {
        FUZZ_CHECK(out.find('[') == std::string::npos || text.find('[') != text.rfind('['),
                   "tag kept on error: [%s]", out.c_str());
    }
    return 0;
}
