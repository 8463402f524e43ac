// The application manifests as Windows reads them: the RT_MANIFEST resource
// with id 1 of each built program, loaded from the executable file itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The manifest text of the program at a Unix path (mapped by Wine), or "".
std::string manifestOf(std::string path) {
    path = "Z:" + path;
    for (char& c : path) c = c == '/' ? '\\' : c;
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr) return "";
    std::string text;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {  // id 1, RT_MANIFEST
        if (const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)))) {
            text.assign(bytes, SizeofResource(module, found));
        }
    }
    FreeLibrary(module);
    return text;
}

const char* const Gui = QUILLARK_EXE;
const char* const Calc = QUILLARK_CALC_EXE;

struct ManifestCase {
    const char* name;
    const char* program;
    const char* text;  // must appear once in the manifest ...
    bool expected;     // ... or not at all
} const Cases[] = {
    {"window: Common Controls 6", Gui, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", true},
    {"window: runs as invoker", Gui, "level=\"asInvoker\"", true},
    {"window: Windows 7", Gui, "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", true},
    {"window: Windows 8", Gui, "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", true},
    {"window: Windows 8.1", Gui, "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", true},
    {"window: Windows 10 and 11", Gui, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", true},
    {"window: DPI aware", Gui, "<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
     true},
    {"console: runs as invoker", Calc, "level=\"asInvoker\"", true},
    {"console: Windows 7", Calc, "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", true},
    {"console: Windows 10 and 11", Calc, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", true},
    {"console: no Common Controls", Calc, "Common-Controls", false},
    {"console: no DPI setting", Calc, "dpiAware", false},
};

TEST(Manifest, EachProgramDeclaresWhatItNeeds) {
    for (const ManifestCase& c : Cases) {
        const std::string manifest = manifestOf(c.program);
        ASSERT_FALSE(manifest.empty()) << c.name << ": expected a manifest in " << c.program << ", got none";
        const size_t first = manifest.find(c.text);
        EXPECT_EQ(first != std::string::npos, c.expected)
            << c.name << ": expected \"" << c.text << "\" " << (c.expected ? "present" : "absent");
        if (first != std::string::npos) {
            EXPECT_EQ(manifest.find(c.text, first + 1), std::string::npos) << c.name << ": declared twice";
        }
    }
}

}  // namespace
