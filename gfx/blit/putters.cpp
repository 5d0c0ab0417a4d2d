// The public putters: each looks up its routine table in the drawing
// context (choosing plain or fast once per screen opening) and jumps to the
// entry for the target's bytes per pixel with the arguments unchanged.
#include "gfx/blit/putters.h"

#include "drivers/screen_state.h"
#include "gfx/draw/context.h"

namespace {

bool has_vector_unit() { return screen_state && (screen_state->flags & kScreenHasMmx); }

const PutterTable* pick(PutterKind kind) { return has_vector_unit() ? putters_fast(kind) : putters_plain(kind); }

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
