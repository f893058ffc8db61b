#pragma once

#include "actions/ActionTable.h"

#include <span>

// The video manager's actions, one row each: the video window's twenty, then the decoder one.
std::span<const TActionRow> VideoManActionRows();
