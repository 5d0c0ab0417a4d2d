// PNG both ways against the usual companions, each iteration timing every
// contender in turn so all share the machine's state:
//   load: a 1024 x 1024 RGBA PNG from memory into a 32-bit image of its size
//         (gfx_load_bitmap_mem) against SDL_image's IMG_Load_RW plus
//         SDL_ConvertSurfaceFormat to the screen's ARGB8888;
//   save: a 640 x 480 32-bit screen page as an RGB PNG (gfx_save_image, to a
//         memory file system when there is one) against libpng's own write
//         of the same rows, already as R, G, B bytes, at the same (default)
//         compression level into a file in the same folder.
// The counters give the medians in milliseconds and the ratios (x_sdl above
// 1: the load is faster than SDL_image's; x_libpng: the save's time as a
// multiple of libpng's own).
#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "gfx/image/image.h"
#include "gfx/screen/screen.h"
#include "runtime/runtime.h"
#include "zentravolk/shortcuts.h"

namespace {

constexpr int kLoadSide = 1024;
constexpr int kScreenWidth = 640, kScreenHeight = 480;

std::string folder() { return access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp"; }

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A picture with smooth areas, edges and every alpha, as sprite sheets have.
void paint(uint8_t* pixels, size_t pitch, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t v = uint32_t((x * 255 / width) << 16 | (y * 255 / height) << 8 | ((x ^ y) & 0xFF));
      if ((x / 32 + y / 32) % 3 == 0) v |= uint32_t((x + y) & 0xFF) << 24;
      else v |= 0xFF000000u;
      std::memcpy(pixels + size_t(y) * pitch + size_t(x) * 4, &v, 4);
    }
}

std::vector<uint8_t> rgba_png() {
  ImageBuffer* image = gfx_image_create(kLoadSide, kLoadSide, 0, 32, ZQ_IMAGE_MASK_FILL);
  ImageInfo info = gfx_image_info(image);
  paint(info.pixels, size_t(info.pitch), info.width, info.height);
  const std::string path = folder() + "/zq_png_bench_" + std::to_string(getpid()) + ".png";
  if (gfx_save_image(path.c_str(), image, 0, ZQ_SAVE_ALPHA) != ZQ_OK) std::abort();
  gfx_image_destroy(image);
  std::vector<uint8_t> bytes = read_file(path);
  unlink(path.c_str());
  return bytes;
}

void load(benchmark::State& state) {
  static const std::vector<uint8_t> file = rgba_png();
  ImageBuffer* image = gfx_image_create(kLoadSide, kLoadSide, 0, 32, ZQ_IMAGE_MASK_FILL);
  std::vector<double> ours, sdl;
  for (auto _ : state) {
    time_iteration(state, ours, 1, [&] {
      if (gfx_load_bitmap_mem(file.data(), file.size(), image, nullptr) != ZQ_OK) std::abort();
    });
    sdl.push_back(timed(1, [&] {
      SDL_Surface* loaded = IMG_Load_RW(SDL_RWFromConstMem(file.data(), int(file.size())), 1);
      SDL_Surface* converted = loaded ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
      if (!converted) std::abort();
      SDL_FreeSurface(loaded);
      SDL_FreeSurface(converted);
    }));
  }
  gfx_image_destroy(image);
  const double o = median(ours), s = median(sdl);
  state.counters["ours_ms"] = o * 1e3;
  state.counters["sdl_image_ms"] = s * 1e3;
  state.counters["x_sdl"] = s / o;
}

// libpng's own write of 8-bit RGB rows at its default compression.
void libpng_write(const std::string& path, const std::vector<uint8_t>& rgb) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (!f || !info || setjmp(png_jmpbuf(png))) std::abort();
  png_init_io(png, f);
  png_set_IHDR(png, info, kScreenWidth, kScreenHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < kScreenHeight; ++y) png_write_row(png, rgb.data() + size_t(y) * kScreenWidth * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  std::fclose(f);
}

void save(benchmark::State& state) {
  ScreenState* s = screen_state;
  paint(s->page_buffers[0], size_t(s->pitch), s->width, s->height);
  std::vector<uint8_t> rgb(size_t(kScreenWidth) * kScreenHeight * 3);
  for (int y = 0; y < kScreenHeight; ++y)
    for (int x = 0; x < kScreenWidth; ++x) {
      const uint8_t* p = s->page_buffers[0] + size_t(y) * size_t(s->pitch) + size_t(x) * 4;
      uint8_t* q = rgb.data() + (size_t(y) * kScreenWidth + size_t(x)) * 3;
      q[0] = p[2], q[1] = p[1], q[2] = p[0];
    }
  const std::string ours_path = folder() + "/zq_png_bench_save_" + std::to_string(getpid()) + ".png";
  const std::string libpng_path = folder() + "/zq_png_bench_libpng_" + std::to_string(getpid()) + ".png";
  std::vector<double> ours, theirs;
  for (auto _ : state) {
    time_iteration(state, ours, 1, [&] {
      if (gfx_save_image(ours_path.c_str(), nullptr, 0, 0) != ZQ_OK) std::abort();
    });
    theirs.push_back(timed(1, [&] { libpng_write(libpng_path, rgb); }));
  }
  unlink(ours_path.c_str());
  unlink(libpng_path.c_str());
  const double o = median(ours), t = median(theirs);
  state.counters["ours_ms"] = o * 1e3;
  state.counters["libpng_ms"] = t * 1e3;
  state.counters["x_libpng"] = o / t;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("ZQGFX", "null", 1);
  rt_init(0, nullptr, 0);
  if (gfx_screen_res(kScreenWidth, kScreenHeight, 32, 1, 0, 0) != ZQ_OK) return 1;
  register_timed("png/load_1024x1024_rgba_into_32bit", 1.0, load);
  register_timed("png/save_640x480_screen", 1.0, save);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
