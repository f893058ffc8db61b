#pragma once

// The file manager and what its host needs with it.
#include "files/FileNames.h"
#include "files/TFichierMan.h"
#include "files/TUserQuestions.h"
