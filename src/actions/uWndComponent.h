#pragma once

// Action lists, action components and the command-line switches.
#include "TCustomKoActionList.h"
#include "TKoActionComponent.h"
#include "TKoSwitch.h"
#include "TScriptComponent.h"
