#pragma once

#include "actions/ActionTable.h"

#include <span>

// The script window's own actions ("al_script"): its bounds, run, start and stop recording,
// help, and the text of its editor.
std::span<const TActionRow> ScriptFormActionRows();
