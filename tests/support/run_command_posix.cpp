// Commands for tests, through the POSIX shell.
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/test_support.h"

namespace grix::test {

std::string ShellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

int RunCommand(const std::string& command, std::string* out, std::string* err) {
    TempDir capture;
    const std::string out_path = capture / "stdout";
    const std::string err_path = capture / "stderr";
    const std::string full =
        "(" + command + ") >" + ShellQuote(out_path) + " 2>" + ShellQuote(err_path);
    const int status = std::system(full.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    };
    if (out)
        *out = slurp(out_path);
    if (err)
        *err = slurp(err_path);
    if (status == -1)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace grix::test
