#pragma once

// The widgets: markup label, text gauge and button bar.
#include "ui/TKoBar.h"
#include "ui/TKoImgBtn.h"
#include "ui/TKoSeparator.h"
#include "ui/TLinkEdit.h"
#include "ui/TLinkMarkup.h"
#include "ui/TTextGauge.h"
