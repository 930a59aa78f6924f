#include "framework/windowing.h"

namespace {
Windowing* g_windowing = nullptr;
}

Windowing& TheWindowing() { return *g_windowing; }
void SetWindowing(Windowing* windowing) { g_windowing = windowing; }
