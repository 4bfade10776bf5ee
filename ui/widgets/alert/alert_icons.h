#pragma once
// The alert's three style icons, drawn in code and looked up by their resource names
// ("AlertCautionIcon", "AlertNoteIcon", "AlertStopIcon").
#include <QString>

#include "platform/graphics/stylekit_image.h"

// The icon of that name at `size` points; a null image for an unknown name.
StyleKitImage alertIconNamed(const QString& name, QSizeF size = QSizeF(64, 64));
