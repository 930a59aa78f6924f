#pragma once

#include <string>

class Platform;

// Replaces |path| with |bytes| so that it is never left half-written: the
// bytes go to a temporary file beside it, are flushed, and only then take
// the old file's place in one step. On any failure the old file stays as it
// was, the temporary file is removed and false is returned.
bool SaveFileSafely(Platform& platform, const std::string& path, const std::string& bytes);

// "C:\Windows\system32\QVDDATA.CSV" -> "C:\Windows\system32"
std::string DirectoryOf(const std::string& path);
