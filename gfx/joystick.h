// The joystick query: any of 16 devices, with or without a screen.
#pragma once

// Value of an axis the device does not have (or of every axis on failure).
constexpr float kJoystickNoAxis = -1000.0f;

// Fills buttons (first 32 button bits) and axis1..axis8 (X, Y, Z, R, U, V,
// then the hat's horizontal and vertical direction), each axis in -1..1.
// Returns the runtime error number: 0, or 1 for a bad id, an absent device or
// a failed read, with buttons -1 and every axis kJoystickNoAxis. Null outputs
// are skipped.
int gfx_get_joystick(int id, int* buttons, float* axis1, float* axis2, float* axis3, float* axis4,
                     float* axis5, float* axis6, float* axis7, float* axis8);
