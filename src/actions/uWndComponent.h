#pragma once

// Action lists, action components and the command-line switches.
#include "actions/TCustomKoActionList.h"
#include "actions/TKoActionComponent.h"
#include "actions/TKoSwitch.h"
#include "actions/TScriptComponent.h"
