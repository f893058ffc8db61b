#pragma once

// The file drag source (Part 5.3).
#include "files/TDropFileSourceW.h"
