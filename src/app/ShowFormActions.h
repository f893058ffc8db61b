#pragma once

#include <ActionTable.h>

#include <span>

// The main window's own actions ("gpal"), one row each.
std::span<const TActionRow> ShowFormActionRows();
