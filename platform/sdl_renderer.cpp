// Accelerated drawing on SDL2: a renderer that SDL reports as accelerated,
// one streaming texture the picture is written into, and the present that
// shows it letterboxed in the window. The picture lives in a buffer of our
// own, so rows that were not rewritten keep what they held, and only the
// rows handed back are uploaded. Also the keyboard by scancode and the wait
// for the display's next refresh.
#include <SDL.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/pixel_depth.h"
#include "platform/sdl_keys.h"
#include "platform/sdl_window.h"

struct WsTexture {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int width = 0, height = 0;
  int depth = 0, order = 0;
  int pitch = 0;
  std::vector<uint8_t> pixels;
  std::atomic<bool> lost{false};
};

namespace {

struct FormatChoice {
  Uint32 format;
  int depth, order;
};

// Formats the blitters write, in the order they are preferred for each
// wanted depth: the same depth first, then the widest.
constexpr FormatChoice k15[] = {{SDL_PIXELFORMAT_XRGB1555, 15, 0}, {SDL_PIXELFORMAT_XBGR1555, 15, 1}};
constexpr FormatChoice k16[] = {{SDL_PIXELFORMAT_RGB565, 16, 0}, {SDL_PIXELFORMAT_BGR565, 16, 1}};
constexpr FormatChoice k32[] = {{SDL_PIXELFORMAT_XRGB8888, 32, 0}, {SDL_PIXELFORMAT_ARGB8888, 32, 0},
                                {SDL_PIXELFORMAT_XBGR8888, 32, 1}, {SDL_PIXELFORMAT_ABGR8888, 32, 1}};
constexpr FormatChoice k24[] = {{SDL_PIXELFORMAT_BGR24, 24, 0}, {SDL_PIXELFORMAT_RGB24, 24, 1}};

bool offered(const SDL_RendererInfo& info, Uint32 format) {
  for (Uint32 i = 0; i < info.num_texture_formats; ++i)
    if (info.texture_formats[i] == format) return true;
  return false;
}

bool choose_format(const SDL_RendererInfo& info, int wanted_depth, FormatChoice* choice) {
  std::vector<FormatChoice> order;
  auto add = [&order](const auto& group) { order.insert(order.end(), std::begin(group), std::end(group)); };
  if (wanted_depth == 15) add(k15);
  if (wanted_depth == 15 || wanted_depth == 16) add(k16);
  if (wanted_depth == 16) add(k15);
  add(k32);
  add(k24);
  add(k16);
  add(k15);
  for (const FormatChoice& c : order)
    if (offered(info, c.format)) {
      *choice = c;
      return true;
    }
  return false;
}

// Renderer events arrive through SDL's queue, which the window's message
// pump empties: a watch sees them as they are queued.
int watch_resets(void* data, SDL_Event* event) {
  if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET)
    static_cast<WsTexture*>(data)->lost.store(true, std::memory_order_relaxed);
  return 0;
}

}  // namespace

namespace sdl_ops {

bool standard_vga_mode() {
  WsDisplayMode vga{320, 200, 8, 0};
  return sdl_window_system.change_display_mode(&vga);
}

WsTexture* create_texture(WsWindow* window, int width, int height, int wanted_depth, WsSurface* format) {
  if (!window || width <= 0 || height <= 0) return nullptr;
  auto* t = new WsTexture;
  t->window = window->window;
  t->renderer = SDL_CreateRenderer(window->window, -1, SDL_RENDERER_ACCELERATED);
  SDL_RendererInfo info;
  FormatChoice choice{};
  if (!t->renderer || SDL_GetRendererInfo(t->renderer, &info) != 0 || !(info.flags & SDL_RENDERER_ACCELERATED) ||
      !choose_format(info, wanted_depth, &choice)) {
    destroy_texture(t);
    return nullptr;
  }
  t->texture = SDL_CreateTexture(t->renderer, choice.format, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!t->texture) {
    destroy_texture(t);
    return nullptr;
  }
  SDL_SetTextureBlendMode(t->texture, SDL_BLENDMODE_NONE);
  SDL_SetTextureScaleMode(t->texture, SDL_ScaleModeNearest);  // a scaled picture stays sharp
  t->width = width;
  t->height = height;
  t->depth = choice.depth;
  t->order = choice.order;
  t->pitch = (width * depth_bytes_per_pixel(choice.depth) + 3) & ~3;
  t->pixels.assign(size_t(t->pitch) * size_t(height), 0);
  SDL_AddEventWatch(watch_resets, t);
  *format = {nullptr, t->pitch, width, height, t->depth, t->order};
  return t;
}

bool lock_texture(WsTexture* t, WsSurface* out) {
  if (!t || !t->texture) return false;
  *out = {t->pixels.data(), t->pitch, t->width, t->height, t->depth, t->order};
  return true;
}

void unlock_texture(WsTexture* t, int first, int count) {
  if (!t || !t->texture) return;
  if (first < 0) {
    count += first;
    first = 0;
  }
  if (first + count > t->height) count = t->height - first;
  if (count <= 0) return;
  SDL_Rect rows{0, first, t->width, count};
  SDL_UpdateTexture(t->texture, &rows, t->pixels.data() + size_t(first) * size_t(t->pitch), t->pitch);
}

bool present_texture(WsTexture* t, const WsRect* place) {
  if (!t || !t->texture || !place) return false;
  SDL_SetRenderDrawColor(t->renderer, 0, 0, 0, 255);
  SDL_RenderClear(t->renderer);
  SDL_Rect rect{place->x, place->y, place->width, place->height};
  bool ok = SDL_RenderCopy(t->renderer, t->texture, nullptr, &rect) == 0;
  SDL_RenderPresent(t->renderer);
  return ok;
}

bool texture_lost(WsTexture* t) { return t && t->lost.exchange(false, std::memory_order_relaxed); }

void destroy_texture(WsTexture* t) {
  if (!t) return;
  if (t->texture) SDL_DelEventWatch(watch_resets, t);
  if (t->texture) SDL_DestroyTexture(t->texture);
  if (t->renderer) SDL_DestroyRenderer(t->renderer);
  delete t;
}

void scancode_state(uint8_t keys[256]) {
  for (int i = 0; i < 256; ++i) keys[i] = 0;
  int count = 0;
  const Uint8* down = SDL_GetKeyboardState(&count);
  for (int sc = 0; sc < count; ++sc) {
    if (!down[sc]) continue;
    KeyIdentity key = sdl_key_identity(sc, false);
    if (key.scancode) keys[(key.scancode & 0x7F) | (key.extended ? 0x80 : 0)] = 0x80;
  }
}

void wait_vertical_blank(int refresh_rate) {
  using namespace std::chrono;
  const nanoseconds period(1'000'000'000LL / (refresh_rate > 0 ? refresh_rate : 60));
  const nanoseconds now = steady_clock::now().time_since_epoch();
  std::this_thread::sleep_for((now / period + 1) * period - now);
}

}  // namespace sdl_ops
