#include "framework/platform.h"

namespace {
Platform* g_platform = nullptr;
}

Platform& ThePlatform() { return *g_platform; }
void SetPlatform(Platform* platform) { g_platform = platform; }
