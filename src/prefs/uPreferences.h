#pragma once

// The preference stores and the preferences component.
#include "prefs/TDravikPreferences.h"
#include "prefs/TIniPreferencesMan.h"
#include "prefs/TNonePreferencesMan.h"
#include "prefs/TRegPreferencesMan.h"
