// Where to put a hint window below the mouse pointer.
#pragma once

class QCursor;

// Used when the cursor's shape cannot be read: standard shapes on Linux come
// from the cursor theme and Qt hands out no bitmap for them. 20 px is what
// the measurement gives for the usual arrow (hot spot at its tip, 32-pixel
// cursor).
inline constexpr int kStandardCursorMargin = 20;

// Distance in pixels from the cursor's hot spot down to its lowest visible
// pixel (opaque or inverting), for the given cursor.
int CursorHeightMarginOf(const QCursor& cursor);

// The same for the current cursor: the application's override cursor, else
// the cursor of the widget under the mouse, else the arrow.
int CursorHeightMargin();
