#include "builder/descriptors.h"

#include "core/errors.h"
#include "core/file.h"

namespace grix {
namespace {

std::string MidletLine(const std::string& name) {
    // The value goes in as typed: a comma in the name stays, as phones read
    // the last two fields from the right.
    return "MIDlet-1: " + name + ", /logo.png, TGrixMIDlet\r\n";
}

}  // namespace

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
           "MIDlet-Jar-URL: " + name + ".jar\r\n"
           "MIDlet-Jar-Size: " + std::to_string(jar_size) + "\r\n" +
           MidletLine(name);
}

void WriteTextFile(const std::string& text, const std::string& path, const LogSink& log) {
    try {
        File file = File::Open(path, OpenMode::Replace);
        file.WriteAll(text.data(), text.size());
        file.Close();
    } catch (const std::exception&) {
        throw Error("Can not create/save file " + path);
    }
    if (log) log("Create file " + path + ", size " + std::to_string(text.size()) + " bytes");
}

}  // namespace grix
