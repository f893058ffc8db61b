#pragma once

#include "actions/ActionTable.h"

#include <span>

// The file manager's thirty actions, one row each, in the order of their list (which is the
// order in which their stored values are applied at load).
std::span<const TActionRow> FichierManActionRows();
