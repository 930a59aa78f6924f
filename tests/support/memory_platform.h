// The test host's backends of every seam in one object, for tests that
// drive the whole program: the files, the registry with the process and
// the grants, and the windowing of the dialogs. Each call a backend cannot
// honour, as the system would refuse it, lands in |errors|.
#pragma once

#include "support/memory_directory.h"
#include "support/memory_files.h"
#include "support/memory_registry.h"
#include "support/memory_windows.h"

class MemoryPlatform final : public MemoryFiles, public MemoryRegistry, public MemoryWindowing {
public:
    explicit MemoryPlatform(const std::string& rcPath)
        : MemoryRegistry(static_cast<MemoryFiles&>(*this)), MemoryWindowing(rcPath, errors) {}
    MemoryDirectory directory;
};
