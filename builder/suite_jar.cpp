#include "builder/suite_jar.h"

#include "archive/base_archiver.h"
#include "archive/brask_types.h"
#include "core/paths.h"

namespace grix {

void AddSuiteEntries(TBraskBaseArchiver& archive, const std::string& staging,
                     const std::string& manifest_folder) {
    // The walk registers both manifest entries again; an entry registered
    // twice keeps its first place, so they stay in front.
    archive.BeginUpdate();
    try {
        archive.RegisterEntry(manifest_folder, "META-INF/");
        archive.RegisterEntry(JoinPath(manifest_folder, "MANIFEST.MF"), "META-INF/MANIFEST.MF");
        archive.SetBaseDir(staging);
        archive.AddFromBaseDir("*.*", kDefaultSearchAttr, "");
        archive.EndUpdate();
    } catch (...) {
        archive.CancelUpdate();
        throw;
    }
}

}  // namespace grix
