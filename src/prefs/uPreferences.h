#pragma once

// The preference stores and the preferences component.
#include "TDravikPreferences.h"
#include "TIniPreferencesMan.h"
#include "TNonePreferencesMan.h"
#include "TRegPreferencesMan.h"
