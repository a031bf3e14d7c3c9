// The few user-interface services the launcher itself needs.
#pragma once

// Prepares the common-controls library (Windows); nothing elsewhere.
void InitialiseCommonControls();

// The one error display: a modal box with the warning icon, topmost and brought to the
// foreground, owned by `owner` (a window handle, or null). Linux has no box: the caption,
// ": " and the text go to standard error as one line.
void ShowWarningBox(void* owner, const char* text, const char* caption);
