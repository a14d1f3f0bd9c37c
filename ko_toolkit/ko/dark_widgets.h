#pragma once
// All of the toolkit's dark basic widgets.

#include "ko/button_dark.h"
#include "ko/checkbox.h"
#include "ko/combobox.h"
#include "ko/label.h"
#include "ko/lineedit.h"
#include "ko/panel.h"
#include "ko/radio.h"
#include "ko/scrollbars.h"
