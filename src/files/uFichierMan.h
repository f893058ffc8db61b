#pragma once

// The file manager (Part 5.1) and what its host needs with it.
#include "files/FileNames.h"
#include "files/TFichierMan.h"
#include "files/TUserQuestions.h"
