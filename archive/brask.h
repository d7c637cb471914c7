// TBrask: the ZIP archive writer every suite's JAR comes from.
//
//   TBrask jar("brask");
//   jar.SetFileName(path);
//   jar.SetCompressionLevel(clMax);
//   jar.Options().OEMFileNames = false;
//   jar.Open(kCreateMode);
//   jar.SetBaseDir(staging);
//   jar.AddFromBaseDir("*.*", kDefaultSearchAttr);
//   jar.Close();
#pragma once

#include <string>

#include "archive/base_archiver.h"
#include "archive/brask_exception.h"
#include "archive/brask_types.h"
#include "archive/failure_policy.h"

namespace grix {

class TBrask : public TBraskBaseArchiver {
public:
    // `name` prefixes the component's messages ("brask: ..."); empty for none.
    // Zip64 starts disabled.
    explicit TBrask(std::string name = "");
    ~TBrask() override;

protected:
    // Deflate (8) when CompressionMode is above 0, stored (0) otherwise.
    void UpdateCompressionMethod() override;
};

}  // namespace grix
