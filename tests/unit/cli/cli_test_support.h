// Runs the quillark-calc program as a separate process and collects what it
// printed and its exit code. POSIX only: these tests run natively.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cli_test {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, std::string_view text) {
    std::ofstream file(path, std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// A private scratch directory for this test program, removed at exit.
class ScratchDir {
public:
    ScratchDir() {
        char pattern[] = "/tmp/quillark-cli-test-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (made == nullptr) std::abort();
        path_ = made;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline const std::string& scratchDir() {
    static const ScratchDir dir;
    return dir.path();
}

// The environment with the leak check of the sanitizers' builds turned off
// (ASAN_OPTIONS detect_leaks=0 after any options already set); other builds
// ignore it.
inline std::vector<std::string> environmentWithoutLeakCheck() {
    std::vector<std::string> variables;
    std::string asan = "ASAN_OPTIONS=detect_leaks=0";
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view text = *variable;
        if (text.substr(0, 13) == "ASAN_OPTIONS=") {
            asan = std::string(text) + ":detect_leaks=0";
        } else {
            variables.emplace_back(text);
        }
    }
    variables.push_back(asan);
    return variables;
}

// Runs the program with args and the given standard input. With onTerminal,
// standard error is a pseudo-terminal and what arrived there is returned in err.
// Without leakCheck, a sanitizers' build skips the leak check at its exit,
// which costs two thirds of a short run: for tests that run the program
// hundreds of times over paths that other runs check for leaks.
inline ProgramRun runCalc(const std::vector<std::string>& args, std::string_view input = {},
                          bool onTerminal = false, bool leakCheck = true) {
    const std::string inPath = scratchDir() + "/stdin";
    const std::string outPath = scratchDir() + "/stdout";
    const std::string errPath = scratchDir() + "/stderr";
    writeFile(inPath, input);

    int master = -1, slave = -1;
    if (onTerminal && openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return {};

    // posix_spawn, not fork: these tests run under the sanitizers, where
    // copying the test process's mappings for each start cost more than the
    // program's own run.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (onTerminal) {
        posix_spawn_file_actions_adddup2(&actions, slave, 2);
        posix_spawn_file_actions_addclose(&actions, master);
        posix_spawn_file_actions_addclose(&actions, slave);
    } else {
        posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    }
    std::string program = QUILLARK_CALC_PATH;
    std::vector<std::string> copies(args);
    std::vector<char*> argv{program.data()};
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> variables;
    std::vector<char*> environment;
    if (!leakCheck) {
        variables = environmentWithoutLeakCheck();
        for (std::string& variable : variables) environment.push_back(variable.data());
        environment.push_back(nullptr);
    }
    pid_t child = -1;
    const int spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(),
                                    leakCheck ? environ : environment.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        if (onTerminal) {
            close(master);
            close(slave);
        }
        return {};
    }

    ProgramRun run;
    if (onTerminal) {
        close(slave);
        char buffer[4096];
        for (;;) {
            const ssize_t n = read(master, buffer, sizeof buffer);
            if (n <= 0) break;  // EIO once the child has closed the terminal
            run.err.append(buffer, static_cast<size_t>(n));
        }
        close(master);
    }
    int status = 0;
    waitpid(child, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = readFile(outPath);
    if (!onTerminal) run.err = readFile(errPath);
    return run;
}

inline size_t countLines(const std::string& text) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

}  // namespace cli_test
