#pragma once

#include "script/ScriptProgram.h"

namespace tscript {

// The engine's own unit: predefined types, constants, intrinsics and library routines,
// shared by every compilation (built once, never changed).
const TScope& SystemScope();

} // namespace tscript
