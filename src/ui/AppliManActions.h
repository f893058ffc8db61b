#pragma once

#include "actions/ActionTable.h"

// The application actions of "am", one row each.
std::span<const TActionRow> AppliManActionRows();
