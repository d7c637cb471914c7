// Commands for tests, through cmd.exe. The command line goes over as UTF-16
// (_wsystem), so that Cyrillic arguments reach the program unchanged.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "core/paths.h"
#include "support/test_support.h"

namespace grix::test {

std::string ShellQuote(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += "\\\"";
        else
            out += c;
    }
    return out + "\"";
}

int RunCommand(const std::string& command, std::string* out, std::string* err) {
    TempDir capture;
    const std::string out_path = capture / "stdout";
    const std::string err_path = capture / "stderr";
    const std::string full = command + " >" + ShellQuote(out_path) + " 2>" + ShellQuote(err_path);
    // cmd.exe drops the first and the last quote of a line that starts with
    // one; an outer pair keeps the command's own quotes whole.
    const std::wstring line = NativePath("\"" + full + "\"").wstring();
    // -1 is cmd.exe failing to start at all (wine now and then under load),
    // never an answer of the program: that is tried again.
    int status = -1;
    for (int attempt = 0; attempt < 3 && status == -1; ++attempt)
        status = _wsystem(line.c_str());
    // Programs write their lines in text mode here ("\r\n"); tests compare
    // the lines, as on every other system.
    auto slurp = [](const std::string& path) {
        std::ifstream in(NativePath(path), std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        std::string text = ss.str();
        std::string lines;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
                lines += text[i];
        }
        return lines;
    };
    if (out)
        *out = slurp(out_path);
    if (err)
        *err = slurp(err_path);
    return status;
}

}  // namespace grix::test
