// What the OpenGL back-end offers the program beyond its driver record: the
// pixel format to ask for when the next OpenGL screen opens, and the
// extension-name test it uses.
#pragma once

enum GlAttribute : int {
  kGlColourBits,
  kGlRedBits,
  kGlGreenBits,
  kGlBlueBits,
  kGlAlphaBits,
  kGlDepthBits,
  kGlStencilBits,
  kGlAccumBits,
  kGlAccumRedBits,
  kGlAccumGreenBits,
  kGlAccumBlueBits,
  kGlAccumAlphaBits,
  kGlSamples,
  kGlAttributeCount
};

// Sets one request for the next OpenGL screen; 0 (the start value) lets the
// driver choose. Returns 0, or 1 with nothing changed for an unknown
// attribute or a negative value.
int opengl_set_attribute(int attribute, int value);

// True when `name` is one of the space-separated names of `list`.
bool opengl_has_extension(const char* list, const char* name);
