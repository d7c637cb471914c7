// Build step: turns the committed byte-array declarations (payload/imp/*.imp,
// written by `grix-cli hex` from the built player) into the C++ table of the
// payload. Usage: embed_payload OUT.cpp NAME=FILE.imp...
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/byte_array_export.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: embed_payload OUT.cpp NAME=FILE.imp...\n";
        return 2;
    }
    try {
        std::ostringstream out;
        out << "// Generated from payload/imp/*.imp by embed_payload; do not edit.\n"
               "#include \"payload/payload.h\"\n\nnamespace grix {\nnamespace {\n";
        std::vector<std::pair<std::string, std::size_t>> table;
        for (int i = 2; i < argc; ++i) {
            const std::string arg = argv[i];
            const auto eq = arg.find('=');
            if (eq == std::string::npos) throw std::runtime_error("expected NAME=FILE: " + arg);
            const std::string name = arg.substr(0, eq);
            const std::string path = arg.substr(eq + 1);
            std::ifstream in(path, std::ios::binary);
            if (!in) throw std::runtime_error("cannot read " + path);
            std::stringstream text;
            text << in.rdbuf();
            std::vector<std::uint8_t> bytes;
            try {
                bytes = grix::ParseByteArrayDeclaration(text.str());
            } catch (const std::exception& e) {
                throw std::runtime_error(path + ": " + e.what());
            }
            out << "const std::uint8_t kFile" << table.size() << "[] = {";
            for (std::size_t k = 0; k < bytes.size(); ++k) {
                if (k % 24 == 0) out << "\n   ";
                char hex[8];
                std::snprintf(hex, sizeof hex, " 0x%02X,", bytes[k]);
                out << hex;
            }
            if (bytes.empty()) out << "0";
            out << "\n};\n";
            table.emplace_back(name, bytes.size());
        }
        out << "const PayloadFile kFiles[] = {\n";
        for (std::size_t i = 0; i < table.size(); ++i) {
            out << "    {\"" << table[i].first << "\", kFile" << i << ", " << table[i].second << "},\n";
        }
        out << "};\n}  // namespace\n\n"
               "std::span<const PayloadFile> PayloadFiles() { return kFiles; }\n\n"
               "}  // namespace grix\n";
        const std::string target = argv[1];
        std::ofstream file(target, std::ios::binary | std::ios::trunc);
        file << out.str();
        if (!file.flush()) throw std::runtime_error("cannot write " + target);
    } catch (const std::exception& e) {
        std::cerr << "embed_payload: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
