// The shared fonts, pens and brushes: created once when the frame is created, deleted once at
// exit. Painters select them and never delete them. UI thread only.
#pragma once

#include "platform/Types.h"

namespace shell {

inline constexpr int kMeterPenCount = 5;
inline constexpr int kBrushRampCount = 18;

extern platform::HFONT SmallFont;   // "Helv" 6 x 4, weight 100: axis and pane labels
extern platform::HFONT TitleFont;   // "Arial" 24 x 14, weight 700: pane channel titles
extern platform::HFONT LabelFont;   // "Arial" 12 x 5, weight 100: element labels, legends
extern platform::HFONT SystemFont;  // the stock system font; never deleted

extern platform::HPEN BlackPen;
extern platform::HPEN DarkRedPen;
extern platform::HPEN BluePen;
extern platform::HPEN BluePen2;
extern platform::HPEN GreenPen2;
extern platform::HPEN DarkGreenPen;
extern platform::HBRUSH CyanBrush;
extern platform::HBRUSH YellowBrush;
extern platform::HBRUSH GreyBrush;
extern platform::HBRUSH DarkGreyBrush;
extern platform::HBRUSH WhiteBrush;
extern platform::HPEN MagentaPen4;
extern platform::HPEN WhitePen6;
extern platform::HPEN BlackPen4;
extern platform::HPEN RedPen2;
extern platform::HPEN MeterPens[kMeterPenCount];
extern platform::HPEN MagentaPen2;
extern platform::HBRUSH MidGreyBrush;
extern platform::HBRUSH MeterBrushRamp[kBrushRampCount];  // dark red .. yellow .. green
extern platform::HBRUSH BlueBrushRamp[kBrushRampCount];   // dark blue .. cyan .. green

// Creates the three fonts, fetches SystemFont, then the pens and brushes in table order.
// Returns 0, or 1 when an object could not be made (those made stay and are deleted later).
int CreateGdiObjects();
// Deletes every font (not SystemFont), pen and brush and sets the handles to 0.
void DeleteGdiObjects();

}  // namespace shell
