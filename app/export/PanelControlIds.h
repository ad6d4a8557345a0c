// Control identifiers of the panel's template that the sound's settings reach: one list for
// the export's set-up and the capture of a sound.
#pragma once

#include "app/export/CExportOptions.h"

namespace corvane::panel_ids {
constexpr int kGenTypeList = 1010;
constexpr int kHoldSlider = 1011;
constexpr int kSmoothSlider = 1032;
constexpr int kFilterTypeList = 1009;
constexpr int kFilterFreqSlider = 1002;
constexpr int kFilterQSlider = 1004;
constexpr int kInputList = 1014;
constexpr int kVolumeSlider = 1015;
constexpr int kPanSlider = 1017;
constexpr int kPitchSlider = 1019;
constexpr int kMuteBox = 1021;
constexpr int kLfoShapeList[3] = {1012, 1036, 1039};
constexpr int kLfoFreqSlider[3] = {1025, 1038, 1041};
// Knob and source list of each route, in CExportOptions::RouteTarget order.
constexpr int kRouteKnob[CExportOptions::RouteCount] = {1031, 1035, 1007, 1028, 1008, 1042, 1044};
constexpr int kRouteList[CExportOptions::RouteCount] = {1034, 1033, 1026, 1029, 1027, 1043, 1045};

} // namespace corvane::panel_ids
