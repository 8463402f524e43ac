// Seeded random requests and the engine's answers to them.
//   golden_requests record SEED COUNT [transcription]   request and answer lines
//   golden_requests check FILE                          answers again, counts differences
//   golden_requests csv SEED COUNT                      requests as a batch CSV file
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "answer.h"
#include "calculation.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: golden_requests record SEED COUNT [transcription]\n"
                 "       golden_requests check FILE\n"
                 "       golden_requests csv SEED COUNT\n");
    return 64;
}

uint64_t number(const char* text) { return std::strtoull(text, nullptr, 10); }

int record(uint64_t seed, uint64_t count, golden::Mix mix) {
    std::string line;
    for (uint64_t i = 0; i < count; ++i) {
        const golden::RequestLine request = golden::generateRequest(seed, i, mix);
        line = golden::formatLine(request, golden::answer(request));
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}

// True when an answer showed a year outside 1..9999 in the computed field:
// the answers that now give the out-of-range box instead.
bool showedYearOutOfRange(const golden::AnswerLine& answer) {
    if (answer.missing != 1 && answer.missing != 3) return false;
    const std::string& text = answer.fields[answer.missing == 1 ? 0 : 4];
    for (size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        const bool negative = i > 0 && text[i - 1] == '-';
        size_t end = i;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        const std::string digits = text.substr(i, end - i);
        if (negative || digits.size() > 4 || std::stoi(digits) == 0) return true;
        i = end;
    }
    return false;
}

int check(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "golden_requests: cannot read %s\n", path);
        return 2;
    }
    uint64_t lines = 0, differences = 0, outOfRange = 0;
    std::string line;
    golden::RequestLine request;
    golden::AnswerLine expected;
    while (std::getline(in, line)) {
        ++lines;
        if (!golden::parseLine(line, request, expected)) {
            std::fprintf(stderr, "line %llu: not a request line\n", static_cast<unsigned long long>(lines));
            return 2;
        }
        const golden::AnswerLine answer = golden::answer(request);
        const std::string got = golden::formatLine(request, answer);
        if (got != line && answer.text == OutOfRangeText && showedYearOutOfRange(expected)) {
            ++outOfRange;
        } else if (got != line) {
            if (++differences <= 10)
                std::fprintf(stderr, "line %llu:\n  expected %s\n  got      %s\n",
                             static_cast<unsigned long long>(lines), line.c_str(), got.c_str());
        }
    }
    std::printf("%llu requests, %llu differences, %llu answers that showed a year outside 1..9999 now "
                "refused\n",
                static_cast<unsigned long long>(lines), static_cast<unsigned long long>(differences),
                static_cast<unsigned long long>(outOfRange));
    return differences == 0 && lines > 0 ? 0 : 1;
}

// A field for the CSV: quoted when it must be.
void csvField(std::string& out, const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

int csv(uint64_t seed, uint64_t count) {
    std::string out = "id,event,years,months,days,birth,note\n";
    for (uint64_t i = 0; i < count; ++i) {
        const golden::RequestLine request = golden::generateRequest(seed, i, golden::Mix::Transcription);
        out += std::to_string(i + 1);
        for (const std::string& field : request.fields) {
            out += ',';
            csvField(out, field);
        }
        out += i % 3 == 0 ? ",\"St John, Holborn\"\n" : ",\n";
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "record") == 0) {
        golden::Mix mix = golden::Mix::Everything;
        if (argc == 5 && std::strcmp(argv[4], "transcription") == 0) mix = golden::Mix::Transcription;
        else if (argc != 4) return usage();
        return record(number(argv[2]), number(argv[3]), mix);
    }
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return check(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "csv") == 0) return csv(number(argv[2]), number(argv[3]));
    return usage();
}
