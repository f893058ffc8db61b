#pragma once

#include "actions/ActionTable.h"

#include <span>

// The main window's own actions ("gpal"), one row each.
std::span<const TActionRow> ShowFormActionRows();
