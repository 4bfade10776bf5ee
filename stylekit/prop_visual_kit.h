#pragma once
// The property visuals and the image-format buttons, as one base of KorvalumeStyleKit.
#include "stylekit/prop_visual_area_format.h"
#include "stylekit/prop_visual_dispatcher.h"
#include "stylekit/prop_visual_drive_mode.h"
#include "stylekit/prop_visual_format_buttons.h"
#include "stylekit/prop_visual_metering_wb.h"

class KorvalumePropertyVisuals : public KorvalumePropertyVisualDispatcher,
                                 public KorvalumeAreaFormatVisuals,
                                 public KorvalumeImageFormatButtons,
                                 public KorvalumeDriveModeVisuals,
                                 public KorvalumeMeteringWhiteBalanceVisuals {
 protected:
  KorvalumePropertyVisuals() = default;
};
