// The public header and the library's own headers describe the same calls
// and values: one translation unit includes both (in the order a mistake in
// linkage or a second, different declaration would break), and the values
// the public header spells as macros, which the library reads by those names
// alone, keep their numbers.
#include <zentravolk/zentravolk.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <type_traits>

#include "drivers/driver.h"
#include "gfx/blit/put.h"
#include "gfx/draw/primitives.h"
#include "gfx/image/image.h"
#include "gfx/input/joystick.h"
#include "gfx/screen/screen.h"
#include "gfx/text/text.h"
#include "runtime/rt_string.h"
#include "runtime/runtime.h"

namespace {

static_assert(ZQ_OPEN_WINDOWED == 0 && ZQ_OPEN_FULLSCREEN == 0x01 && ZQ_OPEN_OPENGL == 0x02 &&
              ZQ_OPEN_NO_SWITCH == 0x04 && ZQ_OPEN_NO_FRAME == 0x08 && ZQ_OPEN_SHAPED == 0x10 &&
              ZQ_OPEN_ON_TOP == 0x20 && ZQ_OPEN_ALPHA == 0x40 && ZQ_OPEN_NULL_DRIVER == -1);
static_assert(ZQ_TEXT_ABSOLUTE == 4 && ZQ_TEXT_RELATIVE == 5 && ZQ_TEXT_USE_FOREGROUND == int(0x80000000u));
static_assert(ZQ_OMITTED == -65536);
static_assert(ZQ_PUT_WHOLE_IMAGE == ZQ_OMITTED && ZQ_PUT_RECT_RELATIVE == 1 && ZQ_PUT_POINT_RELATIVE == 2 &&
              ZQ_PUT_ALPHA_MODE == 6);
static_assert(ZQ_STEP_SECOND == 1 && ZQ_STEP_FIRST == 2 && ZQ_SHAPE_BOX == 0x10 && ZQ_SHAPE_FILLED == 0x20);
static_assert(ZQ_JOYSTICK_NO_AXIS == -1000.0f);
static_assert(ZQ_STR_TEMP_CHARS == 0x80000000u);
static_assert(ZQ_IMAGE_MASK_FILL < 0);
// StringValue is the runtime's record itself: three 32-bit words on 32-bit
// machines, a pointer and two words here.
static_assert(std::is_standard_layout_v<StringValue> && offsetof(StringValue, length) == sizeof(char*) &&
              offsetof(StringValue, size) == sizeof(char*) + 4);
// The public putter type is the one the library's putter tables hold.
static_assert(std::is_same_v<std::remove_extent_t<decltype(PutterTable::by_bytes)>, Putter>);

TEST(PublicHeader, CallsThroughItReachTheLibrary) {
  EXPECT_EQ(gfx_screen_res(0, 0, 32, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_ERR_ILLEGAL_CALL);
  EXPECT_EQ(rt_get_error(), ZQ_ERR_ILLEGAL_CALL);
  ASSERT_EQ(gfx_screen_res(8, 8, 32, 1, ZQ_OPEN_NULL_DRIVER, 0), ZQ_OK);
  EXPECT_NE(screen_state, nullptr);  // the library's own record of the screen
  Putter putter = putter_copy;
  EXPECT_EQ(putters_plain(PutterKind::copy)->by_bytes[4] != nullptr, true);
  ImageBuffer* image = gfx_image_create(2, 2, 0x00123456, 32, 0);
  EXPECT_EQ(gfx_put(nullptr, 0, 0, image, ZQ_PUT_WHOLE_IMAGE, 0, 0, 0, 0, 0, putter, 0, nullptr, nullptr), ZQ_OK);
  EXPECT_EQ(gfx_point(nullptr, 1, 1), 0x00123456u);
  gfx_image_destroy(image);
  gfx_screen(0, 0, 0, kOpenAtExit, 0);
}

}  // namespace
