#pragma once

#include "actions/ActionTable.h"

#include <span>

// The navigation manager's actions, one row each.
std::span<const TActionRow> NavManActionRows();
