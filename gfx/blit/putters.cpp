// The public putters: each looks up its routine table in the drawing
// context (made from the screen's routine levels once per screen opening)
// and jumps to the entry for the target's bytes per pixel with the arguments
// unchanged.
#include "gfx/blit/putters.h"

#include <array>

#include "drivers/screen_state.h"
#include "gfx/draw/context.h"

namespace {

constexpr int kPutterKinds = int(PutterKind::tint) + 1;
constexpr int kLevelLists = 1 << kRoutineLevelCount;  // every set of level bits


// Every merged table, [level bits][strings][kind], made once.
using MergedTables = std::array<std::array<std::array<PutterTable, kPutterKinds>, 2>, kLevelLists>;

MergedTables merge_all() {
  MergedTables all{};
  for (uint32_t bits = 0; bits < uint32_t(kLevelLists); ++bits)
    for (int strings = 0; strings < 2; ++strings)
      for (int kind = 0; kind < kPutterKinds; ++kind) {
        const RoutineLevels levels{bits | 1u, strings != 0};
        const PutterTable* own[kRoutineLevelCount] = {putters_plain(PutterKind(kind)),
                                                      putters_at_sse2(strings != 0, PutterKind(kind)),
                                                      putters_at_avx2(strings != 0, PutterKind(kind))};
        PutterTable& table = all[bits][size_t(strings)][size_t(kind)];
        for (size_t bytes = 0; bytes < std::size(table.by_bytes); ++bytes)
          table.by_bytes[bytes] = level_member(levels, [&](RoutineLevel level) -> Putter {
            return own[int(level)] ? own[int(level)]->by_bytes[bytes] : nullptr;
          });
      }
  return all;
}

const PutterTable* pick(PutterKind kind) { return putters_for(screen_routine_levels(screen_state), kind); }

// The context slot holds the chosen table; null means "not chosen yet".
inline Putter routine(const void*& slot, PutterKind kind, const GfxContext* ctx) {
  if (!slot) slot = pick(kind);
  return static_cast<const PutterTable*>(slot)->by_bytes[ctx->bytes_per_pixel & 7];
}

// A dispatcher: the routine of the context's table for its slot, with the
// arguments unchanged.
template <const void* GfxContext::*Slot, PutterKind Kind>
void dispatch(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  GfxContext* ctx = gfx_get_context();
  if (Putter r = routine(ctx->*Slot, Kind, ctx)) r(s, d, w, h, sp, dp, alpha, b, p);
}

}  // namespace

const PutterTable* putters_for(const RoutineLevels& levels, PutterKind kind) {
  static const MergedTables merged = merge_all();
  return &merged[levels.in_use % kLevelLists][levels.fast_strings ? 1 : 0][size_t(kind)];
}

void putter_copy(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  dispatch<&GfxContext::putters_copy, PutterKind::copy>(s, d, w, h, sp, dp, alpha, b, p);
}

void putter_transparent(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b,
                        void* p) {
  dispatch<&GfxContext::putters_transparent, PutterKind::transparent>(s, d, w, h, sp, dp, alpha, b, p);
}

void putter_blend(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  if ((alpha & 0xFF) == 0) return putter_transparent(s, d, w, h, sp, dp, alpha, b, p);
  dispatch<&GfxContext::putters_blend, PutterKind::blend>(s, d, w, h, sp, dp, alpha, b, p);
}

void putter_alpha_channel(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b,
                          void* p) {
  // No context slot for this one: the choice is made on every call. Only a
  // 4-byte target has an entry.
  const GfxContext* ctx = gfx_get_context();
  if (Putter r = pick(PutterKind::alpha_channel)->by_bytes[ctx->bytes_per_pixel & 7]) r(s, d, w, h, sp, dp, alpha, b, p);
}

void putter_add(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  dispatch<&GfxContext::putters_add, PutterKind::add>(s, d, w, h, sp, dp, alpha, b, p);
}

void putter_multiply(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b,
                     void* p) {
  dispatch<&GfxContext::putters_multiply, PutterKind::multiply>(s, d, w, h, sp, dp, alpha, b, p);
}

void putter_tint(const uint8_t* s, uint8_t* d, int w, int h, int sp, int dp, int alpha, PutterBlender b, void* p) {
  dispatch<&GfxContext::putters_tint, PutterKind::tint>(s, d, w, h, sp, dp, alpha, b, p);
}

Putter gfx_putter_routine(Putter putter) {
  struct Known {
    Putter dispatcher;
    const void* GfxContext::*slot;
    PutterKind kind;
  };
  static constexpr Known kKnown[] = {
      {putter_copy, &GfxContext::putters_copy, PutterKind::copy},
      {putter_transparent, &GfxContext::putters_transparent, PutterKind::transparent},
      // The blend routines put alpha 0 as the transparent put themselves.
      {putter_blend, &GfxContext::putters_blend, PutterKind::blend},
      {putter_add, &GfxContext::putters_add, PutterKind::add},
      {putter_multiply, &GfxContext::putters_multiply, PutterKind::multiply},
      {putter_tint, &GfxContext::putters_tint, PutterKind::tint},
  };
  GfxContext* ctx = gfx_get_context();
  for (const Known& k : kKnown)
    if (putter == k.dispatcher) {
      Putter r = routine(ctx->*k.slot, k.kind, ctx);
      return r ? r : putter;
    }
  return putter;
}
