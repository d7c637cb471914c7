#include "builder/suite_jar.h"

#include "archive/base_archiver.h"
#include "core/paths.h"

namespace grix {

void AddSuiteEntries(TBraskBaseArchiver& archive, const std::string& staging,
                     const std::string& manifest_folder,
                     const std::vector<std::string>& file_names) {
    archive.BeginUpdate();
    try {
        archive.RegisterEntry(manifest_folder, "META-INF/");
        archive.RegisterEntry(JoinPath(manifest_folder, "MANIFEST.MF"), "META-INF/MANIFEST.MF");
        for (const std::string& name : file_names)
            archive.RegisterEntry(JoinPath(staging, name), name);
        archive.EndUpdate();
    } catch (...) {
        archive.CancelUpdate();
        throw;
    }
}

}  // namespace grix
