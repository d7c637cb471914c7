#include "builder/descriptors.h"

#include "core/errors.h"
#include "core/file.h"

#include <string_view>

namespace grix {
namespace {

std::string MidletLine(const std::string& name) {
    // The value goes in as typed; the build refuses names with a comma,
    // which phones take for the end of the MIDlet's name.
    return "MIDlet-1: " + name + ", /logo.png, TGrixMIDlet\r\n";
}

}  // namespace

std::string JarUrl(const std::string& jar_name) {
    // What RFC 3986 lets stand in a path segment stays; everything else,
    // the bytes of non-ASCII letters included, becomes %XX.
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : jar_name) {
        const auto u = static_cast<unsigned char>(c);
        const bool plain = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') ||
                           std::string_view("-._~!$&'()*+,;=@").find(c) != std::string_view::npos;
        if (plain) {
            url += c;
        } else {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        }
    }
    return url;
}

std::string ManifestText(const std::string& name, const std::string& vendor) {
    return "Manifest-Version: 1.0\r\n"
           "MicroEdition-Configuration: CLDC-1.0\r\n"
           "MIDlet-Name: " + name + "\r\n"
           "MIDlet-Vendor: " + vendor + "\r\n" +
           MidletLine(name) +
           "MIDlet-Version: " + kSuiteVersion + "\r\n"
           "MIDlet-Icon: /logo.png\r\n"
           "MicroEdition-Profile: MIDP-1.0\r\n";
}

std::string JadText(const std::string& name, const std::string& vendor, const std::string& profile,
                    std::int64_t jar_size) {
    return "MIDlet-Name: " + name + "\r\n"
           "MIDlet-Version: " + kSuiteVersion + "\r\n"
           "MIDlet-Vendor: " + vendor + "\r\n"
           "MicroEdition-Profile: " + profile + "\r\n"
           "MicroEdition-Configuration: CLDC-1.0\r\n"
           "MIDlet-Icon: /logo.png\r\n"
           "MIDlet-Jar-URL: " + JarUrl(name + ".jar") + "\r\n"
           "MIDlet-Jar-Size: " + std::to_string(jar_size) + "\r\n" +
           MidletLine(name);
}

void WriteTextFile(const std::string& text, const std::string& path, const LogSink& log) {
    try {
        File file = File::Open(path, OpenMode::Replace);
        file.WriteAll(text.data(), text.size());
        file.Close();
    } catch (const std::exception& e) {
        throw Error(CannotSaveMessage(path, e));
    }
    if (log) log("Create file " + path + ", size " + std::to_string(text.size()) + " bytes");
}

}  // namespace grix
