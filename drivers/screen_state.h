// The record of the one open graphics screen: the software framebuffer with
// its pages, palettes, dirty-row flags and input state. The graphics library
// builds and frees it; display drivers read the visible page from it and write
// the key state and refresh rate into it.
#pragma once
#include <cstdint>
#include <semaphore>

struct GfxDriver;

struct PaletteDescriptor {
  int count;
  const uint8_t* rgb;  // count triples
};

struct FontDescriptor {
  int width;
  int height;
  const uint8_t* glyphs;  // 256 glyphs of height bytes, bit 0 = leftmost pixel
};

struct TextCell {
  uint32_t ch;  // character code in the low 16 bits
  uint32_t foreground;
  uint32_t background;
};

struct GfxEvent {
  int32_t type;
  int32_t a, b, c, d;
};

constexpr int kEventQueueSize = 128;
constexpr int kKeyStateSize = 128;

// ScreenState flags.
constexpr uint32_t kScreenLocked = 0x1;         // the library holds the screen lock
constexpr uint32_t kScreenLockOwner = 0x2;      // the current operation took it
constexpr uint32_t kScreenPendingNewline = 0x4;
constexpr uint32_t kScreenAlphaPrimitives = 0x8;
constexpr uint32_t kScreenHasMmx = 0x01000000;
constexpr uint32_t kScreenOpenGL = 0x20000000;  // an OpenGL screen: the record's mark, for programs and tests

struct ScreenState {
  int screen_id;
  int mode;
  uint8_t** page_buffers;
  int page_count;
  int visible_page;
  uint8_t* visible_pixels;
  int width, height;
  int depth;
  int bytes_per_pixel;
  int pitch;
  uint32_t* mode_palette;    // 256 entries, red bits 0-7, green 8-15, blue 16-23
  uint32_t* device_palette;  // 256 entries, same packing
  uint8_t* colour_map;       // 16 entries
  uint8_t* dirty_rows;       // height x scanline_size entries
  const GfxDriver* driver;
  uint32_t colour_mask;
  const PaletteDescriptor* default_palette;
  int scanline_size;
  int console_column, console_row;
  const FontDescriptor* font;
  int text_columns, text_rows;
  uint8_t* key_state;  // kKeyStateSize entries
  int refresh_rate;
  TextCell** text_cells;  // page_count buffers of text_columns x text_rows, then a blank record
  GfxEvent* event_queue;  // kEventQueueSize records
  int event_head, event_tail;
  std::binary_semaphore* event_lock;
  uint32_t flags;
};

// The open screen, null while none is open.
extern ScreenState* screen_state;

// Process-wide 2 x 256 entry table the conversion blitters fill and read; made
// by every screen opening and freed by every closing.
extern uint32_t* screen_conversion_table;
