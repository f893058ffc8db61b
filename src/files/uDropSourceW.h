#pragma once

// The file drag source.
#include "files/TDropFileSourceW.h"
