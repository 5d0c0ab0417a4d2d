// The drawing context: the current target (an image or the screen's work
// page) with its row table, the view, the graphics cursor, default colours and
// the pixel routines chosen for the target.
#pragma once
#include <cstddef>
#include <cstdint>

#include "drivers/screen_state.h"

struct ImageBuffer;
struct GfxContext;

using PutPixelFn = void (*)(GfxContext* ctx, int x, int y, uint32_t colour);
using GetPixelFn = uint32_t (*)(GfxContext* ctx, int x, int y);
using FillSpanFn = void (*)(void* dest, uint32_t colour, int count);
using CopySpanFn = void (*)(void* dest, const void* src, int count);
using MemFillFn = void (*)(void* dest, int byte, size_t count);
using MemCopyFn = void (*)(void* dest, const void* src, size_t count);
// Writes colour to pixel b from dest on for every set bit b (0..7) of bits:
// one row of a built-in glyph, already cut to the view.
using GlyphRowFn = void (*)(uint8_t* dest, uint32_t bits, uint32_t colour);
// Draws `count` whole 8-pixel-wide built-in glyphs side by side, from byte
// `offset` of each of the `rows` target lines on: glyph k's row r is the byte
// glyphs[chars[k] * glyph_bytes + r], bit b for column b. Plain stores only.
using GlyphLineFn = void (*)(uint8_t* const* lines, size_t offset, const uint8_t* glyphs, ptrdiff_t glyph_bytes,
                             const uint8_t* chars, int count, int rows, uint32_t colour);

// Context flags.
constexpr uint32_t kCtxScreenNotBuilt = 0x1;
constexpr uint32_t kCtxImageTarget = 0x2;
constexpr uint32_t kCtxViewSet = 0x10;
constexpr uint32_t kCtxViewAbsolute = 0x20;

// A view: its top-left pixel and its size.
struct ViewRect {
  int x, y, width, height;
};

struct GfxContext {
  int screen_id;
  int work_page;
  uint8_t** line_table;
  int line_capacity;
  int bytes_per_pixel;
  int pitch;
  ImageBuffer* target;
  float last_x, last_y;
  ViewRect view;
  ViewRect saved_view;  // the screen's view while an image is the target
  uint32_t foreground, background;
  PutPixelFn put_pixel;
  GetPixelFn get_pixel;
  FillSpanFn fill_span;
  const void* putters_transparent;
  const void* putters_copy;
  const void* putters_blend;
  const void* putters_add;
  const void* putters_multiply;
  const void* putters_tint;
  uint32_t flags;
};

// The per-depth routine set chosen by gfx_select_routines, and the memory
// fill and copy the whole library uses.
struct GfxRoutineSet {
  PutPixelFn put;
  FillSpanFn fill;
  PutPixelFn blend_put;
  FillSpanFn blend_fill;
  GetPixelFn get;
  CopySpanFn copy_span;
  GlyphRowFn glyph_row;    // plain stores only: blending colours go pixel by pixel
  GlyphLineFn glyph_line;  // the same for the whole glyphs of a line
};
extern GfxRoutineSet gfx_routines;
extern MemFillFn gfx_mem_fill;
extern MemCopyFn gfx_mem_copy;

GfxContext* gfx_get_context();
void gfx_set_target(GfxContext* ctx, ImageBuffer* target);
void gfx_select_colour_routines(GfxContext* ctx, uint32_t colour);
// Whether gfx_select_colour_routines takes the blending routines for this
// colour on the current target.
bool gfx_colour_blends(const GfxContext* ctx, uint32_t colour);
void gfx_select_routines(int bytes_per_pixel);
void gfx_step_coords(GfxContext* ctx, int step_flags, float* x1, float* y1, float* x2, float* y2);
void gfx_to_view(GfxContext* ctx, float x, float y, int* px, int* py);
void gfx_sort_corners(int* x1, int* y1, int* x2, int* y2);

// The screen lock as every drawing operation takes it: gfx_lock_screen locks
// only when no enclosing operation holds the lock and says whether it took
// it; gfx_unlock_screen releases only a lock its caller took. So nested
// operations lock once and the outermost one releases.
bool gfx_lock_screen();
void gfx_unlock_screen(bool taken);
// Rows are marked dirty only when the target's first row is the visible page.
bool gfx_target_is_visible(const GfxContext* ctx);
void gfx_mark_dirty(const GfxContext* ctx, int first_row, int row_count);

// Scoped form of gfx_lock_screen / gfx_unlock_screen.
class GfxScreenLock {
 public:
  GfxScreenLock() : taken_(gfx_lock_screen()) {}
  ~GfxScreenLock() { gfx_unlock_screen(taken_); }
  GfxScreenLock(const GfxScreenLock&) = delete;
  GfxScreenLock& operator=(const GfxScreenLock&) = delete;

 private:
  bool taken_;
};
