#pragma once

// Typed actions.
#include "ActionColors.h"
#include "ActionTable.h"
#include "FontConvert.h"
#include "MacroState.h"
#include "ShortCut.h"
#include "TCheckAction.h"
#include "TCustomAbstractAction.h"
#include "TNopeAction.h"
#include "ValueActions.h"
#include "TKoScript.h"
#include "TMacroCommands.h"
