#include "stylekit/control_icons.h"

void registerControlIcons(std::vector<IconSample>& out) {
  registerButtonFaceIcons(out);
  registerTogglePushButtonIcons(out);
  registerArrowIcons(out);
  registerCaptureFunctionIcons(out);
  registerTripodIcons(out);
}
