#pragma once

// The sprite tests' strip bitmap (test_strip.bmp, written by make_test_strip.py): seven frames of
// 24 x 16, each with its own top-row, body and bottom-row colours.
#define IDB_TEST_STRIP 900

#ifndef RC_INVOKED
#include <windows.h>

constexpr int testStripWidth = 24;
constexpr int testStripFrameHeight = 16;
constexpr int testStripFrames = 7;

constexpr COLORREF testStripTop(int frame) { return RGB(10 + 30 * frame, 0, 255); }
constexpr COLORREF testStripBody(int frame) { return RGB(10 + 30 * frame, 200, 0); }
constexpr COLORREF testStripBottom(int frame) { return RGB(10 + 30 * frame, 0, 0); }
#endif
