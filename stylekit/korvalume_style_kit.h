#pragma once
// The general icon kit: class methods only, one base per icon family. An icon comes as a
// draw method (painting into a GraphicsContext within a frame) and an image method (a
// StyleKitImage of a size whose drawing calls the draw method on (0, 0, width, height)).
// A new family adds its own header and source and one base here.
#include "stylekit/adjustment_icons.h"
#include "stylekit/badge_icons.h"
#include "stylekit/battery_icon.h"
#include "stylekit/camera_mark_icons.h"
#include "stylekit/carousel_icons.h"
#include "stylekit/control_icons.h"
#include "stylekit/crop_device_icons.h"
#include "stylekit/edit_icons.h"
#include "stylekit/gear_level_icons.h"
#include "stylekit/hdr_icons.h"
#include "stylekit/kit_frame.h"
#include "stylekit/logo_icons.h"
#include "stylekit/media_view_icons.h"
#include "stylekit/prop_visual_kit.h"
#include "stylekit/rating_star_icons.h"
#include "stylekit/select_filter_icons.h"
#include "stylekit/sequence_icons.h"
#include "stylekit/share_icons.h"
#include "stylekit/storage_icons.h"
#include "stylekit/trash_compare_icons.h"

class KorvalumeStyleKit : public KorvalumeStyleKitFrame,
                          public KorvalumeBadgeIcons,
                          public KorvalumeGearLevelIcons,
                          public KorvalumeBatteryIcon,
                          public KorvalumeRatingStarIcons,
                          public KorvalumeCarouselIcons,
                          public KorvalumeStorageIcons,
                          public KorvalumeEditIcons,
                          public KorvalumeAdjustmentIcons,
                          public KorvalumeShareIcons,
                          public KorvalumeHdrIcons,
                          public KorvalumeSequenceIcons,
                          public KorvalumeCameraMarkIcons,
                          public KorvalumeControlIcons,
                          public KorvalumeTrashCompareIcons,
                          public KorvalumeMediaViewIcons,
                          public KorvalumeLogoIcons,
                          public KorvalumeSelectFilterIcons,
                          public KorvalumeCropDeviceIcons,
                          public KorvalumePropertyVisuals {
 public:
  KorvalumeStyleKit() = delete;
};
