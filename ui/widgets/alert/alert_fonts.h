#pragma once
// The alert's text fields in the embedded faces, sized as the platform the alerts were
// designed for sizes them: a font size counts logical pixels (one point there is one
// pixel of a 1x screen), not 1/72 inch. So a 12-point help text is 12 pixels tall here as
// there, and never follows the machine's font settings.
#include <QFont>

#include "platform/graphics/font.h"

QFont alertTextFont(const Font& font);
