// Glyphs: the pictures of the speed buttons, the exit panels and the tip
// panel, all drawn by the program itself.
#pragma once

#include <QIcon>
#include <QImage>

#include "platform/UiState.h"

QIcon SpeedButtonGlyph(Cmd button);
// A flow picture for an exit panel (6 or 7) or the tip panel (0).
QImage PanelPicture(int which, int width, int height);
