// Writing text to the console: layout of control bytes and runs of
// printable bytes, glyph drawing, and scrolling of the text window (the
// runtime's text view across the console's full width).
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "drivers/screen_state.h"
#include "gfx/console/console.h"
#include "gfx/draw/context.h"
#include "runtime/rt_console.h"

namespace {

constexpr uint32_t kPlainColour = 0xFF000000u;  // selects the plain routines
constexpr int kGlyphWidth = 8;                  // the built-in fonts' cell width

// The bell: the terminal's, when standard error is one; otherwise silence.
void ring_bell() {
  if (isatty(STDERR_FILENO) != 1) return;
  std::fputc('\a', stderr);
  std::fflush(stderr);
}

// Whether every cell of the console lies on the page; cells that would not
// are never drawn.
bool console_fits(const ScreenState* s) {
  return s->font && s->font->height > 0 && s->text_cells && s->text_columns > 0 && s->text_rows > 0 &&
         int64_t(s->text_columns) * kGlyphWidth <= s->width &&
         int64_t(s->text_rows) * s->font->height <= s->height;
}

// One write: the text window, the cursor, the run of printable bytes being
// collected and the pixel rows touched so far.
class ConsoleWriter {
 public:
  ConsoleWriter(ScreenState* s, GfxContext* ctx) : s_(s), ctx_(ctx), font_(s->font) {
    cells_ = s->text_cells[ctx->work_page];
    gfx_console_forget_blank(s, cells_);
    right_ = s->text_columns - 1;
    rt_text_view(&top_, &bottom_);
    top_ = std::clamp(top_, 0, s->text_rows - 1);
    bottom_ = std::clamp(bottom_, top_, s->text_rows - 1);
    column_ = std::clamp(s->console_column, 0, right_);
    row_ = std::clamp(s->console_row, 0, s->text_rows - 1);
    run_column_ = column_;
  }

  // Carries out a newline left pending by the last write.
  void take_pending_newline() {
    if (!(s_->flags & kScreenPendingNewline)) return;
    s_->flags &= ~kScreenPendingNewline;
    column_ = 0;
    run_column_ = 0;  // tab stops count from the new row's first column
    next_row();
    scroll_into_window();
  }

  void put(uint8_t byte) {
    switch (byte) {
      case 7:
        ring_bell();
        return;
      case 8:
        flush();
        if (column_ > 0) --column_;
        moved();
        return;
      case 9:
        for (int n = kGlyphWidth - run_column_ % kGlyphWidth; n > 0; --n) collect(' ');
        return;
      case 10:
        flush();
        column_ = 0;
        next_row();
        moved();
        return;
      case 13:
        flush();
        column_ = 0;
        moved();
        return;
      default:
        collect(byte);
        return;
    }
  }

  // Draws what is left, settles the cursor below the window, stores the
  // cursor and marks the rows touched.
  void finish() {
    flush();
    if (!ended_with_move_ && column_ == 0 && row_ == bottom_ + 1) {
      // A wrap out of the bottom-right cell waits for the next write, so a
      // full last row does not scroll by itself.
      s_->flags |= kScreenPendingNewline;
      row_ = bottom_;
      column_ = right_;
    } else {
      scroll_into_window();
    }
    s_->console_column = column_;
    s_->console_row = row_;
    if (dirty_last_ >= dirty_first_) gfx_mark_dirty(ctx_, dirty_first_, dirty_last_ - dirty_first_ + 1);
  }

 private:
  int window_rows() const { return bottom_ - top_ + 1; }

  // Rows past the window's bottom only count up to a window's height: more
  // would scroll the same.
  void next_row() { row_ = std::min(row_ + 1, bottom_ + window_rows()); }

  void moved() {
    run_column_ = column_;
    ended_with_move_ = true;
  }

  void collect(uint8_t byte) {
    run_[run_length_++] = byte;
    if (++run_column_ > right_) run_column_ = 0;
    ended_with_move_ = false;
    if (run_length_ == kConsoleRunLength) flush();
  }

  void touch(int first_row, int last_row) {
    dirty_first_ = std::min(dirty_first_, first_row);
    dirty_last_ = std::max(dirty_last_, last_row);
  }

  void advance(int cells) {
    column_ += cells;
    if (column_ > right_) {
      column_ = 0;
      ++row_;
    }
  }

  // Writes the collected run, a row's remaining cells at a time.
  void flush() {
    if (run_length_ == 0) return;
    if (run_length_ == 1 && run_[0] == kConsoleUnderline) {
      scroll_into_window();
      draw_underline();
      advance(1);
    } else {
      for (int done = 0; done < run_length_;) {
        scroll_into_window();
        const int piece = std::min(run_length_ - done, right_ - column_ + 1);
        draw_glyphs(run_ + done, piece);
        advance(piece);
        done += piece;
      }
    }
    run_length_ = 0;
  }

  TextCell* cell_at_cursor() const { return cells_ + size_t(row_) * size_t(s_->text_columns) + size_t(column_); }

  void draw_glyphs(const uint8_t* chars, int count) {
    const int h = font_->height;
    const int y0 = row_ * h;
    const uint32_t fg = ctx_->foreground, bg = ctx_->background;
    const PutPixelFn put_pixel = ctx_->put_pixel;
    TextCell* cell = cell_at_cursor();
    for (int i = 0; i < count; ++i) {
      const int x0 = (column_ + i) * kGlyphWidth;
      const uint8_t* glyph = font_->glyphs + size_t(chars[i]) * size_t(h);
      for (int gy = 0; gy < h; ++gy) {
        const unsigned bits = glyph[gy];
        for (int bit = 0; bit < kGlyphWidth; ++bit) put_pixel(ctx_, x0 + bit, y0 + gy, (bits >> bit) & 1 ? fg : bg);
      }
      cell[i] = TextCell{chars[i], fg, bg};
    }
    touch(y0, y0 + h - 1);
  }

  void draw_underline() {
    const int y = (row_ + 1) * font_->height - 1;
    const int x0 = column_ * kGlyphWidth;
    for (int x = x0; x < x0 + kGlyphWidth; ++x) ctx_->put_pixel(ctx_, x, y, ctx_->foreground);
    *cell_at_cursor() = TextCell{kConsoleUnderline, ctx_->foreground, ctx_->background};
    touch(y, y);
  }

  void scroll_into_window() {
    if (row_ > bottom_) scroll(row_ - bottom_);
  }

  // Moves the window's contents up by k rows, pixels and cells, and blanks
  // what comes free; the cursor ends on the bottom row.
  void scroll(int k) {
    const int h = font_->height;
    const int rows = window_rows();
    const int span = (right_ + 1) * kGlyphWidth;
    const int y_top = top_ * h, y_end = (bottom_ + 1) * h;
    const int kept_rows = k < rows ? rows - k : 0;
    const int shift = (rows - kept_rows) * h;
    uint8_t** lines = ctx_->line_table;
    for (int y = y_top; y < y_top + kept_rows * h; ++y) gfx_routines.copy_span(lines[y], lines[y + shift], span);
    for (int y = y_top + kept_rows * h; y < y_end; ++y) ctx_->fill_span(lines[y], ctx_->background, span);

    const size_t columns = size_t(s_->text_columns);
    TextCell* window = cells_ + size_t(top_) * columns;
    if (kept_rows > 0)
      std::memmove(window, window + size_t(rows - kept_rows) * columns, size_t(kept_rows) * columns * sizeof(TextCell));
    std::fill(window + size_t(kept_rows) * columns, window + size_t(rows) * columns,
              TextCell{32, ctx_->foreground, ctx_->background});
    touch(y_top, y_end - 1);
    row_ = bottom_;
  }

  ScreenState* s_;
  GfxContext* ctx_;
  const FontDescriptor* font_;
  TextCell* cells_;
  int top_ = 0, bottom_ = 0, right_ = 0;
  int column_ = 0, row_ = 0;
  int dirty_first_ = INT_MAX, dirty_last_ = -1;
  bool ended_with_move_ = false;
  uint8_t run_[kConsoleRunLength];
  int run_length_ = 0;
  int run_column_ = 0;  // where the cursor column will be once the run is drawn
};

// 16-bit text to bytes: below 256 as it is, anything else "?", a surrogate
// pair one "?". Converts from *at until out is full; returns the bytes made.
int narrow(const uint16_t* chars, int count, int* at, uint8_t* out, int capacity) {
  int used = 0;
  while (*at < count && used < capacity) {
    const uint16_t c = chars[(*at)++];
    if (c >= 0xD800 && c <= 0xDBFF && *at < count) ++*at;
    out[used++] = c < 256 ? uint8_t(c) : uint8_t('?');
  }
  return used;
}

}  // namespace

void gfx_console_write(const uint8_t* bytes, int count, int flags) {
  if (count < 0 || !bytes) count = 0;
  if (count == 0 && !(flags & kConsoleWriteFlush)) return;
  ScreenState* s = screen_state;
  if (!s) return;
  GfxContext* ctx = gfx_get_context();
  gfx_set_target(ctx, nullptr);
  gfx_select_colour_routines(ctx, kPlainColour);
  if (!console_fits(s) || !s->text_cells[ctx->work_page]) return;
  GfxScreenLock lock;
  ConsoleWriter writer(s, ctx);
  writer.take_pending_newline();
  for (int i = 0; i < count; ++i) writer.put(bytes[i]);
  writer.finish();
}

void gfx_console_write_wide(const uint16_t* chars, int count, int flags) {
  if (count < 0 || !chars) count = 0;
  if (count == 0) {
    gfx_console_write(nullptr, 0, flags);
    return;
  }
  int at = 0;
  // The whole text in one write; without memory for it, in pieces.
  if (auto* text = static_cast<uint8_t*>(std::malloc(size_t(count)))) {
    gfx_console_write(text, narrow(chars, count, &at, text, count), flags);
    std::free(text);
    return;
  }
  uint8_t piece[kConsoleRunLength];
  while (at < count) gfx_console_write(piece, narrow(chars, count, &at, piece, kConsoleRunLength), flags);
}
