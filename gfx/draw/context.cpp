// The drawing context and the protocol every drawing operation follows:
// target, routines, coordinates, screen lock and dirty rows.
#include "gfx/draw/context.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "drivers/driver.h"
#include "gfx/draw/pixel_routines.h"
#include "gfx/image/image.h"
#include "gfx/screen/cpu_features.h"

GfxRoutineSet gfx_routines = gfx_plain_routines(1, false);
MemFillFn gfx_mem_fill = gfx_plain_set(1, false).mem_fill;
MemCopyFn gfx_mem_copy = gfx_plain_set(1, false).mem_copy;

static GfxContext context;

static bool grow_line_table(GfxContext* ctx, int rows) {
  if (rows <= ctx->line_capacity) return true;
  void* grown = std::realloc(ctx->line_table, size_t(rows) * sizeof(uint8_t*));
  if (!grown) return false;
  ctx->line_table = static_cast<uint8_t**>(grown);
  ctx->line_capacity = rows;
  return true;
}

static void set_up_for_screen(GfxContext* ctx) {
  std::free(ctx->line_table);
  std::memset(ctx, 0, sizeof *ctx);
  ScreenState* s = screen_state;
  ctx->screen_id = s->screen_id;
  ctx->saved_view = ViewRect{0, 0, s->width, s->height};
  grow_line_table(ctx, s->height);
  ctx->foreground = s->depth == 8 ? 15u : s->colour_mask;
  ctx->background = s->colour_mask & 0xFF000000u;
  ctx->flags = kCtxScreenNotBuilt;
  gfx_set_target(ctx, nullptr);
  gfx_select_colour_routines(ctx, 0xFF000000u);
}

GfxContext* gfx_get_context() {
  if (screen_state && screen_state->screen_id != context.screen_id) set_up_for_screen(&context);
  return &context;
}

void gfx_set_target(GfxContext* ctx, ImageBuffer* target) {
  ScreenState* s = screen_state;
  if (target && target != ctx->target) {
    // Only the screen's view is saved: after the current image was destroyed
    // the target reads null while the view is still that image's.
    if (!(ctx->flags & kCtxImageTarget)) ctx->saved_view = ctx->view;
    ImageInfo info = gfx_image_info(target);
    ctx->view = ViewRect{0, 0, info.width, info.height};
    if (info.long_style) {
      ctx->bytes_per_pixel = info.bytes_per_pixel;
      ctx->pitch = info.pitch;
    } else {
      ctx->bytes_per_pixel = s ? s->bytes_per_pixel : 1;
      ctx->pitch = info.width * ctx->bytes_per_pixel;
    }
    // A short image takes the screen's pixel size, so the routines must be the
    // screen's too, whatever target came before.
    gfx_select_routines(ctx->bytes_per_pixel);
    int rows = grow_line_table(ctx, info.height) ? info.height : ctx->line_capacity;
    // A short image made at a smaller pixel size than the screen's (or before
    // a re-opening at a larger one) holds fewer rows of the screen's size than
    // its height: drawing is kept to the rows its block holds.
    size_t room = gfx_image_room(target);
    if (!info.long_style && room && ctx->pitch > 0) {
      size_t fit = (room - size_t(kImageShortHeader)) / size_t(ctx->pitch);
      if (fit < size_t(rows)) rows = int(fit);
    }
    ctx->view.height = rows;
    for (int i = 0; i < rows; ++i) ctx->line_table[i] = info.pixels + size_t(i) * size_t(ctx->pitch);
    ctx->flags |= kCtxImageTarget;
  } else if (!target && (ctx->flags & (kCtxScreenNotBuilt | kCtxImageTarget)) && s) {
    ctx->view = ctx->saved_view;
    ctx->bytes_per_pixel = s->bytes_per_pixel;
    ctx->pitch = s->pitch;
    uint8_t* page = s->page_buffers[ctx->work_page];
    for (int i = 0; i < s->height; ++i) ctx->line_table[i] = page + size_t(i) * size_t(s->pitch);
    gfx_select_routines(s->bytes_per_pixel);
    ctx->flags &= ~(kCtxScreenNotBuilt | kCtxImageTarget);
  }
  ctx->target = target;
}

// With MMX the set of the process's routine levels is taken (every level
// gives the same pixels), else the plain level's; the choice is made here
// once per target change, never per pixel.
void gfx_select_routines(int bytes_per_pixel) {
  bool mmx = gfx_cpu_features() & kCpuMmx;
  if (screen_state && mmx) screen_state->flags |= kScreenHasMmx;
  bool alpha = screen_state && (screen_state->flags & kScreenAlphaPrimitives);
  GfxLevelSet set = gfx_level_set(mmx ? routine_levels() : kPlainLevelOnly, bytes_per_pixel, alpha);
  gfx_routines = set.routines;
  gfx_mem_fill = set.mem_fill;
  gfx_mem_copy = set.mem_copy;
}

bool gfx_colour_blends(const GfxContext* ctx, uint32_t colour) {
  return screen_state && (screen_state->flags & kScreenAlphaPrimitives) && ctx->bytes_per_pixel == 4 &&
         (colour >> 24) != 0xFF;
}

void gfx_select_colour_routines(GfxContext* ctx, uint32_t colour) {
  bool blend = gfx_colour_blends(ctx, colour);
  ctx->put_pixel = blend ? gfx_routines.blend_put : gfx_routines.put;
  ctx->fill_span = blend ? gfx_routines.blend_fill : gfx_routines.fill;
  ctx->get_pixel = gfx_routines.get;
}

void gfx_step_coords(GfxContext* ctx, int step_flags, float* x1, float* y1, float* x2, float* y2) {
  int mode = step_flags & 7;
  bool second = x2 && y2;
  if (mode == 2 || mode == 3 || mode == 5) {
    *x1 += ctx->last_x;
    *y1 += ctx->last_y;
  }
  if ((mode == 1 || mode == 3) && second) {
    *x2 += *x1;
    *y2 += *y1;
  }
  if (second) {
    ctx->last_x = *x2;
    ctx->last_y = *y2;
  } else {
    ctx->last_x = *x1;
    ctx->last_y = *y1;
  }
}

// Rounds half away from zero; values beyond the int range saturate so that
// far-off coordinates stay far off instead of wrapping. The conversion to int
// cuts toward zero and so finishes the rounding itself.
static int round_away(float v) {
  double r = v > 0 ? double(v) + 0.5 : double(v) - 0.5;
  if (!(r > -2147483648.0)) return INT32_MIN;  // also catches NaN
  if (r >= 2147483647.0) return INT32_MAX;
  return int(r);
}

static int add_saturating(int a, int b) {
  long long r = (long long)a + b;
  return r > INT32_MAX ? INT32_MAX : r < INT32_MIN ? INT32_MIN : int(r);
}

void gfx_to_view(GfxContext* ctx, float x, float y, int* px, int* py) {
  *px = round_away(x);
  *py = round_away(y);
  if (!(ctx->flags & kCtxViewAbsolute)) {
    *px = add_saturating(*px, ctx->view.x);
    *py = add_saturating(*py, ctx->view.y);
  }
}

void gfx_sort_corners(int* x1, int* y1, int* x2, int* y2) {
  if (*x1 > *x2) std::swap(*x1, *x2);
  if (*y1 > *y2) std::swap(*y1, *y2);
}

bool gfx_lock_screen() {
  ScreenState* s = screen_state;
  if (!s || (s->flags & (kScreenLocked | kScreenLockOwner))) return false;
  if (s->driver) s->driver->lock();
  s->flags |= kScreenLocked | kScreenLockOwner;
  return true;
}

void gfx_unlock_screen(bool taken) {
  ScreenState* s = screen_state;
  if (!taken || !s || !(s->flags & kScreenLockOwner)) return;
  s->flags &= ~(kScreenLocked | kScreenLockOwner);
  if (s->driver) s->driver->unlock();
}

bool gfx_target_is_visible(const GfxContext* ctx) {
  return screen_state && ctx->line_table && ctx->line_table[0] == screen_state->visible_pixels;
}

void gfx_mark_dirty(const GfxContext* ctx, int first_row, int row_count) {
  if (!gfx_target_is_visible(ctx)) return;
  ScreenState* s = screen_state;
  if (first_row < 0) {
    row_count += first_row;
    first_row = 0;
  }
  if (row_count > s->height - first_row) row_count = s->height - first_row;
  if (row_count > 0) std::memset(s->dirty_rows + first_row, 1, size_t(row_count));
}
