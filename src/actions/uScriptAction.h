#pragma once

// Typed actions.
#include "actions/ActionColors.h"
#include "actions/ActionErrors.h"
#include "actions/ActionTable.h"
#include "actions/FontConvert.h"
#include "actions/MacroState.h"
#include "actions/ShortCut.h"
#include "actions/TCheckAction.h"
#include "actions/TCustomAbstractAction.h"
#include "actions/TKoScript.h"
#include "actions/TMacroCommands.h"
#include "actions/TNopeAction.h"
#include "actions/ValueActions.h"
