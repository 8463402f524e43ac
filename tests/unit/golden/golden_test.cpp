// The engine holds to the answers recorded for 20,000 seeded requests of
// every kind: any change in what the window would show is a difference here.
#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "answer.h"

namespace {

// The whole gzip file as text; empty when it cannot be read.
std::string readGzip(const char* path) {
    std::string text;
    gzFile file = gzopen(path, "rb");
    if (file == nullptr) return text;
    char buffer[1 << 16];
    for (int n; (n = gzread(file, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
    gzclose(file);
    return text;
}

TEST(RecordedAnswers, EveryRequestAnsweredAsRecorded) {
    const std::string file = readGzip(GOLDEN_ANSWERS_PATH);
    ASSERT_FALSE(file.empty()) << "cannot read " << GOLDEN_ANSWERS_PATH;
    std::string_view rest = file;
    size_t lines = 0, differences = 0, shownChecked = 0;
    golden::RequestLine request;
    golden::AnswerLine expected;
    while (!rest.empty()) {
        const size_t end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        ++lines;
        ASSERT_TRUE(golden::parseLine(line, request, expected)) << "line " << lines;
        const std::string got = golden::formatLine(request, golden::answer(request));
        if (got != line && ++differences <= 5)
            ADD_FAILURE() << "line " << lines << "\nexpected " << line << "\ngot      " << got;
        // The window's way gives the same answer whenever it reaches "&Calc".
        golden::AnswerLine shown;
        if (golden::answerShown(request, shown)) {
            ++shownChecked;
            const std::string gotShown = golden::formatLine(request, shown);
            if (gotShown != line && ++differences <= 5)
                ADD_FAILURE() << "line " << lines << " as shown\nexpected " << line << "\ngot      " << gotShown;
        }
    }
    EXPECT_EQ(lines, 20000u);
    EXPECT_GT(shownChecked, 5000u);
    EXPECT_EQ(differences, 0u);
}

// The file format keeps every byte of a text, whatever it holds.
TEST(RecordedAnswers, LinesKeepEveryByte) {
    golden::RequestLine request;
    for (int byte = 0; byte < 256; ++byte) request.fields[0] += static_cast<char>(byte);
    request.fields[1] = "\\x41\\";
    request.abbreviated = true;
    request.remembered = 3;
    golden::AnswerLine answer;
    answer.fields[4] = "\t\n";
    answer.missing = 2;
    answer.entryError = 4;
    answer.caption = "Data error";
    const std::string line = golden::formatLine(request, answer);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    golden::RequestLine readRequest;
    golden::AnswerLine readAnswer;
    ASSERT_TRUE(golden::parseLine(line, readRequest, readAnswer));
    EXPECT_EQ(golden::formatLine(readRequest, readAnswer), line);
    EXPECT_EQ(readRequest.fields, request.fields);
    EXPECT_EQ(readAnswer.fields, answer.fields);
    EXPECT_FALSE(golden::parseLine("a\tb", readRequest, readAnswer));
}

}  // namespace
