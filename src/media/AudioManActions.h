#pragma once

#include "actions/ActionTable.h"

#include <span>

// The audio manager's actions, one row each.
std::span<const TActionRow> AudioManActionRows();
