// The joystick query: any of 16 devices, with or without a screen.
#pragma once

// gfx_get_joystick (buttons and axis1..axis8: X, Y, Z, R, U, V, then the
// hat's horizontal and vertical direction, each in -1..1; runtime error 0 or
// 1) and ZQ_JOYSTICK_NO_AXIS, the value of an axis the device does not have
// (or of every axis on failure), are declared in the public header.
#include "zentravolk/input.h"
