#include "builder/suite_jar.h"

#include "archive/brask.h"
#include "archive/brask_types.h"
#include "core/errors.h"
#include "core/paths.h"
#include "core/scope_exit.h"

namespace grix {
namespace {

void AddSuiteEntries(TBrask& writer, const std::string& staging, const SuiteFiles& suite) {
    const std::string manifest_folder = JoinPath(staging, "META-INF");
    writer.BeginUpdate();
    try {
        writer.RegisterEntry(manifest_folder, "META-INF/");
        writer.RegisterEntry(JoinPath(manifest_folder, "MANIFEST.MF"), "META-INF/MANIFEST.MF");
        for (const std::string& name : suite.names)
            writer.RegisterEntry(JoinPath(staging, name), name);
        writer.EndUpdate();
    } catch (...) {
        writer.CancelUpdate();
        throw;
    }
}

}  // namespace

void ConfigureSuiteArchiver(TBrask& brask) {
    brask.SetName("brask");
    brask.SetCompressionLevel(clMax);
    brask.SetCompressionMode(9);
    brask.Options().FlushBuffers = true;
    brask.Options().OEMFileNames = false;
    brask.SetZip64Mode(zmDisabled);
}

std::vector<SkippedSource> WriteSuiteJar(TBrask& writer, const std::string& path,
                                         const std::string& folder,
                                         const std::optional<SuiteFiles>& suite,
                                         const FailurePolicy& policy) {
    ConfigureSuiteArchiver(writer);
    writer.SetFailurePolicy(policy);
    // Closed whatever way the write ends, so that the file is released
    // before a caller removes or renames it.
    const ScopeExit closes([&] { writer.Close(); });
    writer.SetFileName(path);
    writer.Open(kCreateMode);
    if (suite) {
        AddSuiteEntries(writer, folder, *suite);
    } else {
        writer.SetBaseDir(folder);
        writer.AddFromBaseDir("*.*", kDefaultSearchAttr);
    }
    const CommitReport report = writer.LastCommit();
    writer.Close();
    if (!report.aborted_by.empty()) throw Error(report.aborted_by);
    return report.skipped;
}

}  // namespace grix
