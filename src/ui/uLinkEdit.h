#pragma once

// The widgets: markup label, text gauge and button bar.
#include "TKoBar.h"
#include "TKoImgBtn.h"
#include "TKoSeparator.h"
#include "TLinkEdit.h"
#include "TLinkMarkup.h"
#include "TTextGauge.h"
