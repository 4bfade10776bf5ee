#pragma once
// The property icon kit: monochrome camera-property icons in a colour the caller picks.
// Class methods only, no state. Draw methods paint through PropertyIconPainter; each image
// method wraps its draw method by imageOfDrawMethod (captured arguments, texts included,
// live as long as the image). Families add their own header and source and one base here.
#include "stylekit/image_wrapper.h"
#include "stylekit/prop_canvas_text_icons.h"
#include "stylekit/prop_drive_continuous_icons.h"
#include "stylekit/prop_drive_mode_icons.h"
#include "stylekit/prop_drive_mode_timer_icons.h"
#include "stylekit/prop_focus_area_icons.h"
#include "stylekit/prop_image_format_icons.h"
#include "stylekit/prop_metering_icons.h"
#include "stylekit/prop_movie_af_area_icons.h"
#include "stylekit/prop_tracking_focus_area_icons.h"
#include "stylekit/prop_white_balance_icons.h"
#include "stylekit/property_icon_painter.h"

class KorvalumePropertiesStyleKit : public KorvalumePropertiesImageFormatIcons,
                                    public KorvalumePropertiesDriveModeIcons,
                                    public KorvalumePropertiesDriveModeTimerIcons,
                                    public KorvalumePropertiesFocusAreaIcons,
                                    public KorvalumePropertiesTrackingFocusAreaIcons,
                                    public KorvalumePropertiesMovieAfAreaIcons,
                                    public KorvalumePropertiesCanvasTextIcons,
                                    public KorvalumePropertiesMeteringIcons,
                                    public KorvalumePropertiesWhiteBalanceIcons,
                                    public KorvalumePropertiesDriveContinuousIcons {
 public:
  KorvalumePropertiesStyleKit() = delete;
};
