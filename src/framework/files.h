#pragma once

#include <string>

#include "framework/platform.h"

// Reads |path| whole. A file that another program holds open (a virus
// scanner, a backup tool) is tried again a few times, with growing pauses,
// before Locked is the answer.
FileReadStatus ReadFilePatiently(Platform& platform, const std::string& path, std::string& bytes);

// Replaces |path| with |bytes| so that it is never left half-written: the
// bytes go to |tempPath| beside it, are flushed, and only then take the old
// file's place in one step. On any failure the old file stays as it was, the
// temporary file is removed and false is returned.
bool SaveFileSafely(Platform& platform, const std::string& path, const std::string& tempPath,
                    const std::string& bytes);
