#pragma once

// The shapes of the set's windows as regions in window coordinates, built from the shape
// tables. Each returns a new region, or null on failure (with nothing left over).
#include <windows.h>

// At `dpi` every point of the tables is scaled, as the window's size is.
HRGN createBackboardRegion(unsigned dpi = 96);
HRGN createScoreboardRegion(unsigned dpi = 96);
// The outline less the mesh openings, so the ball shows through them and clicks there reach
// whatever lies below.
HRGN createNetRegion(unsigned dpi = 96);
// The ellipse inside a width x height window: the ball.
HRGN createRoundRegion(int width, int height);
