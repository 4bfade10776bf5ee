#pragma once
// The kit's control faces gathered as one base of the kit: button faces, toggle push
// buttons, arrows, capture-function icons and tripod icons.
#include <vector>

#include "stylekit/arrow_icons.h"
#include "stylekit/button_face_icons.h"
#include "stylekit/capture_function_icons.h"
#include "stylekit/icon_registry.h"
#include "stylekit/toggle_push_button_icons.h"
#include "stylekit/tripod_icons.h"

class KorvalumeControlIcons : public KorvalumeButtonFaceIcons,
                              public KorvalumeTogglePushButtonIcons,
                              public KorvalumeArrowIcons,
                              public KorvalumeCaptureFunctionIcons,
                              public KorvalumeTripodIcons {
 protected:
  KorvalumeControlIcons() = default;
};

// Each family's samples, registered by registerControlIcons in this order.
void registerButtonFaceIcons(std::vector<IconSample>& out);
void registerTogglePushButtonIcons(std::vector<IconSample>& out);
void registerArrowIcons(std::vector<IconSample>& out);
void registerCaptureFunctionIcons(std::vector<IconSample>& out);
void registerTripodIcons(std::vector<IconSample>& out);
