// Pixel read and write, the three clears, the view, and the page machinery.
// Every operation follows the drawing protocol: context, target, colour
// routines, coordinates, screen lock, rows drawn through the line table and
// dirty rows marked only on the visible page.
#include "gfx/draw/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "drivers/driver.h"
#include "gfx/console/console.h"
#include "gfx/draw/context.h"
#include "gfx/image/palette.h"
#include "gfx/screen/screen.h"
#include "runtime/rt_console.h"
#include "runtime/rt_core.h"

namespace {

constexpr uint32_t kPlainColour = 0xFF000000u;  // selects the plain routines
constexpr uint32_t kOutOfView = 0xFFFFFFFFu;

bool inside_view(const GfxContext* ctx, int px, int py) {
  return px >= ctx->view.x && int64_t(px) < int64_t(ctx->view.x) + ctx->view.width && py >= ctx->view.y &&
         int64_t(py) < int64_t(ctx->view.y) + ctx->view.height;
}

// Truncates toward zero; values beyond the int range saturate.
int truncate_to_int(float v) {
  double t = std::trunc(double(v));
  if (!(t > -2147483648.0)) return INT32_MIN;  // also NaN
  return t >= 2147483647.0 ? INT32_MAX : int(t);
}

// The one-argument form of gfx_point: the graphics cursor.
uint32_t cursor_query(GfxContext* ctx, float x) {
  int n = truncate_to_int(x);
  if (n == 0 || n == 1) gfx_set_target(ctx, nullptr);
  switch (n) {
    case 0: case 2: return uint32_t(truncate_to_int(ctx->last_x));
    case 1: case 3: return uint32_t(truncate_to_int(ctx->last_y));
    default: return 0;
  }
}

// Fills a rectangle of the current screen target with the context's span
// routine, limited to the screen, and marks its rows when they are visible.
void fill_rect(GfxContext* ctx, int x, int y, int width, int height, uint32_t colour) {
  const ScreenState* s = screen_state;
  int64_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  int64_t x1 = std::min(int64_t(x) + width, int64_t(s->width));
  int64_t y1 = std::min(int64_t(y) + height, int64_t(s->height));
  if (x0 >= x1 || y0 >= y1) return;
  size_t offset = size_t(x0) * size_t(ctx->bytes_per_pixel);
  // Full rows that follow each other without a gap are one span: a whole
  // page clear becomes one long fill.
  const int64_t row_pixels = x1 - x0, rows = y1 - y0;
  bool one_span = int64_t(ctx->pitch) == row_pixels * ctx->bytes_per_pixel && row_pixels * rows <= INT32_MAX &&
                  ctx->line_table[y1 - 1] == ctx->line_table[y0] + (rows - 1) * ctx->pitch;
  if (one_span) {
    ctx->fill_span(ctx->line_table[y0] + offset, colour, int(row_pixels * rows));
  } else {
    for (int64_t row = y0; row < y1; ++row) ctx->fill_span(ctx->line_table[row] + offset, colour, int(row_pixels));
  }
  gfx_mark_dirty(ctx, int(y0), int(y1 - y0));
}

void centre_cursor(GfxContext* ctx) {
  ctx->last_x = float(ctx->view.x + ctx->view.width / 2);
  ctx->last_y = float(ctx->view.y + ctx->view.height / 2);
}

// The runtime's text view, limited to the console's rows.
void text_view(const ScreenState* s, int* top, int* bottom) {
  rt_text_view(top, bottom);
  *top = std::clamp(*top, 0, std::max(s->text_rows - 1, 0));
  *bottom = std::clamp(*bottom, *top, std::max(s->text_rows - 1, 0));
}

void clear_everything(GfxContext* ctx, ScreenState* s) {
  fill_rect(ctx, 0, 0, s->width, s->height, ctx->background);
  centre_cursor(ctx);
  int top, bottom;
  text_view(s, &top, &bottom);
  gfx_console_clear_cells(0, s->text_rows - 1);
  gfx_console_move_cursor(top, 0);
}

void clear_view(GfxContext* ctx) {
  fill_rect(ctx, ctx->view.x, ctx->view.y, ctx->view.width, ctx->view.height, ctx->background);
  centre_cursor(ctx);
}

void clear_text_view(GfxContext* ctx, ScreenState* s, int top, int bottom) {
  int h = s->font ? s->font->height : 8;
  int64_t first = int64_t(top) * h, last = (int64_t(bottom) + 1) * h;
  first = std::min<int64_t>(first, s->height);
  last = std::min<int64_t>(last, s->height);
  fill_rect(ctx, 0, int(first), s->width, int(last - first), ctx->background);
  gfx_console_clear_cells(top, bottom);
  gfx_console_move_cursor(top, 0);
}

// The one-pixel outline of a rectangle, clipped to the screen. Corners are
// drawn once so a blending colour covers every pixel equally.
void draw_outline(GfxContext* ctx, const ScreenState* s, int64_t left, int64_t top, int64_t right, int64_t bottom,
                  uint32_t colour) {
  for (int64_t y : {top, bottom}) {
    if (y < 0 || y >= s->height) continue;
    int64_t a = std::max<int64_t>(left, 0), b = std::min<int64_t>(right, s->width - 1);
    if (a > b) continue;
    ctx->fill_span(ctx->line_table[y] + size_t(a) * size_t(ctx->bytes_per_pixel), colour, int(b - a + 1));
    gfx_mark_dirty(ctx, int(y), 1);
  }
  int64_t first = std::max<int64_t>(top + 1, 0), last = std::min<int64_t>(bottom - 1, s->height - 1);
  if (first > last) return;
  for (int64_t x : {left, right}) {
    if (x < 0 || x >= s->width) continue;
    for (int64_t y = first; y <= last; ++y) ctx->put_pixel(ctx, int(x), int(y), colour);
  }
  bool left_in = left >= 0 && left < s->width, right_in = right >= 0 && right < s->width;
  if (left_in || right_in) gfx_mark_dirty(ctx, int(first), int(last - first + 1));
}

}  // namespace

uint32_t gfx_point(ImageBuffer* target, float x, float y) {
  if (!screen_state) return kOutOfView;
  GfxContext* ctx = gfx_get_context();
  if (y == kPointCursorQuery) return cursor_query(ctx, x);
  gfx_set_target(ctx, target);
  gfx_select_colour_routines(ctx, kPlainColour);
  int px, py;
  gfx_to_view(ctx, x, y, &px, &py);
  if (!inside_view(ctx, px, py)) return kOutOfView;
  uint32_t v;
  {
    GfxScreenLock lock;
    v = ctx->get_pixel(ctx, px, py);
  }
  // 16-bit pixels are answered in the 8-8-8 form every caller reads.
  return ctx->bytes_per_pixel == 2 ? gfx_widen_565(v) : v;
}

void gfx_pset(ImageBuffer* target, float x, float y, uint32_t colour, int step_flags, int preset) {
  if (!screen_state) return;
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, target);
  uint32_t c = step_flags < 0 ? (preset ? ctx->background : ctx->foreground)
                              : gfx_fix_colour(ctx->bytes_per_pixel, colour);
  gfx_select_colour_routines(ctx, c);
  gfx_step_coords(ctx, step_flags, &x, &y, nullptr, nullptr);
  int px, py;
  gfx_to_view(ctx, x, y, &px, &py);
  if (!inside_view(ctx, px, py)) return;
  GfxScreenLock lock;
  ctx->put_pixel(ctx, px, py, c);
  gfx_mark_dirty(ctx, py, 1);
}

void gfx_cls(int how) {
  ScreenState* s = screen_state;
  if (!s) return;
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, nullptr);
  gfx_select_colour_routines(ctx, ctx->background);
  GfxScreenLock lock;
  int top, bottom;
  switch (how) {
    case ZQ_OMITTED:
      if (ctx->flags & kCtxViewSet) {
        clear_view(ctx);
        break;
      }
      text_view(s, &top, &bottom);
      if (top == 0 && bottom == s->text_rows - 1)
        clear_everything(ctx, s);
      else
        clear_text_view(ctx, s, top, bottom);
      break;
    case 0:
      clear_everything(ctx, s);
      break;
    case 2:
      text_view(s, &top, &bottom);
      clear_text_view(ctx, s, top, bottom);
      break;
    default:
      clear_view(ctx);
      break;
  }
}

void gfx_view(int x1, int y1, int x2, int y2, uint32_t fill_colour, uint32_t border_colour, int view_flags) {
  ScreenState* s = screen_state;
  if (!s) return;
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, nullptr);
  gfx_select_colour_routines(ctx, border_colour);
  gfx_sort_corners(&x1, &y1, &x2, &y2);
  if (x1 == kViewNoCoordinate && y1 == kViewNoCoordinate && x2 == kViewNoCoordinate && y2 == kViewNoCoordinate) {
    ctx->flags &= ~kCtxViewSet;
    ctx->view = ViewRect{0, 0, s->width, s->height};
    return;
  }
  ctx->flags |= kCtxViewSet;
  if (view_flags & kViewAbsolute)
    ctx->flags |= kCtxViewAbsolute;
  else
    ctx->flags &= ~kCtxViewAbsolute;
  // One lock for the border and the fill: the clear below nests inside it.
  GfxScreenLock lock;
  if (!(view_flags & kViewNoBorder)) {
    uint32_t border = gfx_fix_colour(s->bytes_per_pixel, border_colour) & s->colour_mask;
    gfx_select_colour_routines(ctx, border);
    draw_outline(ctx, s, int64_t(x1) - 1, int64_t(y1) - 1, int64_t(x2) + 1, int64_t(y2) + 1, border);
  }
  ctx->view.x = std::clamp(x1, 0, s->width);
  ctx->view.y = std::clamp(y1, 0, s->height);
  // An empty view is kept at size 0 rather than a negative size.
  ctx->view.width = int(std::max<int64_t>(std::min(x2, s->width - 1) - int64_t(ctx->view.x) + 1, 0));
  ctx->view.height = int(std::max<int64_t>(std::min(y2, s->height - 1) - int64_t(ctx->view.y) + 1, 0));
  if (view_flags >= 0) {
    uint32_t saved = ctx->background;
    ctx->background = gfx_fix_colour(ctx->bytes_per_pixel, fill_colour);
    gfx_cls(1);
    ctx->background = saved;
  }
}

int gfx_page_copy(int source, int destination) {
  ScreenState* s = screen_state;
  if (!s) return gfx_fail_no_screen();
  if (s->driver && s->driver->flip) {
    // A flipping driver owns its pages; there is nothing here to copy.
    s->driver->flip();
    if (s->driver->poll_events) s->driver->poll_events();
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "the %s driver flips its own pages: none to copy", s->driver->name);
  }
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, nullptr);
  gfx_select_colour_routines(ctx, kPlainColour);
  if (source < 0) source = ctx->work_page;
  if (destination < 0) destination = s->visible_page;
  if (source >= s->page_count || destination >= s->page_count)
    return rt_fail(ZQ_ERR_ILLEGAL_CALL, "page %d out of range (the screen has %d)",
                   source >= s->page_count ? source : destination, s->page_count);
  if (source == destination) return rt_set_error(ZQ_OK);
  bool visible = destination == s->visible_page;
  bool taken = visible && gfx_lock_screen();
  if (ctx->view.width > 0 && ctx->view.height > 0) {
    size_t offset = size_t(ctx->view.y) * size_t(s->pitch) + size_t(ctx->view.x) * size_t(s->bytes_per_pixel);
    size_t bytes = size_t(ctx->view.width) * size_t(s->bytes_per_pixel);
    for (int row = 0; row < ctx->view.height; ++row) {
      size_t at = offset + size_t(row) * size_t(s->pitch);
      gfx_mem_copy(s->page_buffers[destination] + at, s->page_buffers[source] + at, bytes);
    }
  }
  // The cells and the source's blank record with them.
  if (s->text_cells)
    gfx_mem_copy(s->text_cells[destination], s->text_cells[source],
                 (gfx_console_cell_count(s) + 1) * sizeof(TextCell));
  if (visible && ctx->view.height > 0)
    std::fill_n(s->dirty_rows + ctx->view.y, ctx->view.height, uint8_t(1));
  gfx_unlock_screen(taken);
  return rt_set_error(ZQ_OK);
}

int gfx_set_pages(int work, int visible) {
  ScreenState* s = screen_state;
  if (!s) return -1;
  GfxContext* ctx = gfx_get_context();
  int result = ctx->work_page + s->visible_page * 256;
  gfx_set_target(ctx, nullptr);
  gfx_select_colour_routines(ctx, kPlainColour);
  if (work < 0 && visible < 0) work = visible = 0;
  if (work >= 0 && work < s->page_count) {
    uint8_t* page = s->page_buffers[work];
    for (int i = 0; i < s->height; ++i) ctx->line_table[i] = page + size_t(i) * size_t(s->pitch);
    ctx->work_page = work;
  }
  if (visible >= 0 && visible < s->page_count && visible != s->visible_page) {
    GfxScreenLock lock;
    s->visible_page = visible;
    s->visible_pixels = s->page_buffers[visible];
    std::fill_n(s->dirty_rows, s->height, uint8_t(1));
  }
  return result;
}
