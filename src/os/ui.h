// The few user-interface services the launcher itself needs.
#pragma once

// Prepares the common-controls library (Windows); nothing elsewhere.
void InitialiseCommonControls();
