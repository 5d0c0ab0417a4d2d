// Filling the runtime's hook table with the graphics library's operations
// while a screen is open.
#pragma once

void gfx_install_hooks();
